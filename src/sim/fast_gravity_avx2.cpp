// The AVX2 kernel of the fast gravity step: the portable kernel's
// arithmetic four lanes at a time, each rounding the same, with float
// values held as doubles between the roundings. Built with -mavx2
// (and without FMA), called only where the processor has AVX2. Everything
// here stays in this file so that no AVX2 code can stand in for a shared
// inline function elsewhere.
#include <immintrin.h>

#include <cstddef>

#include "sim/fast_gravity_kernels.h"

namespace sim::fast {

namespace {

__m256d widen(__m128 v) { return _mm256_cvtps_pd(v); }
__m128 narrow(__m256d v) { return _mm256_cvtpd_ps(v); }

// No vector constants at namespace scope: their initialisers would run AVX
// code at program start on every processor.
__m256d negate(__m256d v) { return _mm256_xor_pd(v, _mm256_set1_pd(-0.0)); }
__m256d isZero(__m256d v) { return _mm256_cmp_pd(v, _mm256_setzero_pd(), _CMP_EQ_OQ); }

// A kick's size for the sums: |a|, and 0 for NaN (max() returns its second
// operand when either is NaN).
__m256d size(__m256d a) {
    return _mm256_max_pd(_mm256_andnot_pd(_mm256_set1_pd(-0.0), a), _mm256_setzero_pd());
}

// The lanes of the group starting at row r0 that are column c itself.
__m128 ownColumn(int r0, int c) {
    const __m128i lane = _mm_set_epi32(3, 2, 1, 0);
    return _mm_castsi128_ps(_mm_cmpeq_epi32(lane, _mm_set1_epi32(c - r0)));
}

__m256d ownColumnWide(int r0, int c) {
    const __m256i lane = _mm256_set_epi64x(3, 2, 1, 0);
    return _mm256_castsi256_pd(_mm256_cmpeq_epi64(lane, _mm256_set1_epi64x(c - r0)));
}

// The kick terms of one column for the four rows of a group:
// (ux * a) * cosE, sinE * a and (cosE * a) * uz, from float values held as
// doubles.
struct Terms {
    __m256d x, y, z;
};

Terms termsOf(__m256d a, __m256d sinE, __m256d cosE, __m256d ux, __m256d uz) {
    return {_mm256_mul_pd(_mm256_mul_pd(ux, a), cosE), _mm256_mul_pd(sinE, a),
            _mm256_mul_pd(_mm256_mul_pd(cosE, a), uz)};
}

Terms negate(const Terms& v) { return {negate(v.x), negate(v.y), negate(v.z)}; }

void store(double (*out)[blockGroups][blockRows][lanes], int k, int c, const Terms& v) {
    _mm256_store_pd(out[0][k][c], v.x);
    _mm256_store_pd(out[1][k][c], v.y);
    _mm256_store_pd(out[2][k][c], v.z);
}

// Turns four vectors (one per column, lanes the rows) into four vectors
// (one per row, lanes the columns).
void transpose(__m256d& v0, __m256d& v1, __m256d& v2, __m256d& v3) {
    const __m256d t0 = _mm256_unpacklo_pd(v0, v1), t1 = _mm256_unpackhi_pd(v0, v1);
    const __m256d t2 = _mm256_unpacklo_pd(v2, v3), t3 = _mm256_unpackhi_pd(v2, v3);
    v0 = _mm256_permute2f128_pd(t0, t2, 0x20);
    v1 = _mm256_permute2f128_pd(t1, t3, 0x20);
    v2 = _mm256_permute2f128_pd(t0, t2, 0x31);
    v3 = _mm256_permute2f128_pd(t1, t3, 0x31);
}

// One strip of a tile: the four rows of group g against the columns of the
// column block from group h0 on. Its distances and elevations are measured
// stage by stage over its columns, so that each stage's roots and
// quotients follow each other without waiting for one another; the last
// stage's quotients are taken next to the terms that use them. All values
// are the plain step's floats, held as doubles.
struct Strip {
    int g, h0, count;  // count: columns, whole groups
    __m128 x, y, z;
    __m256d xd, yd, zd, radius, pull;
    __m256d kickSum;     // the rows' forward kick sizes in this tile
    __m128 nearestRows;  // the rows' nearest distances in this tile
    unsigned carefulGroups;  // a bit per group of columns that must take the careful way
    __m256d dx[blockRows], dy[blockRows], dz[blockRows], d[blockRows], sinE[blockRows], cosE[blockRows];
    __m128 dFloat[blockRows], dyFloat[blockRows];
};

void startStrip(const Tables& t, Strip& s, int g, int h0, int endB) {
    const int r0 = lanes * g;
    s.g = g;
    s.h0 = h0;
    s.count = lanes * (endB - h0);
    s.x = _mm_loadu_ps(t.x + r0);
    s.y = _mm_loadu_ps(t.y + r0);
    s.z = _mm_loadu_ps(t.z + r0);
    s.xd = _mm256_loadu_pd(t.xWide + r0);
    s.yd = _mm256_loadu_pd(t.yWide + r0);
    s.zd = _mm256_loadu_pd(t.zWide + r0);
    s.radius = widen(_mm_loadu_ps(t.radius + r0));
    s.pull = _mm256_loadu_pd(t.pull + r0);
    s.kickSum = _mm256_setzero_pd();
    s.nearestRows = _mm_set1_ps(__builtin_inff());
    s.carefulGroups = 0;
}

// The distances of a strip's columns. A difference of two floats rounded
// to double and then to float is the float difference.
void measureDistances(const Tables& t, Strip& s) {
    for (int k = 0; k < s.count; ++k) {
        const int c = lanes * s.h0 + k;
        s.dyFloat[k] = _mm_sub_ps(_mm_set1_ps(t.y[c]), s.y);
        const __m256d dx = widen(_mm_sub_ps(_mm_set1_ps(t.x[c]), s.x));
        const __m256d dy = widen(s.dyFloat[k]);
        const __m256d dz = widen(_mm_sub_ps(_mm_set1_ps(t.z[c]), s.z));
        const __m256d squares =
            _mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(dx, dx), _mm256_mul_pd(dy, dy)), _mm256_mul_pd(dz, dz));
        s.dFloat[k] = narrow(_mm256_sqrt_pd(squares));
        s.d[k] = widen(s.dFloat[k]);
        s.dx[k] = dx;
        s.dy[k] = dy;
        s.dz[k] = dz;
    }
}

