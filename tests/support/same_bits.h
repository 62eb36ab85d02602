// Bit-for-bit comparison of body tables, reporting the first difference.
#pragma once
#include <array>
#include <cstring>

#include <gtest/gtest.h>

#include "plain_gravity.h"
#include "sim/bodies.h"

namespace testing_support {

inline bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The fields of entry i, speed last, and their names.
inline std::array<float, 12> fieldsOf(const PlainBody& q) {
    return {q.x, q.y, q.z, q.vx, q.vy, q.vz, q.mass, q.radius, q.diameter, q.color, q.active, q.speed};
}
inline std::array<float, 12> fieldsOf(const sim::Bodies& a, int i) {
    return {a.x[i], a.y[i], a.z[i], a.vx[i], a.vy[i], a.vz[i], a.mass[i], a.radius[i], a.diameter[i], a.color[i],
            a.active[i], a.speed[i]};
}
inline const char* const fieldNames[] = {"x", "y", "z", "vx", "vy", "vz", "mass", "radius", "diameter", "color",
                                         "active", "speed"};

// Body i's first `count` fields agree bit for bit; otherwise the first difference.
inline ::testing::AssertionResult sameFields(int i, const std::array<float, 12>& a, const std::array<float, 12>& b,
                                             std::size_t count, const char* other) {
    for (std::size_t f = 0; f < count; ++f)
        if (!sameBits(a[f], b[f]))
            return ::testing::AssertionFailure() << "body " << i << " field " << fieldNames[f] << ": " << a[f] << " vs "
                                                 << other << b[f];
    return ::testing::AssertionSuccess();
}

// Every stored field (all but speed) and the name of entries 1..n of two tables.
inline ::testing::AssertionResult sameBodies(const sim::Bodies& a, const sim::Bodies& b, int n) {
    for (int i = 1; i <= n; ++i) {
        if (auto same = sameFields(i, fieldsOf(a, i), fieldsOf(b, i), 11, ""); !same) return same;
        if (a.name[i] != b.name[i])
            return ::testing::AssertionFailure() << "body " << i << " name '" << a.name[i] << "' vs '" << b.name[i] << "'";
    }
    return ::testing::AssertionSuccess();
}

// A table against the plain step's records, including speed and liveCount.
inline ::testing::AssertionResult sameAsPlain(const sim::Bodies& a, const PlainSystem& p) {
    for (int i = 1; i < int(p.body.size()); ++i)
        if (auto same = sameFields(i, fieldsOf(a, i), fieldsOf(p.body[std::size_t(i)]), 12, "plain "); !same) return same;
    if (a.liveCount != p.liveCount)
        return ::testing::AssertionFailure() << "liveCount " << a.liveCount << " vs plain " << p.liveCount;
    return ::testing::AssertionSuccess();
}

}  // namespace testing_support
