// The AVX2 kernel of the fast gravity step: the portable kernel four lanes
// at a time, with the same operations in the same order. Built with -mavx2
// (and without FMA), called only where the processor has AVX2. Everything
// here stays in this file so that no AVX2 code can stand in for a shared
// inline function elsewhere.
#include <immintrin.h>

#include "sim/fast_gravity_kernels.h"

namespace sim::fast {

namespace {

__m256d widen(__m128 v) { return _mm256_cvtps_pd(v); }
__m128 narrow(__m256d v) { return _mm256_cvtpd_ps(v); }

// No vector constants at namespace scope: their initialisers would run AVX
// code at program start on every processor.
__m128 signBit() { return _mm_set1_ps(-0.f); }
__m128 negate(__m128 v) { return _mm_xor_ps(v, signBit()); }
__m128 absolute(__m128 v) { return _mm_andnot_ps(signBit(), v); }
__m128 isZero(__m128 v) { return _mm_cmp_ps(v, _mm_setzero_ps(), _CMP_EQ_OQ); }

// The lanes of the group starting at row r0 that are column c itself.
__m128 ownColumn(int r0, int c) {
    const __m128i lane = _mm_set_epi32(3, 2, 1, 0);
    return _mm_castsi128_ps(_mm_cmpeq_epi32(lane, _mm_set1_epi32(c - r0)));
}

struct Quantities {
    __m128 a, sinE, cosE, ux, uz;
};

}  // namespace

namespace {

// The forward quantities of a strip (four rows, up to 16 columns), before
// they become kick terms, and the kick sizes of the backward pairs.
struct Strip {
    __m128 dx[blockRows], dy[blockRows], dz[blockRows], d[blockRows];
    __m256d dxd[blockRows], dzd[blockRows], dd[blockRows];
    Quantities f[blockRows];
    __m128 backA[blockRows];
    __m128 vertical[blockRows], usable[blockRows];
};

// The square roots and divisions of a strip, columns c0 .. c0 + count - 1,
// stage by stage over its columns, so that each stage's roots and quotients
// follow each other without waiting for one another. Every quotient is the
// plain step's: double operands, one rounding to double, one to float.
void measureStrip(const Tables& t, int c0, int count, __m128 xr, __m128 yr, __m128 zr, __m256d pullRows, Strip& w) {
    const __m256d one = _mm256_set1_pd(1);
    for (int k = 0; k < count; ++k) {
        const int c = c0 + k;
        // A difference of two floats rounded to double and then to float is
        // the float difference, as for quotients below.
        w.dx[k] = _mm_sub_ps(_mm_set1_ps(t.x[c]), xr);
        w.dy[k] = _mm_sub_ps(_mm_set1_ps(t.y[c]), yr);
        w.dz[k] = _mm_sub_ps(_mm_set1_ps(t.z[c]), zr);
        const __m256d dxd = widen(w.dx[k]), dyd = widen(w.dy[k]), dzd = widen(w.dz[k]);
        w.dxd[k] = dxd;
        w.dzd[k] = dzd;
        const __m256d squares = _mm256_add_pd(
            _mm256_add_pd(_mm256_mul_pd(dxd, dxd), _mm256_mul_pd(dyd, dyd)), _mm256_mul_pd(dzd, dzd));
        w.d[k] = narrow(_mm256_sqrt_pd(squares));
        w.dd[k] = widen(w.d[k]);
    }
    for (int k = 0; k < count; ++k) {
        // A quotient of two floats rounded to double and then to float is
        // the float quotient (double has more than 2 * 24 + 2 bits).
        w.f[k].sinE = _mm_div_ps(w.dy[k], w.d[k]);
        const __m256d sinEd = widen(w.f[k].sinE);
        w.f[k].cosE = narrow(_mm256_sqrt_pd(_mm256_sub_pd(one, _mm256_mul_pd(sinEd, sinEd))));
    }
    const __m128 infinity = _mm_set1_ps(__builtin_inff());
    for (int k = 0; k < count; ++k) {
        const int c = c0 + k;
        const __m256d horizontal = _mm256_mul_pd(widen(w.f[k].cosE), w.dd[k]);
        const __m256d square = _mm256_mul_pd(w.dd[k], w.dd[k]);
        w.vertical[k] = _mm_or_ps(isZero(w.f[k].cosE), isZero(w.d[k]));
        const __m256d pullColumn = _mm256_set1_pd(t.pull[c]);
        w.f[k].ux = narrow(_mm256_div_pd(w.dxd[k], horizontal));
        w.f[k].uz = narrow(_mm256_div_pd(w.dzd[k], horizontal));
        w.f[k].a = narrow(_mm256_div_pd(pullColumn, square));
        w.backA[k] = narrow(_mm256_div_pd(pullRows, square));
        w.f[k].ux = _mm_andnot_ps(w.vertical[k], w.f[k].ux);
        w.f[k].uz = _mm_andnot_ps(w.vertical[k], w.f[k].uz);
        w.usable[k] = _mm_and_ps(_mm_cmp_ps(w.d[k], _mm_setzero_ps(), _CMP_GT_OQ),
                                 _mm_cmp_ps(w.d[k], infinity, _CMP_LT_OQ));
    }
}

// The kick terms of one column for the four rows of a group.
struct Terms {
    __m256d x, y, z;
};

Terms termsOf(const Quantities& q) {
    const __m256d a = widen(q.a), cosE = widen(q.cosE);
    return {_mm256_mul_pd(_mm256_mul_pd(widen(q.ux), a), cosE), _mm256_mul_pd(widen(q.sinE), a),
            _mm256_mul_pd(_mm256_mul_pd(cosE, a), widen(q.uz))};
}

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

// Writes the kick terms of a measured 4 x 4 tile (rows of group g, columns
// of group h) both ways round, lowers the nearest distances, and returns the
// smallest row of a touching pair in it (or INT_MAX). kg and kh are the
// groups' places in their blocks: forward[.][kg][4 kh + k] holds column
// 4h + k for the rows of g, backward[.][kh][4 kg + l] row 4g + l for the
// rows of h. Padding rows sit at NaN, so their distances are NaN, which
// min() and the touching test pass over.
int termsTile(const Tables& t, int g, int h, int kg, int kh, __m128 xr, __m128 yr, __m128 zr, __m256d rr,
              const Strip& w, int j0, __m128& nearestRows, float* nearest,
              double (*forward)[blockGroups][blockRows][lanes], double (*backward)[blockGroups][blockRows][lanes]) {
    const int r0 = lanes * g;
    const __m128 nan = _mm_set1_ps(__builtin_nanf(""));
    const __m128 infinity = _mm_set1_ps(__builtin_inff());
    int touching = INT_MAX;
    Terms back[lanes];
    __m128 d[lanes];
    for (int k = 0; k < lanes; ++k) {
        const int c = lanes * h + k, j = j0 + k;
        Quantities stored = w.f[j];
        stored.sinE = _mm_blendv_ps(nan, w.f[j].sinE, w.usable[j]);
        store(forward, kg, lanes * kh + k, termsOf(stored));

        // Touching: radius[c] + radius[r] > d, the pair of a row with itself
        // not counted.
        const __m256d radii = _mm256_add_pd(_mm256_set1_pd(t.radius[c]), rr);
        int touchMask = _mm256_movemask_pd(_mm256_cmp_pd(radii, w.dd[j], _CMP_GT_OQ));
        if (h == g) touchMask &= ~(1 << k);
        if (touchMask != 0) {
            const int smaller = r0 + __builtin_ctz(touchMask);
            if ((smaller < c ? smaller : c) < touching) touching = smaller < c ? smaller : c;
        }
        // The distances; NaN counts as none (min returns its second operand).
        d[k] = h == g ? _mm_blendv_ps(w.d[j], infinity, ownColumn(r0, c)) : w.d[j];
        nearestRows = _mm_min_ps(d[k], nearestRows);
        if (h > g) {
            // The same pair seen from c; see reverse() in the portable kernel.
            // A difference seen from c is zero exactly where it is seen from
            // r, and then a float subtraction gives its sign as the double
            // one does; other values of bdx are not used.
            const __m128 bdx = _mm_sub_ps(xr, _mm_set1_ps(t.x[c]));
            const __m128 bdy = _mm_sub_ps(yr, _mm_set1_ps(t.y[c]));
            const __m128 bdz = _mm_sub_ps(zr, _mm_set1_ps(t.z[c]));
            Quantities b;
            b.a = w.backA[j];
            b.cosE = w.f[j].cosE;
            b.sinE = _mm_blendv_ps(nan, _mm_blendv_ps(negate(w.f[j].sinE), bdy, isZero(w.dy[j])), w.usable[j]);
            b.ux = _mm_andnot_ps(w.vertical[j], _mm_blendv_ps(negate(w.f[j].ux), bdx, isZero(w.dx[j])));
            b.uz = _mm_andnot_ps(w.vertical[j], _mm_blendv_ps(negate(w.f[j].uz), bdz, isZero(w.dz[j])));
            back[k] = termsOf(b);
        }
    }
    // The columns' nearest distances: d[k] holds column 4h+k for the rows
    // of g; turned round, lane k of each vector is column 4h+k.
    _MM_TRANSPOSE4_PS(d[0], d[1], d[2], d[3]);
    __m128 nearestColumns = _mm_loadu_ps(nearest + lanes * h);
    for (int l = 0; l < lanes; ++l) nearestColumns = _mm_min_ps(d[l], nearestColumns);
    _mm_storeu_ps(nearest + lanes * h, nearestColumns);
    if (h > g) {
        // back[k] holds column 4h+k for the four rows of g; the rows of h
        // want one vector per row of g.
        transpose(back[0].x, back[1].x, back[2].x, back[3].x);
        transpose(back[0].y, back[1].y, back[2].y, back[3].y);
        transpose(back[0].z, back[1].z, back[2].z, back[3].z);
        for (int l = 0; l < lanes; ++l) store(backward, kh, lanes * kg + l, back[l]);
    }
    return touching;
}

// The running velocities of the four rows of a group, and the largest |v|
// on the way.
struct Lanes {
    __m128 vx, vy, vz;
    __m128 maxVx, maxVy, maxVz;
};

Lanes loadRows(const Tables& t, int r0) {
    return {_mm_loadu_ps(t.newVx + r0), _mm_loadu_ps(t.newVy + r0), _mm_loadu_ps(t.newVz + r0),
            _mm_loadu_ps(t.maxVx + r0), _mm_loadu_ps(t.maxVy + r0), _mm_loadu_ps(t.maxVz + r0)};
}

void storeRows(Tables& t, int r0, const Lanes& s) {
    _mm_storeu_ps(t.newVx + r0, s.vx);
    _mm_storeu_ps(t.newVy + r0, s.vy);
    _mm_storeu_ps(t.newVz + r0, s.vz);
    _mm_storeu_ps(t.maxVx + r0, s.maxVx);
    _mm_storeu_ps(t.maxVy + r0, s.maxVy);
    _mm_storeu_ps(t.maxVz + r0, s.maxVz);
}

using Terms3 = const double (*)[blockGroups][blockRows][lanes];

// One kick for the four rows of a group; lanes set in keep (the row itself)
// stay as they are.
template <bool own>
inline __attribute__((always_inline)) void kick(Lanes& s, Terms3 in, int k, int c, __m128 keep) {
    __m128 vx = narrow(_mm256_add_pd(widen(s.vx), _mm256_load_pd(in[0][k][c])));
    __m128 vy = narrow(_mm256_add_pd(widen(s.vy), _mm256_load_pd(in[1][k][c])));
    __m128 vz = narrow(_mm256_add_pd(widen(s.vz), _mm256_load_pd(in[2][k][c])));
    if (own) {
        vx = _mm_blendv_ps(vx, s.vx, keep);
        vy = _mm_blendv_ps(vy, s.vy, keep);
        vz = _mm_blendv_ps(vz, s.vz, keep);
    }
    s.vx = vx;
    s.vy = vy;
    s.vz = vz;
    // max returns its second operand when either is NaN: NaN is ignored.
    s.maxVx = _mm_max_ps(absolute(vx), s.maxVx);
    s.maxVy = _mm_max_ps(absolute(vy), s.maxVy);
    s.maxVz = _mm_max_ps(absolute(vz), s.maxVz);
}

// Adds the kick terms of `count` columns in order to the rows of the n
// groups of a block, side by side: each kick waits for the rounding of the
// one before it in its own row, and the other groups' kicks fill that wait.
// On the diagonal a group's own columns are masked.
template <int n, bool diagonal>
void kickBlock(Tables& t, int r0, Terms3 in, int count) {
    Lanes s[n];
#pragma GCC unroll 4
    for (int k = 0; k < n; ++k) s[k] = loadRows(t, r0 + lanes * k);
    for (int c = 0; c < count; ++c) {
#pragma GCC unroll 4
        for (int k = 0; k < n; ++k) {
            if (diagonal && c / lanes == k) {
                kick<true>(s[k], in, k, c, ownColumn(lanes * k, c));
            } else {
                kick<false>(s[k], in, k, c, __m128{});
            }
        }
    }
#pragma GCC unroll 4
    for (int k = 0; k < n; ++k) storeRows(t, r0 + lanes * k, s[k]);
}

// The rows of groups first .. end - 1, one block, by `count` columns.
template <bool diagonal>
void kickGroups(Tables& t, int first, int end, Terms3 in, int count) {
    const int r0 = lanes * first;
    switch (end - first) {
        case 4: kickBlock<4, diagonal>(t, r0, in, count); break;
        case 3: kickBlock<3, diagonal>(t, r0, in, count); break;
        case 2: kickBlock<2, diagonal>(t, r0, in, count); break;
        case 1: kickBlock<1, diagonal>(t, r0, in, count); break;
        default: break;
    }
}

}  // namespace

int tileAvx2(Tables& t, int A, int B, float* nearest, TileTerms& terms) {
    const int gA = blockGroups * A, gB = blockGroups * B;
    const int endA = t.groups < gA + blockGroups ? t.groups : gA + blockGroups;
    const int endB = t.groups < gB + blockGroups ? t.groups : gB + blockGroups;
    const bool diagonal = A == B;
    // On the diagonal the rows of h are rows of A too.
    double (*backward)[blockGroups][blockRows][lanes] = diagonal ? terms.forward : terms.backward;
    int touching = INT_MAX;
    Strip w;
    for (int g = gA; g < endA; ++g) {
        const int r0 = lanes * g;
        const __m128 xf = _mm_loadu_ps(t.x + r0), yf = _mm_loadu_ps(t.y + r0), zf = _mm_loadu_ps(t.z + r0);
        const __m256d rr = widen(_mm_loadu_ps(t.radius + r0));
        const __m256d pullRows = _mm256_loadu_pd(t.pull + r0);
        __m128 nearestRows = _mm_loadu_ps(nearest + r0);
        const int h0 = diagonal ? g : gB;
        measureStrip(t, lanes * h0, lanes * (endB - h0), xf, yf, zf, pullRows, w);
        for (int h = h0; h < endB; ++h) {
            const int first = termsTile(t, g, h, g - gA, h - gB, xf, yf, zf, rr, w, lanes * (h - h0), nearestRows,
                                        nearest, terms.forward, backward);
            if (first < touching) touching = first;
        }
        // nearest[r0..] may have been lowered by this group's own columns.
        _mm_storeu_ps(nearest + r0, _mm_min_ps(nearestRows, _mm_loadu_ps(nearest + r0)));
    }
    const int columnsA = t.m - lanes * gA < blockRows ? t.m - lanes * gA : blockRows;
    const int columnsB = t.m - lanes * gB < blockRows ? t.m - lanes * gB : blockRows;
    if (diagonal) {
        kickGroups<true>(t, gA, endA, terms.forward, columnsB);
    } else {
        kickGroups<false>(t, gA, endA, terms.forward, columnsB);
        kickGroups<false>(t, gB, endB, terms.backward, columnsA);
    }
    return touching;
}

}  // namespace sim::fast