// The elevations of a strip's columns. A quotient of two floats rounded to
// double and then to float is the float quotient (double has more than
// 2 * 24 + 2 bits). A group of columns takes the careful way where some
// pair's horizontal extent cosE * d is not a positive finite number
// (vertical pairs, unusable distances, padding), on the whole diagonal
// tile, and everywhere when a position is -0.
void measureElevations(const Tables& t, Strip& s) {
    const __m256d one = _mm256_set1_pd(1), zero = _mm256_setzero_pd(), infinity = _mm256_set1_pd(__builtin_inf());
    // On the diagonal every group is careful: its backward terms are added.
    unsigned careful = t.negativeZero || s.h0 == s.g ? ~0u : 0u;
    for (int q = 0; lanes * q < s.count; ++q) {
        __m256d normal = _mm256_castsi256_pd(_mm256_set1_epi64x(-1));
        for (int k = lanes * q; k < lanes * q + lanes; ++k) {
            const __m256d sinE = widen(_mm_div_ps(s.dyFloat[k], s.dFloat[k]));
            const __m256d cosE = widen(narrow(_mm256_sqrt_pd(_mm256_sub_pd(one, _mm256_mul_pd(sinE, sinE)))));
            s.sinE[k] = sinE;
            s.cosE[k] = cosE;
            const __m256d horizontal = _mm256_mul_pd(cosE, s.d[k]);
            normal = _mm256_and_pd(normal, _mm256_and_pd(_mm256_cmp_pd(horizontal, zero, _CMP_GT_OQ),
                                                         _mm256_cmp_pd(horizontal, infinity, _CMP_LT_OQ)));
        }
        if (_mm256_movemask_pd(normal) != 0xF) careful |= 1u << q;
    }
    s.carefulGroups = careful;
}

// What a tile's strips write: kick terms both ways round (forward[.][kg]
// [4 kh + k] holds column 4h + k for the rows of group g, backward[.][kh]
// [4 kg + l] row 4g + l for the rows of group h, negated off the diagonal:
// the rows of B subtract them, while on the diagonal they are rows of A,
// which add), the kick sizes per column of B, the nearest distances, and
// the smallest row of a touching pair.
struct TileOut {
    int gA, gB;
    bool diagonal;
    double (*forward)[blockGroups][blockRows][lanes];
    double (*backward)[blockGroups][blockRows][lanes];
    float* nearest;
    int touching;
    __m256d columnSums[blockRows];
};

