// Writer and reader of scenario files.
#include "io/scenario_file.h"

#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <utility>
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

// A file descriptor closed when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }
    void reset(int fd = -1) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }

private:
    int fd_;
};

// What a file that is not a regular one is, for the user.
std::string kindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a directory";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a regular file";
}

std::string directoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string baseOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a save writes: the target, or the file its symbolic links
// finally name. That file exists as a regular file or not at all.
struct SaveTarget {
    std::string path;
    bool exists = false;
    struct stat info {};
};

// Follows the links from path; a reason when the target cannot be saved to.
std::optional<std::string> resolveSaveTarget(const std::string& path, SaveTarget& target) {
    constexpr int maxLinks = 40;
    target.path = path;
    for (int links = 0;; ++links) {
        if (::lstat(target.path.c_str(), &target.info) != 0) {
            if (errno == ENOENT) return std::nullopt;
            return "cannot save to " + path + ": " + errnoText();
        }
        if (!S_ISLNK(target.info.st_mode)) break;
        if (links == maxLinks) return "cannot save to " + path + ": too many symbolic links";
        std::string link(std::size_t(target.info.st_size) + 256, '\0');
        const ssize_t length = ::readlink(target.path.c_str(), link.data(), link.size());
        if (length < 0 || std::size_t(length) == link.size()) {
            return "cannot save to " + path + ": cannot read the link " + target.path;
        }
        link.resize(std::size_t(length));
        target.path = link[0] == '/' ? link : directoryOf(target.path) + "/" + link;
    }
    if (!S_ISREG(target.info.st_mode)) {
        return "cannot save to " + path + ": " + target.path + " is " + kindOf(target.info.st_mode) +
               " and is left as it is";
    }
    target.exists = true;
    return std::nullopt;
}

// Fills a new file with text: the replaced file's owner (where allowed)
// and permissions, the text, on disk. A reason when it cannot.
std::optional<std::string> fillFile(int fd, const SaveTarget& target, const std::string& text) {
    if (target.exists) {
        // An owner change may clear set-id bits, so it comes first; only
        // the superuser may give a file away, and a save need not.
        [[maybe_unused]] const int ignored = ::fchown(fd, target.info.st_uid, target.info.st_gid);
        if (::fchmod(fd, target.info.st_mode & 07777) != 0) return errnoText();
    }
    if (!writeAll(fd, text) || ::fsync(fd) != 0) return errnoText();
    return std::nullopt;
}

// The name a new file takes for the instant before it is renamed over the
// target; attempt counts up past names that are taken.
std::string temporaryName(const std::string& base, int attempt) {
    std::string name = base;
    name += ".tmp";
    name += std::to_string(::getpid());
    if (attempt > 0) {
        name += '-';
        name += std::to_string(attempt);
    }
    return name;
}

constexpr int maxNameAttempts = 100;

enum class Written { Named, Unsupported, Failed };

