// PCG32 with the reference constants of pcg32_random_r.
#include "scenarios/random.h"

#include <chrono>

namespace scenarios {

namespace {
constexpr uint64_t multiplier = 6364136223846793005ULL;
}

Random seededRandom(uint64_t initState, uint64_t stream) {
    Random r{0, (stream << 1) | 1};
    nextBits(r);
    r.state += initState;
    nextBits(r);
    return r;
}

uint32_t nextBits(Random& r) {
    const uint64_t old = r.state;
    r.state = old * multiplier + r.increment;
    const auto xorShifted = uint32_t(((old >> 18) ^ old) >> 27);
    const auto rotation = uint32_t(old >> 59);
    return (xorShifted >> rotation) | (xorShifted << ((32 - rotation) & 31));
}

float unitFromBits(uint32_t bits) {
    // 24 bits fill a float's significand exactly: the largest is 1 - 2^-24.
    return float(bits >> 8) * 0x1p-24f;
}

float draw(Random& r) { return unitFromBits(nextBits(r)); }

Random seedingFor(std::optional<uint64_t> seed, int seeding) {
    if (seed) return seededRandom(*seed, uint64_t(seeding));
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return seededRandom(uint64_t(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()),
                        uint64_t(seeding));
}

}  // namespace scenarios
