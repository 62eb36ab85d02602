// The fast gravity step: scratch tables, workers, kernel choice, and the
// in-order check that makes its result the plain step's.
#include "sim/fast_gravity.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <limits>
#include <thread>
#include <vector>

#include "display/rounding.h"
#include "sim/fast_gravity_kernels.h"
#include "sim/gravity.h"

namespace sim {

namespace {

constexpr int maxThreads = 8;

int defaultThreads() {
    const unsigned cores = std::thread::hardware_concurrency();
    return std::clamp(int(cores), 1, maxThreads);
}

// Waits until `value` no longer holds `old` and returns the new value. The
// next step, or the other threads' end of this one, usually comes within
// microseconds, so it spins for a while before it sleeps: waking a sleeping
// thread costs more than a small step.
template <typename T>
T awaitChange(const std::atomic<T>& value, T old) {
    const auto spinUntil = std::chrono::steady_clock::now() + std::chrono::microseconds(200);
    for (int spins = 1;; ++spins) {
        const T now = value.load(std::memory_order_acquire);
        if (now != old) return now;
#if defined(__x86_64__) || defined(__i386__)
        __builtin_ia32_pause();
#endif
        if (spins % 64 == 0 && std::chrono::steady_clock::now() > spinUntil) break;
    }
    for (;;) {
        value.wait(old, std::memory_order_acquire);
        const T now = value.load(std::memory_order_acquire);
        if (now != old) return now;
    }
}

// The largest of two magnitudes; a NaN never wins.
float larger(float a, float b) { return b > a ? b : a; }

// Starts a row array on a 64-byte cache line.
template <typename T>
T* alignedToCacheLine(T* p) {
    constexpr std::uintptr_t line = 64;
    const std::uintptr_t offset = (line - reinterpret_cast<std::uintptr_t>(p) % line) % line;
    return p + offset / sizeof(T);
}

// No speed a row has on the way through its far kicks is above this: the
// start velocity's length plus the sum of the kick sizes. A kick term's
// length is its size |a| to within a few float roundings (ux * cosE is dx / d
// whatever cosE's rounding), and each of at most 800 kicks rounds the
// velocity by 2^-24 at most, all well inside the margin of 2^-10.
float ownSpeedBound(float vx, float vy, float vz, double kickSum) {
    const double start = std::sqrt(double(vx) * vx + double(vy) * vy + double(vz) * vz);
    return float((start + kickSum) * (1 + 0x1p-10));
}

}  // namespace

bool vectorPathAvailable(VectorPath path) {
    switch (path) {
        case VectorPath::portable: return true;
        case VectorPath::avx2: return __builtin_cpu_supports("avx2");
    }
    return false;
}

VectorPath widestVectorPath() {
    return vectorPathAvailable(VectorPath::avx2) ? VectorPath::avx2 : VectorPath::portable;
}

const char* vectorPathName(VectorPath path) {
    return path == VectorPath::avx2 ? "avx2" : "portable";
}

struct FastGravityState {
    fast::Tables t;
    int rowCapacity = 0;
    static constexpr int lineSlack = 16;  // spare entries to start the row arrays on a 64-byte line
    int tileCapacity = 0;
    std::vector<int> body;
    std::vector<float> rowFloats;
    std::vector<double> rowDoubles;
    std::vector<float> suffixSpeed;  // largest |speed| of the rows from k on, at the start
    std::vector<float> nearestParts;  // per thread: smallest d of each row among its pairs
    std::unique_ptr<fast::TileTerms[]> terms;  // per thread

    // The tiles in the order they are taken: by time A + B, then by A.
    std::vector<int> tileA, tileB;
    int tileCount = 0;

    VectorPath path = VectorPath::portable;
    int threads = 1;          // workers + the calling thread
    int working = 1;          // threads on the current step
    int touching[maxThreads] = {};
    // A step starts when `generation` moves on (the workers stop instead
    // when `stop` is set) and ends when no worker is left `unfinished`.
    bool stop = false;
    std::atomic<unsigned> generation{0};
    std::atomic<int> unfinished{0};
    // The next tile to take, and per block of rows how many column blocks
    // have kicked it. Tile (A, B) waits until block A has had B of them and
    // block B has had A; the tiles it waits for come earlier in the order.
    std::atomic<int> nextTile{0};
    std::unique_ptr<std::atomic<int>[]> blocksDone;
    std::vector<std::thread> workers;

