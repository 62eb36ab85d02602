// The AVX2 kernels of the fast gravity step: the portable kernels four lanes
// at a time, with the same operations in the same order. Built with -mavx2
// (and without FMA), called only where the processor has AVX2. Everything
// here stays in this file so that no AVX2 code can stand in for a shared
// inline function elsewhere.
#include <immintrin.h>

#include <type_traits>

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

void storeQuantities(Tables& t, std::size_t at, const Quantities& q) {
    _mm_storeu_ps(t.a + at, q.a);
    _mm_storeu_ps(t.sinE + at, q.sinE);
    _mm_storeu_ps(t.cosE + at, q.cosE);
    _mm_storeu_ps(t.ux + at, q.ux);
    _mm_storeu_ps(t.uz + at, q.uz);
}

// The lanes (bit l for lane l) where x, a double within five roundings of a
// double-rounded quotient, surely rounds to the same float as that quotient:
// x is finite, and x moved by 2^-49 either way, which covers both, rounds to
// one float. Rounding to float never goes down as its argument goes up, so
// the quotient, lying between, rounds to that float too.
int certain(__m256d x) {
    const __m128 below = narrow(_mm256_mul_pd(x, _mm256_set1_pd(1 - 0x1p-49)));
    const __m128 above = narrow(_mm256_mul_pd(x, _mm256_set1_pd(1 + 0x1p-49)));
    const __m256d finite = _mm256_cmp_pd(_mm256_sub_pd(x, x), _mm256_setzero_pd(), _CMP_EQ_OQ);
    return _mm_movemask_ps(_mm_cmp_ps(below, above, _CMP_EQ_OQ)) & _mm256_movemask_pd(finite);
}

}  // namespace

