#pragma once
// X servers for display tests: a virtual one of a test's own (Xvfb), so that no other
// test's window can lie over this one's, take its focus or its clicks; and what a
// display test does when it cannot get its display.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

class PrivateXServer {
public:
    // A screen of `width` x `height` pixels, 24 bits deep.
    PrivateXServer(int width, int height) {
        int ready[2];
        if (pipe2(ready, O_CLOEXEC) != 0) return;
        const std::string fd = std::to_string(ready[1]);
        const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
        const cpu_set_t others = otherProcessors();
        pid = fork();
        if (pid == 0) {
            // The server must not outlive the test, nor hold its output open.
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            // Nor take its turns on the processors the test is held to (a test pinned to
            // a busy core, whose server would draw its frames in the test's own time);
            // none left (the test is not held) leaves it where it is.
            sched_setaffinity(0, sizeof others, &others);
            const int devNull = open("/dev/null", O_RDWR);
            for (int stream = 0; stream < 3; ++stream) dup2(devNull, stream);
            fcntl(ready[1], F_SETFD, 0);  // the one descriptor the server keeps
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(ready[1]);
        readEnd = ready[0];
        // The server writes its display number and a line end once it takes clients; the
        // pipe stays open until the server goes, so that no write of it fails. A loaded
        // machine can take seconds to start it; one that never starts ends the pipe at once.
        pollfd p{readEnd, POLLIN, 0};
        char c = 0;
        std::string number;
        while (pid > 0 && number.size() < 16 && poll(&p, 1, kStartMilliseconds) > 0 && read(readEnd, &c, 1) == 1 &&
               c != '\n')
            number += c;
        if (c == '\n' && !number.empty()) display = ":" + number;
    }
    ~PrivateXServer() {
        // A child forked from the test (a death test's) that ends leaves the server to it.
        if (pid > 0 && getpid() == owner) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
        if (readEnd >= 0) close(readEnd);
    }
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    static constexpr int kStartMilliseconds = 60000;  // the longest wait for the server to take clients

    pid_t owner = getpid();  // the process that started the server
    pid_t pid = -1;
    int readEnd = -1;     // of the pipe the server names its display in
    std::string display;  // ":N", empty when the server did not start

private:
    // Every processor but those this process may run on.
    static cpu_set_t otherProcessors() {
        cpu_set_t own, others;
        CPU_ZERO(&others);
        if (sched_getaffinity(0, sizeof own, &own) != 0) return others;
        for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu)
            if (!CPU_ISSET(cpu, &own)) CPU_SET(cpu, &others);
        return others;
    }
};

// True where the run promises every display test its display: continuous integration,
// which sets CI (to "true") and runs them on virtual X servers. There a display test that
// cannot get its display has lost its coverage, which must not pass unseen.
inline bool displayPromised() {
    const char* ci = std::getenv("CI");
    return ci && *ci && std::strcmp(ci, "false") != 0 && std::strcmp(ci, "0") != 0;
}

// Leaves a display test (from SetUp or its body) that cannot get its display, for
// `reason`: a failure where the display is promised, a skip elsewhere.
#define LEAVE_WITHOUT_DISPLAY(reason)                  \
    do {                                               \
        if (displayPromised()) GTEST_FAIL() << reason; \
        GTEST_SKIP() << reason;                        \
    } while (false)