    FastGravityState(int threadCount, VectorPath p) : path(p), threads(threadCount) {
        terms = std::make_unique<fast::TileTerms[]>(std::size_t(threadCount));
    }

    ~FastGravityState() {
        if (workers.empty()) return;
        stop = true;
        generation.fetch_add(1, std::memory_order_release);
        generation.notify_all();
        for (std::thread& w : workers) w.join();
    }

    void reserve(int columns) {
        if (columns > rowCapacity) {
            // Whole blocks, each a 64-byte cache line of floats: threads
            // kicking neighbouring blocks never write to the same line.
            const int blocks = (columns + fast::blockRows - 1) / fast::blockRows;
            rowCapacity = blocks * fast::blockRows;
            body.assign(std::size_t(rowCapacity), 0);
            rowFloats.assign(std::size_t(rowCapacity) * 8 + lineSlack, 0.f);
            rowDoubles.assign(std::size_t(rowCapacity) * 5 + lineSlack, 0.0);
            suffixSpeed.assign(std::size_t(rowCapacity) + 1, 0.f);
            nearestParts.assign(std::size_t(rowCapacity) * maxThreads, 0.f);
            tileCapacity = blocks * (blocks + 1) / 2;
            tileA.assign(std::size_t(tileCapacity), 0);
            tileB.assign(std::size_t(tileCapacity), 0);
            blocksDone = std::make_unique<std::atomic<int>[]>(std::size_t(blocks));
        }
        float* row = alignedToCacheLine(rowFloats.data());
        for (float** field : {&t.x, &t.y, &t.z, &t.radius, &t.newVx, &t.newVy, &t.newVz, &t.nearest}) {
            *field = row;
            row += rowCapacity;
        }
        double* wide = alignedToCacheLine(rowDoubles.data());
        for (double** field : {&t.pull, &t.xWide, &t.yWide, &t.zWide, &t.kickSum}) {
            *field = wide;
            wide += rowCapacity;
        }
        t.body = body.data();
    }

    // Lists the tiles of t.blocks blocks in the order they are taken, all
    // but those whose two blocks both lie before firstBlock (rows already
    // done): blocks before it start as if their column blocks before it
    // were done.
    void orderTiles(int firstBlock) {
        const int blocks = t.blocks;
        tileCount = 0;
        for (int time = 0; time <= 2 * blocks - 2; ++time) {
            for (int a = std::max(0, time - blocks + 1); 2 * a <= time; ++a) {
                if (time - a < firstBlock) continue;
                tileA[std::size_t(tileCount)] = a;
                tileB[std::size_t(tileCount)] = time - a;
                ++tileCount;
            }
        }
        for (int block = 0; block < blocks; ++block) {
            blocksDone[std::size_t(block)].store(block < firstBlock ? firstBlock : 0, std::memory_order_relaxed);
        }
    }

    float* nearestPart(int self) { return nearestParts.data() + std::size_t(self) * std::size_t(rowCapacity); }

    // Thread `self` of `working`: takes tiles in order, each once both its
    // blocks of rows have had every column block before.
    void work(int self) {
        int first = INT_MAX;
        float* nearest = nearestPart(self);
        std::fill(nearest, nearest + t.columns, std::numeric_limits<float>::infinity());
        fast::TileTerms& scratch = terms[std::size_t(self)];
        for (;;) {
            const int k = nextTile.fetch_add(1, std::memory_order_relaxed);
            if (k >= tileCount) break;
            const int a = tileA[std::size_t(k)], b = tileB[std::size_t(k)];
            std::atomic<int>& doneA = blocksDone[std::size_t(a)];
            std::atomic<int>& doneB = blocksDone[std::size_t(b)];
            auto ready = [&] {
                return doneA.load(std::memory_order_acquire) == b && doneB.load(std::memory_order_acquire) == a;
            };
            for (int spins = 1; !ready(); ++spins) {
                if (spins % 64 == 0) std::this_thread::yield();
            }
            first = std::min(first, path == VectorPath::avx2 ? fast::tileAvx2(t, a, b, nearest, scratch)
                                                             : fast::tilePortable(t, a, b, nearest, scratch));
            doneB.store(a + 1, std::memory_order_release);
            doneA.store(b + 1, std::memory_order_release);
        }
        touching[self] = first;
    }