// The four columns of a group on their way to the rows of h: their terms
// and the distances, lanes the rows of g.
struct GroupTerms {
    alignas(32) double back[3][lanes][lanes];  // [x, y, z][column][row of g]
    alignas(16) float d[lanes][lanes];          // [column][row of g]
    __m256d touching;
};

void storeBack(GroupTerms& group, int i, const Terms& v) {
    _mm256_store_pd(group.back[0][i], v.x);
    _mm256_store_pd(group.back[1][i], v.y);
    _mm256_store_pd(group.back[2][i], v.z);
}

// The last stage's quotients of column k of a measured strip and its kick
// terms, nearest distances, touching pairs and kick sizes.
//
// The careful way follows the plain step through zero differences, vertical
// pairs, unusable distances and the diagonal's own pairs. Padding rows sit
// at NaN there, so their distances are NaN, which min() and the touching
// test pass over, and so are their kick sizes, which the sums pass over.
// In a group that is not careful, every pair has a positive finite
// horizontal extent and no position is -0, so that a zero difference is +0
// both ways round: the pair seen from c then has exactly the negated sinE,
// ux and uz, except that each zero difference is +0 again, and its negated
// terms are the forward formulas with c's pull and -0 for those.
//
// Where no pull has its sign bit set (the usual table: no negative masses),
// a lean group's kick sizes are the quotients a themselves: a positive
// finite d makes a >= +0. (A NaN a gives a NaN term, and its row is done
// again plainly, whatever the sums say.)
template <bool careful, bool signedPulls, int i>
inline __attribute__((always_inline)) void formTerms(const Tables& t, Strip& s, int q, GroupTerms& group,
                                                     TileOut& out) {
    const int h = s.h0 + q, k = lanes * q + i, c = lanes * h + i, r0 = lanes * s.g;
    const int kg = s.g - out.gA, column = c - lanes * out.gB;
    const __m256d zero = _mm256_setzero_pd();
    const __m256d cosE = s.cosE[k], dist = s.d[k];
    // Each quotient is the plain step's: double operands, one rounding to
    // double, one to float.
    const __m256d horizontal = _mm256_mul_pd(cosE, dist);
    const __m256d square = _mm256_mul_pd(dist, dist);
    __m256d ux = widen(narrow(_mm256_div_pd(s.dx[k], horizontal)));
    __m256d uz = widen(narrow(_mm256_div_pd(s.dz[k], horizontal)));
    __m256d a = widen(narrow(_mm256_div_pd(_mm256_set1_pd(t.pull[c]), square)));
    const bool mirrored = !careful || h > s.g;
    const __m256d backA = mirrored ? widen(narrow(_mm256_div_pd(s.pull, square))) : zero;
    const __m256d radii = _mm256_add_pd(_mm256_set1_pd(t.radius[c]), s.radius);
    const __m256d touching = _mm256_cmp_pd(radii, dist, _CMP_GT_OQ);
    __m128 d = s.dFloat[k];
    if constexpr (careful) {
        const __m256d nan = _mm256_set1_pd(__builtin_nan(""));
        const __m256d vertical = _mm256_or_pd(isZero(cosE), isZero(dist));
        const __m256d usable = _mm256_and_pd(_mm256_cmp_pd(dist, zero, _CMP_GT_OQ),
                                             _mm256_cmp_pd(dist, _mm256_set1_pd(__builtin_inf()), _CMP_LT_OQ));
        ux = _mm256_andnot_pd(vertical, ux);
        uz = _mm256_andnot_pd(vertical, uz);
        store(out.forward, kg, column, termsOf(a, _mm256_blendv_pd(nan, s.sinE[k], usable), cosE, ux, uz));
        if (h == s.g) {
            a = _mm256_blendv_pd(a, zero, ownColumnWide(r0, c));
            d = _mm_blendv_ps(d, _mm_set1_ps(__builtin_inff()), ownColumn(r0, c));
            group.touching = _mm256_or_pd(group.touching, _mm256_andnot_pd(ownColumnWide(r0, c), touching));
        } else {
            group.touching = _mm256_or_pd(group.touching, touching);
        }
        s.kickSum = _mm256_add_pd(s.kickSum, size(a));
        if (mirrored) {
            // The same pair seen from c; see reverse() in the portable
            // kernel. A difference seen from c is zero exactly where it is
            // seen from r, and then the double subtraction gives its sign as
            // the float one does; other values of it are not used.
            const __m256d bdx = _mm256_sub_pd(s.xd, _mm256_set1_pd(t.xWide[c]));
            const __m256d bdy = _mm256_sub_pd(s.yd, _mm256_set1_pd(t.yWide[c]));
            const __m256d bdz = _mm256_sub_pd(s.zd, _mm256_set1_pd(t.zWide[c]));
            const __m256d sinE =
                _mm256_blendv_pd(nan, _mm256_blendv_pd(negate(s.sinE[k]), bdy, isZero(s.dy[k])), usable);
            const __m256d bux = _mm256_andnot_pd(vertical, _mm256_blendv_pd(negate(ux), bdx, isZero(s.dx[k])));
            const __m256d buz = _mm256_andnot_pd(vertical, _mm256_blendv_pd(negate(uz), bdz, isZero(s.dz[k])));
            const Terms back = negate(termsOf(backA, sinE, cosE, bux, buz));
            storeBack(group, i, out.diagonal ? negate(back) : back);
            out.columnSums[column] = _mm256_add_pd(out.columnSums[column], size(backA));
        } else {
            // The diagonal's own group is not turned round; its scratch
            // block is still written, so that no path reads it undefined.
            storeBack(group, i, Terms{zero, zero, zero});
        }
    } else {
        store(out.forward, kg, column, termsOf(a, s.sinE[k], cosE, ux, uz));
        group.touching = _mm256_or_pd(group.touching, touching);
        s.kickSum = _mm256_add_pd(s.kickSum, signedPulls ? size(a) : a);
        const __m256d negativeZero = _mm256_set1_pd(-0.0);
        const __m256d sinE = _mm256_blendv_pd(s.sinE[k], negativeZero, isZero(s.dy[k]));
        const __m256d bux = _mm256_blendv_pd(ux, negativeZero, isZero(s.dx[k]));
        const __m256d buz = _mm256_blendv_pd(uz, negativeZero, isZero(s.dz[k]));
        storeBack(group, i, termsOf(backA, sinE, cosE, bux, buz));
        out.columnSums[column] = _mm256_add_pd(out.columnSums[column], signedPulls ? size(backA) : backA);
    }
    // The distances; NaN counts as none (min returns its second operand).
    _mm_store_ps(group.d[i], d);
    s.nearestRows = _mm_min_ps(d, s.nearestRows);
}