namespace {

// The forward quantities of one tile (four rows, four columns), before they
// are stored, and the kick sizes of the backward pairs.
struct Tile {
    __m128 dx[lanes], dy[lanes], dz[lanes], d[lanes];
    __m256d dxd[lanes], dzd[lanes], dd[lanes];
    Quantities f[lanes];
    __m128 backA[lanes];
    __m128 vertical[lanes], usable[lanes];
};

// The square roots and divisions of a tile, stage by stage over its four
// columns, so that they follow each other without waiting.
//
// The three quotients of a pair that the plain step divides for (ux, uz and
// the kick size a, here both ways round) come from one division: with
// h = cosE * d and D = d * d, both exact in double, R = 1 / (D * h) gives
// 1 / h = R * D and 1 / D = R * h, and each quotient is a product, within
// five roundings of the exact one. Where certain() cannot vouch for every
// lane, the tile's column is divided the plain way.
void measureTile(const Tables& t, int h, __m128 xr, __m128 yr, __m128 zr, __m256d pullRows, Tile& w) {
    const __m256d one = _mm256_set1_pd(1);
    for (int k = 0; k < lanes; ++k) {
        const int c = lanes * h + k;
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
    for (int k = 0; k < lanes; ++k) {
        // A quotient of two floats rounded to double and then to float is
        // the float quotient (double has more than 2 * 24 + 2 bits).
        w.f[k].sinE = _mm_div_ps(w.dy[k], w.d[k]);
        const __m256d sinEd = widen(w.f[k].sinE);
        w.f[k].cosE = narrow(_mm256_sqrt_pd(_mm256_sub_pd(one, _mm256_mul_pd(sinEd, sinEd))));
    }
    const __m128 infinity = _mm_set1_ps(__builtin_inff());
    for (int k = 0; k < lanes; ++k) {
        const int c = lanes * h + k;
        const __m256d horizontal = _mm256_mul_pd(widen(w.f[k].cosE), w.dd[k]);
        const __m256d square = _mm256_mul_pd(w.dd[k], w.dd[k]);
        w.vertical[k] = _mm_or_ps(isZero(w.f[k].cosE), isZero(w.d[k]));
        // A vertical pair has no horizontal direction; 1 keeps 1 / D usable.
        const __m256d h1 = _mm256_blendv_pd(horizontal, one, _mm256_cmp_pd(horizontal, _mm256_setzero_pd(), _CMP_EQ_OQ));
        const __m256d reciprocal = _mm256_div_pd(one, _mm256_mul_pd(square, h1));
        const __m256d overH = _mm256_mul_pd(reciprocal, square), overD = _mm256_mul_pd(reciprocal, h1);
        const __m256d pullColumn = _mm256_set1_pd(t.pull[c]);
        __m256d ux = _mm256_mul_pd(w.dxd[k], overH), uz = _mm256_mul_pd(w.dzd[k], overH);
        __m256d a = _mm256_mul_pd(pullColumn, overD), backA = _mm256_mul_pd(pullRows, overD);
        const int vertical = _mm_movemask_ps(w.vertical[k]);
        if (((certain(ux) | vertical) & (certain(uz) | vertical) & certain(a) & certain(backA)) != 0xF) {
            ux = _mm256_div_pd(w.dxd[k], horizontal);
            uz = _mm256_div_pd(w.dzd[k], horizontal);
            a = _mm256_div_pd(pullColumn, square);
            backA = _mm256_div_pd(pullRows, square);
        }
        w.f[k].ux = _mm_andnot_ps(w.vertical[k], narrow(ux));
        w.f[k].uz = _mm_andnot_ps(w.vertical[k], narrow(uz));
        w.f[k].a = narrow(a);
        w.backA[k] = narrow(backA);
        w.usable[k] = _mm_and_ps(_mm_cmp_ps(w.d[k], _mm_setzero_ps(), _CMP_GT_OQ),
                                 _mm_cmp_ps(w.d[k], infinity, _CMP_LT_OQ));
    }
}

// The smallest of the four lanes.
float smallest(__m128 v) {
    v = _mm_min_ps(v, _mm_movehl_ps(v, v));
    v = _mm_min_ss(v, _mm_shuffle_ps(v, v, 1));
    return _mm_cvtss_f32(v);
}

// Stores a measured tile both ways round, lowers the nearest distances, and
// returns the smallest row of a touching pair in it (or INT_MAX).
int storeTile(Tables& t, int g, int h, __m128 xr, __m128 yr, __m128 zr, __m256d rr, const Tile& w,
              __m128 presentRows, __m128& nearestRows, float* nearest) {
    const int r0 = lanes * g;
    const __m128 nan = _mm_set1_ps(__builtin_nanf(""));
    const __m128 infinity = _mm_set1_ps(__builtin_inff());
    int touching = INT_MAX;
    Quantities back[lanes];
    for (int k = 0; k < lanes; ++k) {
        const int c = lanes * h + k;
        Quantities stored = w.f[k];
        stored.sinE = _mm_blendv_ps(nan, w.f[k].sinE, w.usable[k]);
        storeQuantities(t, pairIndex(t, g, c, 0), stored);

        // Touching: radius[c] + radius[r] > d, for present pairs only.
        const __m256d radii = _mm256_add_pd(_mm256_set1_pd(t.radius[c]), rr);
        const int touchMask = _mm256_movemask_pd(_mm256_cmp_pd(radii, w.dd[k], _CMP_GT_OQ));
        if (touchMask != 0) {
            for (int l = 0; l < lanes; ++l) {
                const int r = r0 + l;
                if ((touchMask >> l & 1) && r != c && r < t.m && c < t.m) {
                    const int smaller = r < c ? r : c;
                    if (smaller < touching) touching = smaller;
                }
            }
        }
        if (c < t.m) {
            // The distances of present pairs, NaN counting as none.
            __m128 present = _mm_and_ps(presentRows, _mm_cmp_ps(w.d[k], w.d[k], _CMP_ORD_Q));
            if (h == g) present = _mm_andnot_ps(ownColumn(r0, c), present);
            const __m128 d = _mm_blendv_ps(infinity, w.d[k], present);
            nearestRows = _mm_min_ps(d, nearestRows);
            const float least = smallest(d);
            if (least < nearest[c]) nearest[c] = least;
        }
        if (h > g) {
            // The same pair seen from c; see reverse() in the portable kernel.
            // A difference seen from c is zero exactly where it is seen from
            // r, and then a float subtraction gives its sign as the double
            // one does; other values of bdx are not used.
            const __m128 bdx = _mm_sub_ps(xr, _mm_set1_ps(t.x[c]));
            const __m128 bdy = _mm_sub_ps(yr, _mm_set1_ps(t.y[c]));
            const __m128 bdz = _mm_sub_ps(zr, _mm_set1_ps(t.z[c]));
            Quantities& b = back[k];
            b.a = w.backA[k];
            b.cosE = w.f[k].cosE;
            b.sinE = _mm_blendv_ps(nan, _mm_blendv_ps(negate(w.f[k].sinE), bdy, isZero(w.dy[k])), w.usable[k]);
            b.ux = _mm_andnot_ps(w.vertical[k], _mm_blendv_ps(negate(w.f[k].ux), bdx, isZero(w.dx[k])));
            b.uz = _mm_andnot_ps(w.vertical[k], _mm_blendv_ps(negate(w.f[k].uz), bdz, isZero(w.dz[k])));
        }
    }
    if (h > g) {
        // back[k] holds column lanes*h+k for the four rows; the table wants
        // row r0+l for the four columns as one vector.
        _MM_TRANSPOSE4_PS(back[0].a, back[1].a, back[2].a, back[3].a);
        _MM_TRANSPOSE4_PS(back[0].sinE, back[1].sinE, back[2].sinE, back[3].sinE);
        _MM_TRANSPOSE4_PS(back[0].cosE, back[1].cosE, back[2].cosE, back[3].cosE);
        _MM_TRANSPOSE4_PS(back[0].ux, back[1].ux, back[2].ux, back[3].ux);
        _MM_TRANSPOSE4_PS(back[0].uz, back[1].uz, back[2].uz, back[3].uz);
        for (int l = 0; l < lanes; ++l) storeQuantities(t, pairIndex(t, h, r0 + l, 0), back[l]);
    }
    return touching;
}

}  // namespace

// How many tiles ahead the rows written backwards are fetched.
constexpr int prefetchAhead = 4;

int pairRowAvx2(Tables& t, int g, float* nearest) {
    const int r0 = lanes * g;
    const __m128 xf = _mm_loadu_ps(t.x + r0), yf = _mm_loadu_ps(t.y + r0), zf = _mm_loadu_ps(t.z + r0);
    const __m256d rr = widen(_mm_loadu_ps(t.radius + r0));
    const __m256d pullRows = _mm256_loadu_pd(t.pull + r0);
    const __m128i lane = _mm_set_epi32(3, 2, 1, 0);
    const __m128 presentRows = _mm_castsi128_ps(_mm_cmpgt_epi32(_mm_set1_epi32(t.m - r0), lane));
    __m128 nearestRows = _mm_loadu_ps(nearest + r0);
    int touching = INT_MAX;
    // The next tile's roots and divisions are issued before this tile is
    // stored, so that the divider keeps working while the stores go out.
    Tile tiles[2];
    measureTile(t, g, xf, yf, zf, pullRows, tiles[0]);
    for (int h = g; h < t.groups; ++h) {
        if (h + 1 < t.groups) measureTile(t, h + 1, xf, yf, zf, pullRows, tiles[(h + 1 - g) & 1]);
        if (h + prefetchAhead < t.groups) {
            // The backward quantities go into another group's row, which has
            // left the cache since the last step: fetch it for writing early.
            const char* back = reinterpret_cast<const char*>(t.a + pairIndex(t, h + prefetchAhead, r0, 0));
            for (int line = 0; line < lanes * lanes * quantities * 4; line += 64) __builtin_prefetch(back + line, 1);
        }
        const int first = storeTile(t, g, h, xf, yf, zf, rr, tiles[(h - g) & 1], presentRows, nearestRows, nearest);
        if (first < touching) touching = first;
    }
    // nearest[r0..] may have been lowered by this group's own columns.
    _mm_storeu_ps(nearest + r0, _mm_min_ps(nearestRows, _mm_loadu_ps(nearest + r0)));
    return touching;
}

namespace {

// The kicks of column c on the four rows of one group, as in the portable
// kernel; lanes set in keep (the row itself) stay as they are.
struct Lanes {
    __m256d vx, vy, vz;
    __m128 fvx, fvy, fvz;  // the same as floats
    __m128 maxVx, maxVy, maxVz;
};

template <bool own>
inline void kick(Lanes& s, const Tables& t, std::size_t at, __m128 keep) {
    const __m256d a = widen(_mm_loadu_ps(t.a + at));
    const __m256d ux = widen(_mm_loadu_ps(t.ux + at));
    const __m256d uz = widen(_mm_loadu_ps(t.uz + at));
    const __m256d sinE = widen(_mm_loadu_ps(t.sinE + at));
    const __m256d cosE = widen(_mm_loadu_ps(t.cosE + at));
    const __m128 vx = narrow(_mm256_add_pd(s.vx, _mm256_mul_pd(_mm256_mul_pd(ux, a), cosE)));
    const __m128 vy = narrow(_mm256_add_pd(s.vy, _mm256_mul_pd(sinE, a)));
    const __m128 vz = narrow(_mm256_add_pd(s.vz, _mm256_mul_pd(_mm256_mul_pd(cosE, a), uz)));
    const __m128 nvx = own ? _mm_blendv_ps(vx, s.fvx, keep) : vx;
    const __m128 nvy = own ? _mm_blendv_ps(vy, s.fvy, keep) : vy;
    const __m128 nvz = own ? _mm_blendv_ps(vz, s.fvz, keep) : vz;
    s.fvx = nvx;
    s.fvy = nvy;
    s.fvz = nvz;
    s.vx = widen(nvx);
    s.vy = widen(nvy);
    s.vz = widen(nvz);
    // max and min return their second operand when either is NaN: NaN is ignored.
    s.maxVx = _mm_max_ps(absolute(nvx), s.maxVx);
    s.maxVy = _mm_max_ps(absolute(nvy), s.maxVy);
    s.maxVz = _mm_max_ps(absolute(nvz), s.maxVz);
}

}  // namespace

namespace {

Lanes startRows(const Tables& t, int r0) {
    Lanes s;
    const __m128 vx = _mm_loadu_ps(t.vx + r0), vy = _mm_loadu_ps(t.vy + r0), vz = _mm_loadu_ps(t.vz + r0);
    s.vx = widen(vx);
    s.vy = widen(vy);
    s.vz = widen(vz);
    s.fvx = vx;
    s.fvy = vy;
    s.fvz = vz;
    s.maxVx = absolute(vx);
    s.maxVy = absolute(vy);
    s.maxVz = absolute(vz);
    return s;
}

void finishRows(Tables& t, int r0, const Lanes& s) {
    const __m256d squares = _mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(s.vx, s.vx), _mm256_mul_pd(s.vy, s.vy)),
                                          _mm256_mul_pd(s.vz, s.vz));
    _mm_storeu_ps(t.newVx + r0, narrow(s.vx));
    _mm_storeu_ps(t.newVy + r0, narrow(s.vy));
    _mm_storeu_ps(t.newVz + r0, narrow(s.vz));
    _mm_storeu_ps(t.newSpeed + r0, narrow(_mm256_sqrt_pd(squares)));
    _mm_storeu_ps(t.maxVx + r0, s.maxVx);
    _mm_storeu_ps(t.maxVy + r0, s.maxVy);
    _mm_storeu_ps(t.maxVz + r0, s.maxVz);
}

}  // namespace

void kickRowsAvx2(Tables& t, int g, int count) {
    // Two groups side by side: each kick waits for the rounding of the one
    // before it in its own row, and the other group's kicks fill that wait.
    // Only the columns of a group's own rows need the lane mask.
    const int ownStart = lanes * g;
    const int ownEnd = t.m < lanes * (g + count) ? t.m : lanes * (g + count);
    Lanes s[2];
    for (int k = 0; k < count; ++k) s[k] = startRows(t, lanes * (g + k));
    auto kickAll = [&](int c, auto own) {
        for (int k = 0; k < count; ++k) {
            kick<decltype(own)::value>(s[k], t, pairIndex(t, g + k, c, 0), ownColumn(lanes * (g + k), c));
        }
    };
    for (int c = 0; c < ownStart && c < t.m; ++c) kickAll(c, std::false_type{});
    for (int c = ownStart; c < ownEnd; ++c) kickAll(c, std::true_type{});
    for (int c = ownEnd; c < t.m; ++c) kickAll(c, std::false_type{});
    for (int k = 0; k < count; ++k) finishRows(t, lanes * (g + k), s[k]);
}

}  // namespace sim::fast
