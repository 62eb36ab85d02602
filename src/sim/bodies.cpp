// The body table's one operation beyond plain field access.
#include "sim/bodies.h"

namespace sim {

void clearDerivedFields(Bodies& b) {
    b.speed.fill(0);
    b.screenX.fill(0);
    b.screenY.fill(0);
    b.depth.fill(0);
    b.distance.fill(0);
    b.apparentSize.fill(0);
}

}  // namespace sim