// The smallest row of a touching pair in column group h of a strip (own
// pairs not counted), or INT_MAX.
__attribute__((noinline)) int firstTouching(const Tables& t, const Strip& s, int h) {
    int first = INT_MAX;
    const int r0 = lanes * s.g;
    for (int c = lanes * h; c < lanes * h + lanes; ++c) {
        const int k = c - lanes * s.h0;
        const __m256d radii = _mm256_add_pd(_mm256_set1_pd(t.radius[c]), s.radius);
        int mask = _mm256_movemask_pd(_mm256_cmp_pd(radii, s.d[k], _CMP_GT_OQ));
        if (h == s.g) mask &= ~(1 << (c - r0));
        if (mask != 0) {
            const int smaller = r0 + __builtin_ctz(mask);
            const int pair = smaller < c ? smaller : c;
            if (pair < first) first = pair;
        }
    }
    return first;
}

// After the four columns of group h: the columns' nearest distances, the
// backward terms turned round to lanes the rows of h, and the first
// touching pair.
inline __attribute__((always_inline)) void finishGroup(const Tables& t, const Strip& s, int h, GroupTerms& group,
                                                       TileOut& out) {
    // group.d[k] holds column 4h+k for the rows of g; turned round, lane k
    // of each vector is column 4h+k.
    __m128 d0 = _mm_load_ps(group.d[0]), d1 = _mm_load_ps(group.d[1]);
    __m128 d2 = _mm_load_ps(group.d[2]), d3 = _mm_load_ps(group.d[3]);
    _MM_TRANSPOSE4_PS(d0, d1, d2, d3);
    // The running minimum is min()'s second operand, so a NaN never wins.
    __m128 nearestColumns = _mm_loadu_ps(out.nearest + lanes * h);
    nearestColumns = _mm_min_ps(d0, nearestColumns);
    nearestColumns = _mm_min_ps(d1, nearestColumns);
    nearestColumns = _mm_min_ps(d2, nearestColumns);
    nearestColumns = _mm_min_ps(d3, nearestColumns);
    _mm_storeu_ps(out.nearest + lanes * h, nearestColumns);
    if (h > s.g) {
        double (*backward)[lanes] = out.backward[0][h - out.gB] + lanes * (s.g - out.gA);
        constexpr std::ptrdiff_t component = blockGroups * blockRows;  // rows of backward[q + 1] after backward[q]
        for (int q = 0; q < 3; ++q) {
            __m256d v0 = _mm256_load_pd(group.back[q][0]), v1 = _mm256_load_pd(group.back[q][1]);
            __m256d v2 = _mm256_load_pd(group.back[q][2]), v3 = _mm256_load_pd(group.back[q][3]);
            transpose(v0, v1, v2, v3);
            double (*out4)[lanes] = backward + q * component;
            _mm256_store_pd(out4[0], v0);
            _mm256_store_pd(out4[1], v1);
            _mm256_store_pd(out4[2], v2);
            _mm256_store_pd(out4[3], v3);
        }
    }
    if (_mm256_movemask_pd(group.touching) != 0) {
        const int first = firstTouching(t, s, h);
        if (first < out.touching) out.touching = first;
    }
}

