// The random draws of the generated scenarios: PCG32 (O'Neill's permuted
// congruential generator, XSH-RR output from a 64-bit LCG), so a seed gives
// the same swarm on every machine and compiler.
#pragma once
#include <cstdint>
#include <optional>

namespace scenarios {

struct Random {
    uint64_t state = 0;
    uint64_t increment = 1;  // odd; selects the stream
};

// Seeds as pcg32_srandom_r(initState, stream) does.
Random seededRandom(uint64_t initState, uint64_t stream);

// The next 32 random bits.
uint32_t nextBits(Random& r);

// The top 24 of 32 random bits over 2^24: a float in [0, 1) that is exact,
// so it never rounds up to 1.
float unitFromBits(uint32_t bits);

// One draw, uniform in [0, 1).
float draw(Random& r);

// Seeding number `seeding` (1 or 2) of a set-up: derived from the seed when
// there is one, else from the system clock at the moment of the call.
Random seedingFor(std::optional<uint64_t> seed, int seeding);

}  // namespace scenarios
