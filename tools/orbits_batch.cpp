// orbits-batch: runs the simulation without a window, for tests, benchmarks
// and batch runs.
//
//   orbits-batch (--scenario N | --load FILE) [--bodies N] [--max-mass EARTHS]
//                [--seed S] [--steps K] [--save FILE [--exact]] [--render FILE.png]
//                [--bench] [--stats] [--gravity fast|plain|both]
//
// Prints "title: " and the window title the program would show after the
// run. Bad arguments or a file that cannot be loaded: one line on stderr and
// exit status 2. --help and --version print to stdout and exit 0.
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <system_error>

#include <CLI/CLI.hpp>

#include "app/simulation.h"
#include "display/png_file.h"
#include "display/screen.h"
#include "io/scenario_file.h"
#include "orbits_version.h"
#include "scenarios/scenario_list.h"
#include "sim/stats.h"
#include "world.h"

namespace {

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
    // The gravity step: the fast one (as the program), the plain reference,
    // or both from the same start, compared.
    std::string gravity = "fast";
};

// Numbers are read in decimal only (no octal "010", no hex), the whole text.
template <typename T>
T parseWhole(const std::string& flag, const std::string& text, T low, T high) {
    T value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high) {
        throw CLI::ValidationError(flag + " takes a whole number from " + std::to_string(low) +
                                   " to " + std::to_string(high) + ", not '" + text + "'");
    }
    return value;
}

// Earth masses whose swarm stays finite: the drawn masses neither vanish
// nor overflow as floats in kg.
double parseEarthMasses(const std::string& flag, const std::string& text) {
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || !(value >= 1e-20) || value > 1e12) {
        throw CLI::ValidationError(flag + " takes a number of Earth masses from 1e-20 to 1e12, not '" +
                                   text + "'");
    }
    return value;
}

// An option with a value: reads the value's text into target or throws.
CLI::Option* option(CLI::App& app, const std::string& flag, const std::string& valueName,
                    std::function<void(const std::string&)> read, const std::string& help) {
    return app.add_option_function<std::string>(flag, std::move(read), help)->type_name(valueName);
}

// A whole number from low to high into target (a number or an optional one).
template <typename T, typename Target>
void wholeOption(CLI::App& app, const std::string& flag, Target& target, T low, T high,
                 const std::string& valueName, const std::string& help) {
    option(app, flag, valueName, [&target, flag, low, high](const std::string& text) {
        target = parseWhole<T>(flag, text, low, high);
    }, help);
}

// A number of Earth masses from 1e-20 to 1e12 into target.
void earthMassOption(CLI::App& app, const std::string& flag, double& target, const std::string& valueName,
                     const std::string& help) {
    option(app, flag, valueName,
           [&target, flag](const std::string& text) { target = parseEarthMasses(flag, text); }, help);
}

// A file name into target.
void fileOption(CLI::App& app, const std::string& flag, std::optional<std::string>& target,
                const std::string& valueName, const std::string& help) {
    option(app, flag, valueName, [&target](const std::string& text) { target = text; }, help);
}

// The command line, one line per option; a repeated option takes its last value.
void describeOptions(CLI::App& app, Options& o) {
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    wholeOption(app, "--scenario", o.scenario, 1, 10, "N", "entry N of the scenario list (7: solar system)");
    fileOption(app, "--load", o.load, "FILE", "load a scenario file instead");
    wholeOption(app, "--bodies", o.bodies, 1, 800, "N", "bodies of a generated swarm (default 400)");
    earthMassOption(app, "--max-mass", o.maxMass, "EARTHS", "largest swarm mass in Earth masses (default 1)");
    wholeOption(app, "--seed", o.seed, 0ULL, ~0ULL, "S", "seed of generated swarms (default: the clock)");
    wholeOption(app, "--steps", o.steps, 0LL, 1'000'000'000'000LL, "K", "run K simulation steps");
    fileOption(app, "--save", o.save, "FILE", "write the final state as a scenario file");
    app.add_flag("--exact", o.exact, "with --save: nine significant digits, read back bit for bit");
    fileOption(app, "--render", o.render, "FILE.png", "write the final picture as a 1024x768 PNG");
    app.add_flag("--bench", o.bench, "print steps and pair interactions per second");
    app.add_flag("--stats", o.stats, "print mass, momentum, energy and centre of mass before and after");
    app.add_option("--gravity", o.gravity, "gravity step: fast (default), plain, or both compared")
        ->check(CLI::IsMember({"fast", "plain", "both"}))->type_name("fast|plain|both");
}