template <bool careful, bool signedPulls = true>
void formGroup(const Tables& t, Strip& s, int q, TileOut& out) {
    GroupTerms group;
    group.touching = _mm256_setzero_pd();
    formTerms<careful, signedPulls, 0>(t, s, q, group, out);
    formTerms<careful, signedPulls, 1>(t, s, q, group, out);
    formTerms<careful, signedPulls, 2>(t, s, q, group, out);
    formTerms<careful, signedPulls, 3>(t, s, q, group, out);
    finishGroup(t, s, s.h0 + q, group, out);
}

// The running velocities of the four rows of a group.
struct Lanes {
    __m128 vx, vy, vz;
};

Lanes loadRows(const Tables& t, int r0) {
    return {_mm_loadu_ps(t.newVx + r0), _mm_loadu_ps(t.newVy + r0), _mm_loadu_ps(t.newVz + r0)};
}

void storeRows(Tables& t, int r0, const Lanes& s) {
    _mm_storeu_ps(t.newVx + r0, s.vx);
    _mm_storeu_ps(t.newVy + r0, s.vy);
    _mm_storeu_ps(t.newVz + r0, s.vz);
}

using Terms3 = const double (*)[blockGroups][blockRows][lanes];

// A negated term is subtracted: v - t is v + (-t), bit for bit.
template <bool negated>
__m128 kicked(__m128 v, const double* term) {
    return negated ? narrow(_mm256_sub_pd(widen(v), _mm256_load_pd(term)))
                   : narrow(_mm256_add_pd(widen(v), _mm256_load_pd(term)));
}

// One kick for the four rows of a group; lanes set in keep (the row itself)
// stay as they are.
template <bool own, bool negated>
inline __attribute__((always_inline)) void kick(Lanes& s, Terms3 in, int k, int c, __m128 keep) {
    __m128 vx = kicked<negated>(s.vx, in[0][k][c]);
    __m128 vy = kicked<negated>(s.vy, in[1][k][c]);
    __m128 vz = kicked<negated>(s.vz, in[2][k][c]);
    if (own) {
        vx = _mm_blendv_ps(vx, s.vx, keep);
        vy = _mm_blendv_ps(vy, s.vy, keep);
        vz = _mm_blendv_ps(vz, s.vz, keep);
    }
    s.vx = vx;
    s.vy = vy;
    s.vz = vz;
}

