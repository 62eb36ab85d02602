// The fast gravity step: the same bits as the plain step of sim/gravity.h,
// many pairs at once and on several cores.
//
// Positions do not move during the velocity pass, so everything a pair needs
// besides the speeds (distance, elevation, direction, pull) can be computed
// before the kicks, each unordered pair once, and the far kick terms with
// it. The rows (attracted bodies) are cut into blocks of 16; the pairs of
// two blocks form a tile, whose terms kick the rows of both blocks at once
// from a small block in the cache, four rows side by side in vector lanes,
// each row in index order of its partners and with the plain step's
// roundings, assuming every pair is far. Tiles are taken in order of
// A + B, tile (A, B) once the tiles before it on blocks A and B are done,
// so each row meets its partner blocks in order whichever thread works
// them. The rows are then checked in index order against the exact speeds:
// a row whose partners could have come close by the summed speeds is done
// again the plain way, and so is the first row that touches another body.
// Its merger changes masses, sizes and the present bodies, so the rows after
// it are measured again from the changed table, or, late in the step or
// after several mergers, done the plain way.
#pragma once
#include <memory>
#include <string>

#include "sim/bodies.h"

namespace sim {

// The arithmetic kernels: portable C++ on every machine, AVX2 where the
// processor has it (checked at run time). Every path gives the same bits.
enum class VectorPath { portable, avx2 };

// Whether this processor can run the path.
bool vectorPathAvailable(VectorPath path);

// The widest path this processor can run.
VectorPath widestVectorPath();

const char* vectorPathName(VectorPath path);

struct FastGravityState;

// Owns the step's scratch tables and its worker threads. The scratch is
// allocated and the workers started on the first step that needs them, never
// per step; copies start afresh with the same settings.
class GravityEngine {
public:
    GravityEngine();
    GravityEngine(const GravityEngine& other);
    GravityEngine& operator=(const GravityEngine& other);
    ~GravityEngine();

    // Threads working on one step, the calling thread included (1..8).
    void setThreads(int threads);
    int threads() const { return threads_; }

    // Forces a kernel path; false (and no change) when this processor lacks it.
    bool setVectorPath(VectorPath path);
    VectorPath vectorPath() const { return path_; }

    // Makes step() run the plain step instead, for comparison.
    void usePlainStep(bool plain) { plain_ = plain; }

    // Fewer present bodies than this are done on the calling thread alone.
    void setThreadingThreshold(int bodies) { threadingThreshold_ = bodies; }

    // How the last step went: present rows, and those done the plain way
    // (a partner possibly close, a non-finite kick, a merger, or late in a
    // step after a merger).
    struct StepCounts {
        int rows = 0;
        int plainRows = 0;
    };
    const StepCounts& lastStep() const { return lastStep_; }

    // One step, with the same effects and result as sim::gravityStep.
    int step(Bodies& b, const Physics& p, const std::string& scenarioTitle, std::string& windowTitle);

private:
    int threads_;
    VectorPath path_;
    int threadingThreshold_ = 96;
    bool plain_ = false;
    StepCounts lastStep_;
    std::unique_ptr<FastGravityState> state_;
};

// The simulation's gravity step: the fast step with the engine's settings.
inline int fastGravityStep(GravityEngine& engine, Bodies& b, const Physics& p,
                           const std::string& scenarioTitle, std::string& windowTitle) {
    return engine.step(b, p, scenarioTitle, windowTitle);
}

}  // namespace sim
