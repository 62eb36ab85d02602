// Writer and reader of scenario files.
#include "io/scenario_file.h"

#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "display/number_format.h"
#include "io/token_reader.h"

namespace io {

namespace {

constexpr std::size_t zoneWidth = 14;

// Appends a number and pads the line with blanks to the next print zone.
void appendPadded(std::string& line, const std::string& number) {
    line += number;
    line.append(zoneWidth - line.size() % zoneWidth, ' ');
}

// A name that would not read back as it stands (empty, with a comma, with a
// leading blank or tab) is written in double quotes. A quoted text cannot
// hold a double quote, and no name the system makes has both.
std::string nameField(const std::string& name) {
    const bool unsafe = name.empty() || name.find(',') != std::string::npos || name[0] == ' ' ||
                        name[0] == '\t';
    if (unsafe && name.find('"') == std::string::npos) return '"' + name + '"';
    return name;
}

std::string errnoText() { return std::strerror(errno); }

// The values of a body line, in the order of the file.
struct BodyRecord {
    std::array<float, 11> values{};  // x y z vx vy vz diameter radius color mass active
    std::string name;
};

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

std::string scenarioText(const World& w, int digits) {
    const auto& o = w.observer;
    const auto& t = w.target;
    const sim::Bodies& b = w.bodies;
    auto number = [digits](float v) { return display::printedNumber(v, digits); };

    const float header[17] = {w.clock.stepCount, o.VAuge, o.wi_x, o.wi_y, o.viewRoll,
                              o.XAuge, o.YAuge, o.ZAuge, t.Ziel, w.physics.G,
                              w.physics.timeStep, o.XDREH, o.YDREH, t.targetSwitch,
                              t.visorSwitch, w.reservedNumber, 0};
    std::string text, line;
    for (int k = 0; k < 16; ++k) appendPadded(line, number(header[k]));
    appendPadded(line, display::printedNumber(b.liveCount));
    line += number(b.bodyCount);
    text += line;
    text += '\n';

    const int n = sim::usedEntries(b);
    for (int i = 1; i <= n; ++i) {
        line.clear();
        for (float v : {b.x[i], b.y[i], b.z[i], b.vx[i], b.vy[i], b.vz[i], b.diameter[i],
                        b.radius[i], b.color[i], b.mass[i], b.active[i]}) {
            appendPadded(line, number(v));
        }
        line += nameField(b.name[i]);
        text += line;
        text += '\n';
    }
    return text;
}

FileResult saveScenario(const World& w, const std::string& path, int digits) {
    const std::string text = scenarioText(w, digits);
    const std::string temporary = path + ".tmp" + std::to_string(getpid());
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return {false, "cannot create " + temporary + ": " + errnoText()};
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t r = ::write(fd, text.data() + written, text.size() - written);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) {
            const std::string reason = "cannot write " + path + ": " + errnoText();
            ::close(fd);
            ::unlink(temporary.c_str());
            return {false, reason};
        }
        written += std::size_t(r);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        const std::string reason = "cannot write " + path + ": " + errnoText();
        ::unlink(temporary.c_str());
        return {false, reason};
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string reason = "cannot replace " + path + ": " + errnoText();
        ::unlink(temporary.c_str());
        return {false, reason};
    }
    return {};
}

FileResult loadScenario(World& w, const std::string& path) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) return {false, "cannot open " + path + ": " + errnoText()};
    struct stat info {};
    if (::fstat(fileno(file.get()), &info) != 0 || !S_ISREG(info.st_mode)) {
        return {false, path + " is not a regular file"};
    }

    TokenReader reader(file.get());
    std::array<float, 18> header{};
    for (float& value : header) value = float(reader.readNumber());
    const float bodyCount = header[17];
    const int n = display::roundHalfEven(bodyCount);
    if (!std::isfinite(bodyCount) || n < 1 || n > sim::maxBodies) {
        return {false, path + ": the header announces " + display::formatNumber(bodyCount) +
                           " bodies; a scenario holds 1 to 800"};
    }
    std::vector<BodyRecord> records(std::size_t(n) + 1);
    for (int i = 1; i <= n; ++i) {
        for (float& value : records[i].values) value = float(reader.readNumber());
        records[i].name = reader.readText();
    }
    if (reader.failed()) return {false, "cannot read " + path};

    // The file is sound: commit it.
    auto& o = w.observer;
    auto& t = w.target;
    w.clock.stepCount = header[0];
    o.VAuge = header[1];
    o.wi_x = header[2];
    o.wi_y = header[3];
    o.viewRoll = header[4];
    o.XAuge = header[5];
    o.YAuge = header[6];
    o.ZAuge = header[7];
    t.Ziel = header[8];
    w.physics.G = header[9];
    w.physics.timeStep = header[10];
    o.XDREH = header[11];
    o.YDREH = header[12];
    t.targetSwitch = header[13];
    t.visorSwitch = header[14];
    w.reservedNumber = header[15];
    sim::Bodies& b = w.bodies;
    b.liveCount = display::roundHalfEven(header[16]);
    b.bodyCount = bodyCount;
    for (int i = 1; i <= n; ++i) {
        const auto& v = records[i].values;
        b.x[i] = v[0];
        b.y[i] = v[1];
        b.z[i] = v[2];
        b.vx[i] = v[3];
        b.vy[i] = v[4];
        b.vz[i] = v[5];
        b.diameter[i] = v[6];
        b.radius[i] = v[7];
        b.color[i] = v[8];
        b.mass[i] = v[9];
        b.active[i] = v[10];
        b.name[i] = std::move(records[i].name);
    }
    sim::clearDerivedFields(b);
    return {};
}

}  // namespace io