// Rules between options that the parser does not know.
void checkCombination(const Options& o) {
    if (o.scenario.has_value() == o.load.has_value()) {
        throw CLI::ValidationError("give exactly one of --scenario N and --load FILE");
    }
    if (o.exact && !o.save) throw CLI::ValidationError("--exact goes with --save FILE");
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

// Steps a world with its own headless screen; returns the seconds taken.
double runSteps(World& w, long long steps, bool plainStep) {
    display::Screen screen;
    app::enterSimulation(w, screen);
    w.gravity.usePlainStep(plainStep);
    const auto start = std::chrono::steady_clock::now();
    for (long long s = 0; s < steps; ++s) app::simulationStep(w, screen);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Every float of the body table, the live count and the title, bit for bit.
bool sameResult(const World& a, const World& b) {
    using Column = sim::Bodies::Column<float> sim::Bodies::*;
    for (Column c : {&sim::Bodies::x, &sim::Bodies::y, &sim::Bodies::z, &sim::Bodies::vx, &sim::Bodies::vy,
                     &sim::Bodies::vz, &sim::Bodies::mass, &sim::Bodies::radius, &sim::Bodies::diameter,
                     &sim::Bodies::color, &sim::Bodies::active, &sim::Bodies::speed}) {
        if (std::memcmp((a.bodies.*c).data(), (b.bodies.*c).data(), sizeof(float) * (a.bodies.*c).size()) != 0) {
            return false;
        }
    }
    return a.bodies.liveCount == b.bodies.liveCount && a.windowTitle == b.windowTitle;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    CLI::App app(
        "orbits-batch runs the orbits gravity simulation without a window, for tests,\n"
        "benchmarks and batch runs, and prints \"title: \" and the window title the\n"
        "program would show. Give exactly one of --scenario N and --load FILE.\n",
        "orbits-batch");
    const std::string version = std::string("orbits-batch ") + orbitsVersion;
    const CLI::Option* versionFlag = app.set_version_flag("--version", version, "print the version and exit");
    const CLI::Option* helpFlag = app.set_help_flag("-h,--help", "print this help and exit");
    app.footer(
        "Exit status: 0 on success, 2 for a bad argument or a file that cannot be\n"
        "loaded or written. See orbits-batch(1) for the scenario file format.");
    describeOptions(app, options);
    try {
        app.parse(argc, argv);
        checkCombination(options);
    } catch (const CLI::ParseError& e) {
        // --help and --version answer whatever else the command line holds.
        if (helpFlag->count() > 0) return app.exit(CLI::CallForHelp());
        if (versionFlag->count() > 0) return app.exit(CLI::CallForVersion(version, 0));
        std::fprintf(stderr, "orbits-batch: %s (see orbits-batch --help)\n", e.what());
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

    // --gravity both: the plain step from the same start first, for its rate
    // and to check that the fast step ends with the same bits.
    std::unique_ptr<World> plain;
    double plainSeconds = 0;
    if (options.gravity == "both") {
        plain = std::make_unique<World>(w);
        plainSeconds = runSteps(*plain, options.steps, true);
    }
    w.gravity.usePlainStep(options.gravity == "plain");
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
    if (plain) {
        const double rate = plainSeconds > 0 ? double(options.steps) / plainSeconds : 0;
        std::printf("plain steps per second: %.1f\n", rate);
        std::printf("fast / plain: %.1f\n", seconds > 0 ? plainSeconds / seconds : 0);
        std::printf("same result: %s\n", sameResult(*plain, w) ? "yes" : "NO");
    }
    return 0;
}