// Writes the text into an unnamed file in the directory and only then
// gives it a temporary name, so a save killed while writing leaves nothing.
// The file stays open in fd, to be closed only after the rename, which
// keeps the time the name stands alone short. Unsupported where the file
// system or /proc do not allow it.
Written writeUnnamed(int directory, const SaveTarget& target, const std::string& text,
                     Descriptor& fd, std::string& temporary, std::string& reason) {
    fd.reset(::openat(directory, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
    if (fd.get() < 0) return Written::Unsupported;
    if (auto failure = fillFile(fd.get(), target, text)) {
        reason = *failure;
        return Written::Failed;
    }
    const std::string self = "/proc/self/fd/" + std::to_string(fd.get());
    const std::string base = baseOf(target.path);
    for (int attempt = 0; attempt < maxNameAttempts; ++attempt) {
        temporary = temporaryName(base, attempt);
        if (::linkat(AT_FDCWD, self.c_str(), directory, temporary.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            return Written::Named;
        }
        if (errno != EEXIST) break;
    }
    return Written::Unsupported;
}

// Writes the text into a new named file in the directory, removed again
// when writing fails.
Written writeNamed(int directory, const SaveTarget& target, const std::string& text,
                   std::string& temporary, std::string& reason) {
    const std::string base = baseOf(target.path);
    Descriptor fd;
    for (int attempt = 0; attempt < maxNameAttempts && fd.get() < 0; ++attempt) {
        temporary = temporaryName(base, attempt);
        fd.reset(::openat(directory, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (fd.get() < 0 && errno != EEXIST) break;
    }
    if (fd.get() < 0) {
        reason = "cannot create " + temporary + ": " + errnoText();
        return Written::Failed;
    }
    auto failure = fillFile(fd.get(), target, text);
    if (!failure && ::close(fd.release()) != 0) failure = errnoText();
    if (failure) {
        ::unlinkat(directory, temporary.c_str(), 0);
        reason = *failure;
        return Written::Failed;
    }
    return Written::Named;
}

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
    SaveTarget target;
    if (auto reason = resolveSaveTarget(path, target)) return {false, *reason};

    const std::string directoryPath = directoryOf(target.path);
    Descriptor directory(::open(directoryPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.get() < 0) return {false, "cannot save to " + path + ": " + errnoText()};
    std::string temporary, reason;
    Descriptor unnamed;
    Written written = writeUnnamed(directory.get(), target, text, unnamed, temporary, reason);
    if (written == Written::Unsupported) {
        written = writeNamed(directory.get(), target, text, temporary, reason);
    }
    if (written == Written::Failed) return {false, "cannot write " + path + ": " + reason};

    if (::renameat(directory.get(), temporary.c_str(), directory.get(), baseOf(target.path).c_str()) != 0) {
        reason = "cannot replace " + path + ": " + errnoText();
        ::unlinkat(directory.get(), temporary.c_str(), 0);
        return {false, reason};
    }
    // The rename itself on disk; a failure here no longer loses data.
    ::fsync(directory.get());
    return {};
}

FileResult loadScenario(World& w, const std::string& path, std::string* warning) {
    // Opening does not wait (a FIFO without a writer would block for ever),
    // and what was opened must be a regular file.
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) return {false, "cannot open " + path + ": " + errnoText()};
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) return {false, "cannot read " + path + ": " + errnoText()};
    if (!S_ISREG(info.st_mode)) return {false, path + " is " + kindOf(info.st_mode) + ", not a scenario file"};
    std::unique_ptr<std::FILE, FileCloser> file(::fdopen(fd.get(), "rb"));
    if (!file) return {false, "cannot read " + path + ": " + errnoText()};
    fd.release();

    // A file of nothing but blanks and line ends is empty.
    int c = 0;
    while ((c = std::getc(file.get())) != EOF && std::strchr(" \t\r\n", c) != nullptr) {}
    if (c == EOF) return {false, std::ferror(file.get()) ? "cannot read " + path : path + " is empty"};
    std::rewind(file.get());

    TokenReader reader(file.get());
    std::array<float, 18> header{};
    for (float& value : header) value = reader.readNumber();
    const float bodyCount = header[17];
    const int n = display::roundHalfEven(bodyCount);
    if (!std::isfinite(bodyCount) || n < 1 || n > sim::maxBodies) {
        return {false, path + ": the header announces " + display::formatNumber(bodyCount) +
                           " bodies; a scenario holds 1 to 800"};
    }
    const float liveCount = header[16];
    const int live = display::roundHalfEven(liveCount);
    if (!std::isfinite(liveCount) || live < 0 || live > n) {
        return {false, path + ": the header counts " + display::formatNumber(liveCount) +
                           " existing bodies of " + std::to_string(n) + "; it may count 0 to " +
                           std::to_string(n)};
    }
    const float timeStep = header[10];
    if (!std::isfinite(timeStep) || display::roundHalfEven(timeStep) > maxTimeStep) {
        return {false, path + ": a time step of " + display::formatNumber(timeStep) +
                           " s is too long; a scenario takes at most " + std::to_string(maxTimeStep) +
                           " s"};
    }
    std::vector<BodyRecord> records(std::size_t(n) + 1);
    int complete = 0;
    for (int i = 1; i <= n; ++i) {
        for (float& value : records[i].values) value = reader.readNumber();
        records[i].name = reader.readText();
        complete += !reader.metEnd();
    }
    if (reader.failed()) return {false, "cannot read " + path};

    // The file is sound: commit it.
    const auto fields = headerFields(w);
    for (std::size_t k = 0; k < fields.size(); ++k) *fields[k] = header[k];
    sim::Bodies& b = w.bodies;
    b.liveCount = live;
    b.bodyCount = bodyCount;
    for (int i = 1; i <= n; ++i) {
        for (std::size_t f = 0; f < bodyFields.size(); ++f) (b.*bodyFields[f])[i] = records[i].values[f];
        b.name[i] = std::move(records[i].name);
    }
    sim::clearDerivedFields(b);
    if (warning) {
        warning->clear();
        if (complete < n) {
            *warning = path + " ends after " + std::to_string(complete) + " of " + std::to_string(n) +
                       " bodies; the rest are left empty";
        }
    }
    return {};
}

}  // namespace io
