#pragma once
// The service program, run as a child process over a data folder of its own, as an
// operator runs it: the benchmark's clients then share no heap with it, its stop on
// SIGTERM can be timed, and its death under load is seen rather than taking the benchmark
// with it. The child is stopped when this goes.
#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace bench {

class ServiceProgram {
public:
    ServiceProgram() = default;
    ServiceProgram(const ServiceProgram&) = delete;
    ServiceProgram& operator=(const ServiceProgram&) = delete;
    ~ServiceProgram() {
        if (pid_ > 0) stop();
    }

    // Starts it over `data` with `options` after its own, under an open-file limit of
    // `files` when given, and in the network namespace at `network` (a file of
    // /run/netns) when given; the port it announced, or -1 when it did not start.
    int start(const std::string& data, rlim_t files = 0, const std::vector<std::string>& options = {},
              const std::string& network = {}) {
        std::vector<std::string> words = {TORVANE_SERVICE_PATH, "--port", "0", "--data", data};
        words.insert(words.end(), options.begin(), options.end());
        std::vector<char*> argv;
        for (std::string& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);
        int output[2];
        if (::pipe(output) != 0) return -1;
        pid_ = ::fork();
        if (pid_ < 0) return -1;
        if (pid_ == 0) {
            // The hard limit too: the service raises its soft limit to the hard one.
            const rlimit limit{files, files};
            if (files > 0) ::setrlimit(RLIMIT_NOFILE, &limit);
            if (!network.empty()) {
                const int space = ::open(network.c_str(), O_RDONLY | O_CLOEXEC);
                if (space < 0 || ::setns(space, CLONE_NEWNET) != 0) ::_exit(126);
            }
            ::dup2(output[1], STDOUT_FILENO);
            ::close(output[0]);
            ::execv(TORVANE_SERVICE_PATH, argv.data());
            ::_exit(127);
        }
        ::close(output[1]);
        std::FILE* announced = ::fdopen(output[0], "r");
        char line[256] = "";
        const bool started = std::fgets(line, sizeof line, announced) && std::strchr(line, ':');
        std::fclose(announced);
        if (!started) {
            stop();
            return -1;
        }
        return std::atoi(std::strrchr(line, ':') + 1);
    }
    pid_t pid() const { return pid_; }
    // Sends SIGTERM and waits for the program to end; the seconds that took.
    double stop() {
        if (pid_ <= 0) return 0;
        const auto stopping = std::chrono::steady_clock::now();
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, &status_, 0);
        pid_ = -1;
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - stopping).count();
    }
    // True once the program has ended on its own (crashed, say), without a stop.
    bool ended() {
        if (pid_ > 0 && ::waitpid(pid_, &status_, WNOHANG) == pid_) {
            pid_ = -1;
            endedAlone_ = true;
        }
        return endedAlone_;
    }
    // How it ended, as waitpid tells it.
    int status() const { return status_; }
    // How it ended on its own, in words ("killed by signal 11 (Segmentation fault)");
    // empty while it runs or when a stop ended it.
    std::string howItEnded() { return ended() ? inWords() : std::string(); }
    // How a stop ended it when not cleanly, in words; empty when it ended cleanly.
    std::string howItStopped() {
        stop();
        return WIFEXITED(status_) && WEXITSTATUS(status_) == 0 ? std::string() : inWords();
    }

private:
    std::string inWords() const {
        if (WIFSIGNALED(status_))
            return "killed by signal " + std::to_string(WTERMSIG(status_)) + " (" + ::strsignal(WTERMSIG(status_)) +
                   ")";
        return "exited with status " + std::to_string(WEXITSTATUS(status_));
    }

    pid_t pid_ = -1;
    int status_ = 0;
    bool endedAlone_ = false;
};

}  // namespace bench