    void startWorkers() {
        for (int self = 1; self < threads; ++self) {
            workers.emplace_back([this, self] {
                for (unsigned seen = 0;;) {
                    seen = awaitChange(generation, seen);
                    if (stop) return;
                    work(self);
                    if (unfinished.fetch_sub(1, std::memory_order_acq_rel) == 1) unfinished.notify_one();
                }
            });
        }
    }

    // Loads the rows: the present bodies of b in table order, padded to
    // whole groups.
    void loadRows(const Bodies& b, const Physics& p) {
        const int n = usedEntries(b);
        int m = 0;
        for (int i = 1; i <= n; ++i) m += b.active[i] != 0;
        const int groups = (m + fast::lanes - 1) / fast::lanes;
        reserve(std::max(fast::lanes, fast::lanes * groups));
        t.m = m;
        t.groups = groups;
        t.columns = fast::lanes * groups;
        t.blocks = (groups + fast::blockGroups - 1) / fast::blockGroups;
        const double f = p.timeStep;
        t.passFactor = double(p.G) * f * f;
        t.negativeZero = false;
        t.signedPull = false;
        for (int i = 1, r = 0; i <= n; ++i) {
            if (b.active[i] == 0) continue;
            for (const float position : {b.x[i], b.y[i], b.z[i]}) {
                if (position == 0 && std::signbit(position)) t.negativeZero = true;
            }
            t.body[r] = i;
            t.x[r] = b.x[i];
            t.y[r] = b.y[i];
            t.z[r] = b.z[i];
            t.radius[r] = b.radius[i];
            t.newVx[r] = b.vx[i];
            t.newVy[r] = b.vy[i];
            t.newVz[r] = b.vz[i];
            t.xWide[r] = b.x[i];
            t.yWide[r] = b.y[i];
            t.zWide[r] = b.z[i];
            t.kickSum[r] = 0;
            t.pull[r] = t.passFactor * b.mass[i];
            if (std::signbit(t.pull[r])) t.signedPull = true;
            ++r;
        }
        for (int r = m; r < t.columns; ++r) {
            t.body[r] = 0;
            // Padding: its distances are NaN, which no test takes for near or touching.
            t.x[r] = t.y[r] = t.z[r] = std::numeric_limits<float>::quiet_NaN();
            t.xWide[r] = t.yWide[r] = t.zWide[r] = std::numeric_limits<double>::quiet_NaN();
            t.radius[r] = 0;
            t.newVx[r] = t.newVy[r] = t.newVz[r] = 0;
            t.kickSum[r] = 0;
            t.pull[r] = 0;
        }
    }

