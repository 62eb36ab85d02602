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

// The first 16 header fields in file order (World or const World); the live
// and body counts that end the header are written and read apart.
template <typename W>
auto headerFields(W& w) {
    auto& o = w.observer;
    auto& t = w.target;
    return std::array{&w.clock.stepCount, &o.VAuge, &o.wi_x, &o.wi_y, &o.viewRoll, &o.XAuge,
                      &o.YAuge, &o.ZAuge, &t.Ziel, &w.physics.G, &w.physics.timeStep, &o.XDREH,
                      &o.YDREH, &t.targetSwitch, &t.visorSwitch, &w.reservedNumber};
}

// The numbers of a body line in file order; the name follows them.
constexpr std::array<sim::Bodies::Column<float> sim::Bodies::*, 11> bodyFields = {
    &sim::Bodies::x,        &sim::Bodies::y,      &sim::Bodies::z,     &sim::Bodies::vx,
    &sim::Bodies::vy,       &sim::Bodies::vz,     &sim::Bodies::diameter, &sim::Bodies::radius,
    &sim::Bodies::color,    &sim::Bodies::mass,   &sim::Bodies::active,
};

// The values of a body line, in the order of the file.
struct BodyRecord {
    std::array<float, bodyFields.size()> values{};
    std::string name;
};

// Writes all of text to fd; false (with errno set) when it cannot.
bool writeAll(int fd, const std::string& text) {
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t r = ::write(fd, text.data() + written, text.size() - written);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return false;
        written += std::size_t(r);
    }
    return true;
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

std::string scenarioText(const World& w, int digits) {
    const sim::Bodies& b = w.bodies;
    auto number = [digits](float v) { return display::printedNumber(v, digits); };

    std::string text, line;
    for (const float* field : headerFields(w)) appendPadded(line, number(*field));
    appendPadded(line, display::printedNumber(b.liveCount));
    line += number(b.bodyCount);
    text += line;
    text += '\n';

    const int n = sim::usedEntries(b);
    for (int i = 1; i <= n; ++i) {
        line.clear();
        for (auto field : bodyFields) appendPadded(line, number((b.*field)[i]));
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
    const bool written = writeAll(fd, text) && ::fsync(fd) == 0;
    const std::string writeError = errnoText();
    if (::close(fd) != 0 || !written) {
        ::unlink(temporary.c_str());
        return {false, "cannot write " + path + ": " + (written ? errnoText() : writeError)};
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
    const auto fields = headerFields(w);
    for (std::size_t k = 0; k < fields.size(); ++k) *fields[k] = header[k];
    sim::Bodies& b = w.bodies;
    b.liveCount = display::roundHalfEven(header[16]);
    b.bodyCount = bodyCount;
    for (int i = 1; i <= n; ++i) {
        for (std::size_t f = 0; f < bodyFields.size(); ++f) (b.*bodyFields[f])[i] = records[i].values[f];
        b.name[i] = std::move(records[i].name);
    }
    sim::clearDerivedFields(b);
    return {};
}

}  // namespace io
