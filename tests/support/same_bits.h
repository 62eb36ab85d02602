// Bit-for-bit comparison of body tables, reporting the first difference.
#pragma once
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "plain_gravity.h"
#include "sim/bodies.h"

namespace testing_support {

inline bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Every stored field of entries 1..n of two tables.
inline ::testing::AssertionResult sameBodies(const sim::Bodies& a, const sim::Bodies& b, int n) {
    for (int i = 1; i <= n; ++i) {
        const std::pair<const char*, const sim::Bodies::Column<float> sim::Bodies::*> fields[] = {
            {"x", &sim::Bodies::x},         {"y", &sim::Bodies::y},
            {"z", &sim::Bodies::z},         {"vx", &sim::Bodies::vx},
            {"vy", &sim::Bodies::vy},       {"vz", &sim::Bodies::vz},
            {"mass", &sim::Bodies::mass},   {"radius", &sim::Bodies::radius},
            {"diameter", &sim::Bodies::diameter}, {"color", &sim::Bodies::color},
            {"active", &sim::Bodies::active},
        };
        for (auto [label, field] : fields) {
            if (!sameBits((a.*field)[i], (b.*field)[i])) {
                return ::testing::AssertionFailure() << "body " << i << " field " << label << ": "
                                                     << (a.*field)[i] << " vs " << (b.*field)[i];
            }
        }
        if (a.name[i] != b.name[i]) {
            return ::testing::AssertionFailure() << "body " << i << " name '" << a.name[i] << "' vs '"
                                                 << b.name[i] << "'";
        }
    }
    return ::testing::AssertionSuccess();
}

// A table against the plain step's records, including speed.
inline ::testing::AssertionResult sameAsPlain(const sim::Bodies& a, const PlainSystem& p) {
    for (std::size_t i = 1; i < p.body.size(); ++i) {
        const PlainBody& q = p.body[i];
        const float mine[] = {a.x[i], a.y[i], a.z[i], a.vx[i], a.vy[i], a.vz[i], a.mass[i],
                              a.radius[i], a.diameter[i], a.color[i], a.active[i], a.speed[i]};
        const float theirs[] = {q.x, q.y, q.z, q.vx, q.vy, q.vz, q.mass,
                                q.radius, q.diameter, q.color, q.active, q.speed};
        const char* labels[] = {"x", "y", "z", "vx", "vy", "vz", "mass",
                                "radius", "diameter", "color", "active", "speed"};
        for (int f = 0; f < 12; ++f) {
            if (!sameBits(mine[f], theirs[f])) {
                return ::testing::AssertionFailure() << "body " << i << " field " << labels[f] << ": "
                                                     << mine[f] << " vs plain " << theirs[f];
            }
        }
    }
    if (a.liveCount != p.liveCount) {
        return ::testing::AssertionFailure() << "liveCount " << a.liveCount << " vs plain " << p.liveCount;
    }
    return ::testing::AssertionSuccess();
}

}  // namespace testing_support
