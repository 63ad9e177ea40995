#pragma once
// The game's web service as a child process for end-to-end tests: started on a free
// port with its data in a folder of the test's, stopped (and waited for) when the
// object goes or on stop(). `host` is "HOST:PORT" as the service announced it; empty
// when the service could not be started (the program is missing from the build).
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

class ServiceProcess {
public:
    static std::string programPath() { return std::string(TORVANE_BINARY_DIR) + "/torvane_service"; }
    static bool available() { return ::access(programPath().c_str(), X_OK) == 0; }

    explicit ServiceProcess(const std::string& dataFolder) {
        int out[2];
        if (!available() || ::pipe(out) != 0) return;
        pid = ::fork();
        if (pid == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            ::close(out[0]);
            const std::string program = programPath();
            ::execl(program.c_str(), program.c_str(), "--port", "0", "--data", dataFolder.c_str(), nullptr);
            ::_exit(127);
        }
        ::close(out[1]);
        // The pipe stays open while the service runs, so that its later output has a reader.
        outFd = out[0];
        host = readAnnouncement(outFd);
    }
    ~ServiceProcess() { stop(); }
    ServiceProcess(const ServiceProcess&) = delete;
    ServiceProcess& operator=(const ServiceProcess&) = delete;

    void stop() {
        if (pid <= 0) return;
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
        pid = -1;
        ::close(outFd);
    }
    std::u16string host16() const { return std::u16string(host.begin(), host.end()); }

    std::string host;
    pid_t pid = -1;
    int outFd = -1;

private:
    // "listening on HOST:PORT": waits up to ten seconds for the line.
    static std::string readAnnouncement(int fd) {
        std::string line;
        char c = 0;
        pollfd p{fd, POLLIN, 0};
        while (::poll(&p, 1, 10000) > 0 && ::read(fd, &c, 1) == 1 && c != '\n') line += c;
        const std::string prefix = "listening on ";
        return line.rfind(prefix, 0) == 0 ? line.substr(prefix.size()) : std::string();
    }
};
