// torvane_service: the game's web service. Prints "listening on HOST:PORT" once bound and
// serves until SIGINT or SIGTERM.
#include <malloc.h>
#include <pthread.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <thread>

#include "CrashReportStore.h"
#include "ServiceOptions.h"
#include "SqliteScoreStore.h"
#include "WebService.h"

namespace {

// Blocks the stop signals in every thread started from now on, and waits for them on one
// of its own. Once a service is given it, a signal stops the service safely (a signal
// handler could not); before that, while the scores are opened (an old database is
// brought up to date then, which may take a while), a signal ends the program at once,
// as it would without this: nothing has been served yet, and an upgrade cut short leaves
// the database as it was.
class SignalStop {
public:
    SignalStop() {
        sigemptyset(&signals_);
        sigaddset(&signals_, SIGINT);
        sigaddset(&signals_, SIGTERM);
        pthread_sigmask(SIG_BLOCK, &signals_, nullptr);
        thread_ = std::thread([this] { wait(); });
    }
    ~SignalStop() { end(); }
    SignalStop(const SignalStop&) = delete;
    SignalStop& operator=(const SignalStop&) = delete;

    // From now on a signal stops `service`, until `end`.
    void stops(WebService& service) {
        std::lock_guard lock(mutex_);
        service_ = &service;
    }
    // Stops waiting for a signal: a signal from now on is left pending.
    void end() {
        if (!thread_.joinable()) return;
        {
            std::lock_guard lock(mutex_);
            ended_ = true;
        }
        // One of the signals it waits for, blocked in every thread: only the wait takes
        // it, if it still waits.
        pthread_kill(thread_.native_handle(), SIGINT);
        thread_.join();
    }

private:
    void wait() {
        int received = 0;
        sigwait(&signals_, &received);
        std::lock_guard lock(mutex_);
        if (ended_) return;
        if (service_) return service_->stop();
        sigset_t one;
        sigemptyset(&one);
        sigaddset(&one, received);
        pthread_sigmask(SIG_UNBLOCK, &one, nullptr);
        raise(received);
        std::_Exit(1);  // only if the signal did not end the program
    }

    sigset_t signals_{};
    std::mutex mutex_;
    WebService* service_ = nullptr;
    bool ended_ = false;
    std::thread thread_;
};

int serve(const ServiceOptions& options) {
    // Before any other thread starts, so that every thread inherits the mask.
    SignalStop signalStop;
    std::error_code ec;
    const std::filesystem::path folder = options.dataFolder;
    std::filesystem::create_directories(folder, ec);
    if (!std::filesystem::is_directory(folder)) {
        std::cerr << "torvane_service: cannot create the data folder " << folder << ": " << ec.message() << "\n";
        return 1;
    }
    SqliteScoreStore scores((folder / "scores.sqlite3").string());
    if (!scores.ok()) {
        std::cerr << "torvane_service: " << scores.openError() << "\n";
        return 1;
    }
    CrashReportStore crashes(folder / "crashreports", {.diskBytes = options.crashSpaceMiB * 1024 * 1024,
                                                       .reportsPerHour = options.crashReportsPerHour,
                                                       .reportsAtOnce = options.crashReportsAtOnce});

    HttpServer::Limits limits;
    limits.connectionsPerAddress = options.connectionsPerAddress;
    WebService service(scores, crashes, limits, options.newInstallationsPerHour);
    const int port = service.bind(options.host, options.port);
    if (port < 0) {
        std::cerr << "torvane_service: cannot listen on " << options.host << ":" << options.port << "\n";
        return 1;
    }
    signalStop.stops(service);
    std::printf("listening on %s:%d\n", options.host.c_str(), port);
    std::fflush(stdout);
    const bool served = service.run();
    // Before the service goes.
    signalStop.end();
    return served ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    // The workers share two heaps: with one of their own each, the memory a flood's
    // answers took would stay with them long after it had gone, out of reach of the trim
    // that gives the heap back.
    mallopt(M_ARENA_MAX, 2);
    ServiceOptions options;
    std::string error;
    if (!options.parse({argv + 1, argv + argc}, error)) {
        std::cerr << "torvane_service: " << error << "\n" << ServiceOptions::usage();
        return 2;
    }
    if (options.help) {
        std::cout << ServiceOptions::usage();
        return 0;
    }
    return serve(options);
}