    // Works every tile with rows from firstRow on; returns the first
    // touching row (a pair of two rows before firstRow may not be seen).
    int compute(bool threaded, int firstRow) {
        working = threaded ? threads : 1;
        orderTiles(firstRow / fast::blockRows);
        nextTile.store(0, std::memory_order_relaxed);
        if (threaded) {
            if (workers.empty()) startWorkers();
            unfinished.store(threads - 1, std::memory_order_relaxed);
            generation.fetch_add(1, std::memory_order_release);
            generation.notify_all();
        }
        work(0);
        if (threaded) {
            for (int left = unfinished.load(std::memory_order_acquire); left != 0;) left = awaitChange(unfinished, left);
        }
        for (int r = 0; r < t.m; ++r) {
            float nearest = nearestPart(0)[r];
            for (int self = 1; self < working; ++self) nearest = std::min(nearest, nearestPart(self)[r]);
            t.nearest[r] = nearest;
        }
        return *std::min_element(touching, touching + working);
    }
};

GravityEngine::GravityEngine() : threads_(defaultThreads()), path_(widestVectorPath()) {}

GravityEngine::GravityEngine(const GravityEngine& other)
    : threads_(other.threads_),
      path_(other.path_),
      threadingThreshold_(other.threadingThreshold_),
      plain_(other.plain_) {}

GravityEngine& GravityEngine::operator=(const GravityEngine& other) {
    if (this != &other) {
        state_.reset();
        threads_ = other.threads_;
        path_ = other.path_;
        threadingThreshold_ = other.threadingThreshold_;
        plain_ = other.plain_;
    }
    return *this;
}

GravityEngine::~GravityEngine() = default;

void GravityEngine::setThreads(int threads) {
    threads = std::clamp(threads, 1, maxThreads);
    if (threads == threads_) return;
    threads_ = threads;
    state_.reset();
}

bool GravityEngine::setVectorPath(VectorPath path) {
    if (!vectorPathAvailable(path)) return false;
    path_ = path;
    if (state_) state_->path = path;
    return true;
}

int GravityEngine::step(Bodies& b, const Physics& p, const std::string& scenarioTitle,
                        std::string& windowTitle) {
    if (plain_) {
        lastStep_ = {};
        return gravityStep(b, p, scenarioTitle, windowTitle);
    }
    if (display::roundHalfEven(p.timeStep) < 1) {
        lastStep_ = {};
        positionPass(b);
        return 0;
    }
    if (!state_) state_ = std::make_unique<FastGravityState>(threads_, path_);
    FastGravityState& s = *state_;
    fast::Tables& t = s.t;

    int done = 0;  // the last body done
    // The rows' far kicks, nearest distances and first touching pair, from
    // the table as it stands: at the start of the step, and again after a
    // row whose mergers changed masses, sizes and who is present.
    const auto measure = [&] {
        s.loadRows(b, p);
        int firstRow = 0;
        while (firstRow < t.m && t.body[firstRow] <= done) ++firstRow;
        return s.compute(threads_ > 1 && t.m >= threadingThreshold_, firstRow);
    };
    int firstTouching = measure();

    // In row order: take a row's far kicks where no partner can have been
    // close, else do the row the plain way. A pair is close when the summed
    // speeds e reach d. e grows with either speed, so e computed from the
    // largest speed the row can have met (the partners' speeds as of their
    // own row, and for the row's own speed after any of its kicks,
    // ownSpeedBound()) bounds every e of the row. From the first touching
    // pair's smaller row on, rows are done plainly; after a row that merged,
    // the rows after it are measured again from the changed table. (Where a
    // merger made a done body touch a later one, the first touching row is
    // already done, and the rows stay plain until the next merger.)
    int mergers = 0;
    lastStep_ = {t.m, 0};
    float donePartners = 0;  // largest |speed| of the rows already done
    int measures = 0;        // measurements after mergers in this step
    constexpr int maxMeasures = 4;
    for (bool measured = true; measured;) {
        measured = false;
        const int m = t.m;
        s.suffixSpeed[std::size_t(m)] = 0;
        for (int r = m - 1; r >= 0; --r) {
            s.suffixSpeed[std::size_t(r)] = larger(s.suffixSpeed[std::size_t(r) + 1], std::fabs(b.speed[t.body[r]]));
        }
        for (int r = 0; r < m; ++r) {
            const int i = t.body[r];
            if (i <= done) continue;
            const float own = larger(std::fabs(b.speed[i]), ownSpeedBound(b.vx[i], b.vy[i], b.vz[i], t.kickSum[r]));
            const float partners = larger(donePartners, s.suffixSpeed[std::size_t(r) + 1]);
            const float e = float(std::sqrt(double(partners) * partners + double(own) * own));
            const bool far = e < t.nearest[r];
            done = i;
            if (r < firstTouching && far && std::isfinite(t.newVx[r]) && std::isfinite(t.newVy[r]) &&
                std::isfinite(t.newVz[r])) {
                b.vx[i] = t.newVx[r];
                b.vy[i] = t.newVy[r];
                b.vz[i] = t.newVz[r];
                if (m > 1) {
                    const double vx = t.newVx[r], vy = t.newVy[r], vz = t.newVz[r];
                    b.speed[i] = float(std::sqrt(vx * vx + vy * vy + vz * vz));
                }
            } else {
                const int rowMergers = gravityRow(b, p, i, scenarioTitle, windowTitle);
                mergers += rowMergers;
                ++lastStep_.plainRows;
                // A row merges only at or after the first touching pair, so
                // without a new measurement the rows after it stay plain.
                // Measuring costs about as much as a whole fast step: worth
                // it while many rows are left, and at most a few times a step.
                measured = rowMergers > 0 && 8 * (m - 1 - r) >= m && ++measures <= maxMeasures;
            }
            donePartners = larger(donePartners, std::fabs(b.speed[i]));
            if (measured) {
                firstTouching = measure();
                break;
            }
        }
    }
    positionPass(b);
    return mergers;
}

}  // namespace sim