// Adds the kick terms of `count` columns in order to the rows of the n
// groups of a block, side by side: each kick waits for the rounding of the
// one before it in its own row, and the other groups' kicks fill that wait.
// On the diagonal a group's own columns are masked.
template <int n, bool diagonal, bool negated>
void kickBlock(Tables& t, int r0, Terms3 in, int count) {
    Lanes s[n];
#pragma GCC unroll 4
    for (int k = 0; k < n; ++k) s[k] = loadRows(t, r0 + lanes * k);
    for (int c = 0; c < count; ++c) {
#pragma GCC unroll 4
        for (int k = 0; k < n; ++k) {
            if (diagonal && c / lanes == k) {
                kick<true, negated>(s[k], in, k, c, ownColumn(lanes * k, c));
            } else {
                kick<false, negated>(s[k], in, k, c, __m128{});
            }
        }
    }
#pragma GCC unroll 4
    for (int k = 0; k < n; ++k) storeRows(t, r0 + lanes * k, s[k]);
}

// The rows of groups first .. end - 1, one block, by `count` columns, and
// their sums of kick sizes.
template <bool diagonal, bool negated>
void kickGroups(Tables& t, int first, int end, Terms3 in, int count, const double* sums) {
    const int r0 = lanes * first;
    switch (end - first) {
        case 4: kickBlock<4, diagonal, negated>(t, r0, in, count); break;
        case 3: kickBlock<3, diagonal, negated>(t, r0, in, count); break;
        case 2: kickBlock<2, diagonal, negated>(t, r0, in, count); break;
        case 1: kickBlock<1, diagonal, negated>(t, r0, in, count); break;
        default: break;
    }
    for (int r = r0; r < lanes * end; ++r) t.kickSum[r] += sums[r - r0];
}

}  // namespace

int tileAvx2(Tables& t, int A, int B, float* nearest, TileTerms& terms) {
    const int gA = blockGroups * A, gB = blockGroups * B;
    const int endA = t.groups < gA + blockGroups ? t.groups : gA + blockGroups;
    const int endB = t.groups < gB + blockGroups ? t.groups : gB + blockGroups;
    const bool diagonal = A == B;
    TileOut out;
    out.gA = gA;
    out.gB = gB;
    out.diagonal = diagonal;
    out.forward = terms.forward;
    // On the diagonal the rows of h are rows of A too.
    out.backward = diagonal ? terms.forward : terms.backward;
    out.nearest = nearest;
    out.touching = INT_MAX;
    for (int r = 0; r < blockRows; ++r) {
        out.columnSums[r] = _mm256_setzero_pd();
        if (r % lanes == 0) {
            _mm256_store_pd(terms.forwardSum + r, out.columnSums[r]);
            _mm256_store_pd(terms.backwardSum + r, out.columnSums[r]);
        }
    }
    Strip strip;
    for (int g = gA; g < endA; ++g) {
        startStrip(t, strip, g, diagonal ? g : gB, endB);
        measureDistances(t, strip);
        measureElevations(t, strip);
        for (int q = 0; lanes * q < strip.count; ++q) {
            if (strip.carefulGroups >> q & 1) {
                formGroup<true>(t, strip, q, out);
            } else if (t.signedPull) {
                formGroup<false, true>(t, strip, q, out);
            } else {
                formGroup<false, false>(t, strip, q, out);
            }
        }
        // nearest[r0..] may have been lowered by this group's own columns.
        const int r0 = lanes * g;
        _mm_storeu_ps(nearest + r0, _mm_min_ps(strip.nearestRows, _mm_loadu_ps(nearest + r0)));
        double* sum = terms.forwardSum + (r0 - lanes * gA);
        _mm256_store_pd(sum, _mm256_add_pd(_mm256_load_pd(sum), strip.kickSum));
    }
    // Each column's sizes, lanes added in order.
    double* backwardSum = diagonal ? terms.forwardSum : terms.backwardSum;
    for (int c = 0; c < blockRows; ++c) {
        alignas(32) double lane[lanes];
        _mm256_store_pd(lane, out.columnSums[c]);
        backwardSum[c] += ((lane[0] + lane[1]) + lane[2]) + lane[3];
    }
    const int columnsA = t.m - lanes * gA < blockRows ? t.m - lanes * gA : blockRows;
    const int columnsB = t.m - lanes * gB < blockRows ? t.m - lanes * gB : blockRows;
    if (diagonal) {
        kickGroups<true, false>(t, gA, endA, terms.forward, columnsB, terms.forwardSum);
    } else {
        kickGroups<false, false>(t, gA, endA, terms.forward, columnsB, terms.forwardSum);
        kickGroups<false, true>(t, gB, endB, terms.backward, columnsA, terms.backwardSum);
    }
    return out.touching;
}

}  // namespace sim::fast
