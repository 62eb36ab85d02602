// Bit-for-bit comparison of body tables, reporting the first difference.
#pragma once
#include <array>
#include <bit>
#include <cstring>

#include <gtest/gtest.h>

#include "plain_gravity.h"
#include "sim/bodies.h"

namespace testing_support {

inline bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Every stored field of an entry, in the plain step's record order: speed last.
using Fields = std::array<float, 12>;
inline Fields fieldsOf(const sim::Bodies& a, int i) {
    return {a.x[i], a.y[i], a.z[i], a.vx[i], a.vy[i], a.vz[i], a.mass[i], a.radius[i], a.diameter[i], a.color[i],
            a.active[i], a.speed[i]};
}

// Entries 1..n agree in their first `count` fields; otherwise the first difference.
inline ::testing::AssertionResult sameFields(int n, std::size_t count, auto a, auto b) {
    static const char* const names[] = {"x", "y", "z", "vx", "vy", "vz", "mass", "radius", "diameter", "color", "active", "speed"};
    for (int i = 1; i <= n; ++i)
        for (std::size_t f = 0; f < count; ++f)
            if (!sameBits(a(i)[f], b(i)[f]))
                return ::testing::AssertionFailure() << "body " << i << " " << names[f] << ": " << a(i)[f] << " vs " << b(i)[f];
    return ::testing::AssertionSuccess();
}

// Every stored field but speed, and the names, of entries 1..n of two tables.
inline ::testing::AssertionResult sameBodies(const sim::Bodies& a, const sim::Bodies& b, int n) {
    for (int i = 1; i <= n; ++i)
        if (a.name[i] != b.name[i]) return ::testing::AssertionFailure() << "body " << i << " name " << a.name[i];
    return sameFields(n, 11, [&](int i) { return fieldsOf(a, i); }, [&](int i) { return fieldsOf(b, i); });
}

// A table against the plain step's records, speed and liveCount included.
inline ::testing::AssertionResult sameAsPlain(const sim::Bodies& a, const PlainSystem& p) {
    if (a.liveCount != p.liveCount) return ::testing::AssertionFailure() << "liveCount " << a.liveCount << " vs " << p.liveCount;
    return sameFields(int(p.body.size()) - 1, 12, [&](int i) { return fieldsOf(a, i); },
                      [&](int i) { return std::bit_cast<Fields>(p.body[std::size_t(i)]); });
}

}  // namespace testing_support
