// Bit-for-bit comparison of body tables, reporting the first difference.
#pragma once
#include <array>
#include <cstring>

#include <gtest/gtest.h>

#include "plain_gravity.h"
#include "sim/bodies.h"

namespace testing_support {

inline bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

inline const char* const fieldNames[] = {"x", "y", "z", "vx", "vy", "vz", "mass", "radius", "diameter", "color",
                                         "active", "speed"};
using Fields = std::array<float, 12>;

inline Fields fieldsOf(const sim::Bodies& a, int i) {
    return {a.x[i], a.y[i], a.z[i], a.vx[i], a.vy[i], a.vz[i], a.mass[i],
            a.radius[i], a.diameter[i], a.color[i], a.active[i], a.speed[i]};
}
inline Fields fieldsOf(const PlainBody& q) {
    return {q.x, q.y, q.z, q.vx, q.vy, q.vz, q.mass, q.radius, q.diameter, q.color, q.active, q.speed};
}

// The first of the first `count` fields that differs, or -1.
inline int firstDifference(const Fields& a, const Fields& b, int count) {
    for (int f = 0; f < count; ++f)
        if (!sameBits(a[std::size_t(f)], b[std::size_t(f)])) return f;
    return -1;
}

// Every stored field (all but speed) and the name of entries 1..n of two tables.
inline ::testing::AssertionResult sameBodies(const sim::Bodies& a, const sim::Bodies& b, int n) {
    for (int i = 1; i <= n; ++i) {
        const Fields p = fieldsOf(a, i), q = fieldsOf(b, i);
        if (const int f = firstDifference(p, q, 11); f >= 0)
            return ::testing::AssertionFailure() << "body " << i << " field " << fieldNames[f] << ": "
                                                 << p[std::size_t(f)] << " vs " << q[std::size_t(f)];
        if (a.name[i] != b.name[i])
            return ::testing::AssertionFailure() << "body " << i << " name '" << a.name[i] << "' vs '" << b.name[i] << "'";
    }
    return ::testing::AssertionSuccess();
}

// A table against the plain step's records, including speed and liveCount.
inline ::testing::AssertionResult sameAsPlain(const sim::Bodies& a, const PlainSystem& p) {
    for (int i = 1; i < int(p.body.size()); ++i) {
        const Fields mine = fieldsOf(a, i), plain = fieldsOf(p.body[std::size_t(i)]);
        if (const int f = firstDifference(mine, plain, 12); f >= 0)
            return ::testing::AssertionFailure() << "body " << i << " field " << fieldNames[f] << ": "
                                                 << mine[std::size_t(f)] << " vs plain " << plain[std::size_t(f)];
    }
    if (a.liveCount != p.liveCount)
        return ::testing::AssertionFailure() << "liveCount " << a.liveCount << " vs plain " << p.liveCount;
    return ::testing::AssertionSuccess();
}

}  // namespace testing_support
