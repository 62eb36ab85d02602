// The plain gravity step the fast one is checked against: a direct reading
// of the rules, one body a record, every square root as a power of 0.5.
#pragma once
#include <cmath>
#include <cstdint>
#include <vector>

#include "sim/bodies.h"

namespace testing_support {

struct PlainBody { float x, y, z, vx, vy, vz, mass, radius, diameter, color, active, speed; };

// body[0] is unused, as in the body table.
struct PlainSystem { std::vector<PlainBody> body; float G, timeStep, density; int32_t liveCount; int mergers = 0; };

inline PlainSystem toPlain(const sim::Bodies& b, const sim::Physics& p) {
    PlainSystem s{{PlainBody{}}, p.G, p.timeStep, p.density, b.liveCount};
    for (int i = 1; i <= int(std::nearbyint(b.bodyCount)); ++i)
        s.body.push_back({b.x[i], b.y[i], b.z[i], b.vx[i], b.vy[i], b.vz[i], b.mass[i], b.radius[i], b.diameter[i],
                          b.color[i], b.active[i], b.speed[i]});
    return s;
}

inline float root(double v) { return float(std::pow(v, 0.5)); }

inline void plainStep(PlainSystem& s) {
    auto& B = s.body;
    const int n = int(B.size()) - 1, K = int(std::nearbyint(s.timeStep));
    for (int i = 1; i <= n; ++i) {
        if (B[i].active == 0) continue;
        for (int j = 1; j <= n; ++j) {
            if (j == i || B[j].active == 0 || K < 1) continue;
            bool iAbsorbed = false;
            for (int k = 1; k <= K; ++k) {
                PlainBody &bi = B[i], &bj = B[j];
                float dx = float(double(bj.x) - bi.x), dy = float(double(bj.y) - bi.y), dz = float(double(bj.z) - bi.z);
                float d = root(double(dx) * dx + double(dy) * dy + double(dz) * dz);
                float e = root(double(bj.speed) * bj.speed + double(bi.speed) * bi.speed);
                bool close = e >= d;
                double f = close ? 1.0 : double(s.timeStep);
                float sinE = float(dy / double(d));
                float cosE = root(1.0 - double(sinE) * sinE);
                const double cosD = double(cosE) * d;
                const float ux = cosD != 0 ? float(dx / cosD) : 0, uz = cosD != 0 ? float(dz / cosD) : 0;
                if (double(bj.radius) + bi.radius > d) {
                    const int sv = bi.mass >= bj.mass ? i : j, ab = sv == i ? j : i;
                    s.liveCount -= 1, s.mergers += 1;
                    PlainBody &keep = B[sv], &gone = B[ab];
                    const double mi = bi.mass, mj = bj.mass;
                    for (float PlainBody::*v : {&PlainBody::vx, &PlainBody::vy, &PlainBody::vz})
                        keep.*v = float((mj * bj.*v + mi * bi.*v) / (mi + mj));
                    keep.mass = float(mi + mj);
                    keep.diameter = float(std::pow(double(keep.mass) * 3 / s.density / 12.566370614359172, 0.333) * 2 / 10);
                    keep.radius = float(keep.diameter / 2.0);
                    gone.active = gone.mass = gone.diameter = gone.radius = gone.color = gone.vx = gone.vy = gone.vz = 0;
                    iAbsorbed = ab == i;
                    break;
                }
                float a = float(double(s.G) * f * f * bj.mass / (double(d) * d));
                bi.vx = float(bi.vx + double(ux) * a * cosE);
                bi.vy = float(bi.vy + double(sinE) * a);
                bi.vz = float(bi.vz + double(cosE) * a * uz);
                bi.speed = root(double(bi.vx) * bi.vx + double(bi.vy) * bi.vy + double(bi.vz) * bi.vz);
                if (!close) break;
            }
            if (iAbsorbed) break;
        }
    }
    for (auto& q : B)
        if (q.active > 0)
            q.x = float(double(q.x) + q.vx), q.y = float(double(q.y) + q.vy), q.z = float(double(q.z) + q.vz);
}

}  // namespace testing_support
