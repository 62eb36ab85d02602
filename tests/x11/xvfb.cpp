// Starts Xvfb with -displayfd on a display it picks itself, runs the tests,
// stops the server.
#include "xvfb.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace xvfb {

namespace {

std::string runningDisplay;
pid_t serverPid = -1;

class Server : public ::testing::Environment {
public:
    void SetUp() override {
        XInitThreads();
        int fds[2];
        if (pipe(fds) != 0) return;
        serverPid = fork();
        if (serverPid == 0) {
            prctl(PR_SET_PDEATHSIG, SIGTERM);  // the server goes with the tests, even when they are killed
            close(fds[0]);
            const int quiet = open("/dev/null", O_WRONLY);
            dup2(quiet, STDOUT_FILENO);
            dup2(quiet, STDERR_FILENO);
            const std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                   "-noreset", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        // Xvfb writes its display number once it accepts connections.
        std::string number;
        pollfd p{fds[0], POLLIN, 0};
        char c;
        while (serverPid > 0 && poll(&p, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        close(fds[0]);
        if (number.empty()) std::fprintf(stderr, "x11 tests: Xvfb did not start; the tests are skipped\n");
        if (number.empty()) return TearDown();
        runningDisplay = ":" + number;
        setenv("DISPLAY", runningDisplay.c_str(), 1);
    }

    void TearDown() override {
        if (serverPid <= 0) return;
        kill(serverPid, SIGTERM);
        waitpid(serverPid, nullptr, 0);
        serverPid = -1;
    }
};

}  // namespace

const std::string& displayName() { return runningDisplay; }

std::string property(Display* d, ::Window w, const char* name) {
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, w, XInternAtom(d, name, False), 0, 1024, False, AnyPropertyType, &type, &format,
                           &count, &after, &data) != Success || !data)
        return {};
    const std::string text(reinterpret_cast<char*>(data), count);
    XFree(data);
    return text;
}

}  // namespace xvfb

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new xvfb::Server);
    return RUN_ALL_TESTS();
}
