// orbits-batch: runs the simulation without a window, for tests, benchmarks
// and batch runs.
//
//   orbits-batch (--scenario N | --load FILE) [--bodies N] [--max-mass EARTHS]
//                [--seed S] [--steps K] [--save FILE [--exact]] [--render FILE.png]
//                [--bench] [--stats]
//
// Prints "title: " and the window title the program would show after the
// run. Bad arguments or a file that cannot be loaded: one line on stderr and
// exit status 2.
#include <charconv>
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "app/simulation.h"
#include "display/png_file.h"
#include "display/screen.h"
#include "io/scenario_file.h"
#include "scenarios/scenario_list.h"
#include "sim/stats.h"
#include "world.h"

namespace {

constexpr const char* usage =
    "usage: orbits-batch (--scenario N | --load FILE) [--bodies N] [--max-mass EARTHS]\n"
    "                    [--seed S] [--steps K] [--save FILE [--exact]] [--render FILE.png]\n"
    "                    [--bench] [--stats]";

struct Options {
    std::optional<int> scenario;
    std::optional<std::string> load;
    int bodies = 400;
    double maxMass = 1;
    std::optional<unsigned long long> seed;
    long long steps = 0;
    std::optional<std::string> save;
    bool exact = false;
    std::optional<std::string> render;
    bool bench = false;
    bool stats = false;
};

struct UsageError {
    std::string message;
};

template <typename T>
T parseWhole(std::string_view flag, std::string_view text, T low, T high) {
    T value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high) {
        throw UsageError{std::string(flag) + " takes a whole number from " + std::to_string(low) +
                         " to " + std::to_string(high) + ", not '" + std::string(text) + "'"};
    }
    return value;
}

// Earth masses whose swarm stays finite: the drawn masses neither vanish
// nor overflow as floats in kg.
double parseEarthMasses(std::string_view flag, std::string_view text) {
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || !(value >= 1e-20) || value > 1e12) {
        throw UsageError{std::string(flag) + " takes a number of Earth masses from 1e-20 to 1e12, not '" +
                         std::string(text) + "'"};
    }
    return value;
}

Options parseOptions(int argc, char** argv) {
    Options o;
    for (int k = 1; k < argc; ++k) {
        const std::string_view flag = argv[k];
        auto value = [&]() -> std::string_view {
            if (k + 1 >= argc) throw UsageError{std::string(flag) + " needs a value"};
            return argv[++k];
        };
        if (flag == "--scenario") {
            o.scenario = parseWhole<int>(flag, value(), 1, 10);
        } else if (flag == "--load") {
            o.load = std::string(value());
        } else if (flag == "--bodies") {
            o.bodies = parseWhole<int>(flag, value(), 1, 800);
        } else if (flag == "--max-mass") {
            o.maxMass = parseEarthMasses(flag, value());
        } else if (flag == "--seed") {
            o.seed = parseWhole<unsigned long long>(flag, value(), 0, ~0ULL);
        } else if (flag == "--steps") {
            o.steps = parseWhole<long long>(flag, value(), 0, 1'000'000'000'000LL);
        } else if (flag == "--save") {
            o.save = std::string(value());
        } else if (flag == "--render") {
            o.render = std::string(value());
        } else if (flag == "--exact") {
            o.exact = true;
        } else if (flag == "--bench") {
            o.bench = true;
        } else if (flag == "--stats") {
            o.stats = true;
        } else {
            throw UsageError{"unknown argument '" + std::string(flag) + "'"};
        }
    }
    if (o.scenario.has_value() == o.load.has_value()) {
        throw UsageError{"give exactly one of --scenario N and --load FILE"};
    }
    if (o.exact && !o.save) throw UsageError{"--exact goes with --save FILE"};
    return o;
}

// The file name the main menu would show as the scenario title.
std::string baseName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Sets up the scenario the options name; returns a reason when it cannot.
std::optional<std::string> startScenario(World& w, const Options& o) {
    if (o.load) {
        std::string warning;
        const io::FileResult r = io::loadScenario(w, *o.load, &warning);
        if (!r.ok) return r.reason;
        if (!warning.empty()) std::fprintf(stderr, "orbits-batch: %s\n", warning.c_str());
        w.scenarioTitle = baseName(*o.load);
        return std::nullopt;
    }
    w.bodies.bodyCount = float(o.bodies);
    w.maxMass = float(o.maxMass * double(w.physics.earthMass));
    scenarios::startListEntry(w, *o.scenario, o.seed);
    return std::nullopt;
}

// One line of --stats.
void printStats(const char* label, const sim::Stats& s) {
    std::printf("%s live %d, mass %.9g kg, momentum (%.9g, %.9g, %.9g) kg m/s, energy %.9g J, "
                "centre of mass (%.9g, %.9g, %.9g) m\n",
                label, s.live, s.mass, s.px, s.py, s.pz, s.energy, s.cx, s.cy, s.cz);
}

int activeBodies(const sim::Bodies& b) {
    int count = 0;
    for (int i = 1; i <= sim::usedEntries(b); ++i) count += b.active[i] != 0;
    return count;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    try {
        options = parseOptions(argc, argv);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "orbits-batch: %s\n%s\n", e.message.c_str(), usage);
        return 2;
    }

    auto world = std::make_unique<World>();
    World& w = *world;
    if (auto reason = startScenario(w, options)) {
        std::fprintf(stderr, "orbits-batch: %s\n", reason->c_str());
        return 2;
    }
    // The simulation's screen, without a window: it holds the title and the
    // frame of --render.
    display::Screen screen;
    app::enterSimulation(w, screen);
    const sim::Stats before = options.stats ? sim::systemStats(w.bodies, w.physics) : sim::Stats{};

    double pairs = 0;
    const auto start = std::chrono::steady_clock::now();
    for (long long s = 0; s < options.steps; ++s) {
        if (options.bench) {
            const double present = activeBodies(w.bodies);
            pairs += present * (present - 1);
        }
        app::simulationStep(w, screen);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    if (options.save) {
        const io::FileResult r =
            io::saveScenario(w, *options.save, options.exact ? io::exactDigits : io::normalDigits);
        if (!r.ok) {
            std::fprintf(stderr, "orbits-batch: %s\n", r.reason.c_str());
            return 2;
        }
    }
    if (options.render) {
        app::displayPass(w, screen);
        if (auto reason = display::writePng(screen, *options.render)) {
            std::fprintf(stderr, "orbits-batch: %s\n", reason->c_str());
            return 2;
        }
    }
    std::printf("title: %s\n", w.windowTitle.c_str());
    if (options.stats) {
        const sim::Stats after = sim::systemStats(w.bodies, w.physics);
        printStats("before:", before);
        printStats("after: ", after);
        std::printf("relative energy change: %.9g\n", sim::relativeChange(before.energy, after.energy));
    }
    if (options.bench) {
        const double rate = seconds > 0 ? double(options.steps) / seconds : 0;
        std::printf("steps: %lld in %.3f s\n", options.steps, seconds);
        std::printf("steps per second: %.1f\n", rate);
        std::printf("pair interactions per second: %.4g\n", seconds > 0 ? pairs / seconds : 0);
    }
    return 0;
}
