// torvane_service: the game's web service. Prints "listening on HOST:PORT" once bound and
// serves until SIGINT or SIGTERM.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <thread>

#include "CrashReportStore.h"
#include "ServiceOptions.h"
#include "SqliteScoreStore.h"
#include "WebService.h"

namespace {

// Blocks the stop signals in every thread and waits for them on one of its own, which
// may then stop the server safely (a signal handler could not).
std::thread stopOnSignal(WebService& service, sigset_t signals) {
    return std::thread([&service, signals] {
        int received = 0;
        sigwait(&signals, &received);
        service.stop();
    });
}

int serve(const ServiceOptions& options) {
    // Before any thread starts, so that every thread inherits the mask.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

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
    CrashReportStore crashes(folder / "crashreports",
                             {options.crashSpaceMiB * 1024 * 1024, options.crashReportsPerHour});

    HttpServer::Limits limits;
    limits.connectionsPerAddress = options.connectionsPerAddress;
    WebService service(scores, crashes, limits, options.newInstallationsPerHour);
    const int port = service.bind(options.host, options.port);
    if (port < 0) {
        std::cerr << "torvane_service: cannot listen on " << options.host << ":" << options.port << "\n";
        return 1;
    }
    std::thread stopper = stopOnSignal(service, signals);
    std::printf("listening on %s:%d\n", options.host.c_str(), port);
    std::fflush(stdout);
    const bool served = service.run();
    // A failed run leaves the signal thread waiting: wake it with the signal it waits for
    // (blocked in every thread, so only its wait takes it).
    if (!served) ::kill(::getpid(), SIGTERM);
    stopper.join();
    return served ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
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
