#pragma once
// The web service in a process of its own, at an open-file limit of its own, its loop
// turned by hand on the test's command and its clock moved only by the test. The server
// thus meets a real limit (its slots count the files it may open, and an accept may fail
// for want of one) while the test's own sockets count against the test's limit, and a
// fault of the server's ends its process, not the test's: the test learns how it ended.
//
// The child has no workers: queued requests wait until the test works them off. Every
// command waits for the child's reply, so that what the test does next meets the server
// as the command left it. Its scores and crash reports go to a fresh folder, removed
// with the object.
#include <sys/resource.h>
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>

#include "CrashReportStore.h"
#include "HttpServer.h"

class ForkedService {
public:
    struct Options {
        rlim_t files = 200;         // the child's open-file limit
        HttpServer::Limits limits;  // its clock and workers are the object's own
        CrashReportStore::Limits crashes;
    };

    // Starts the child; `port()` is 0 when it did not start.
    explicit ForkedService(const Options& options);
    // Ends the child, whatever it is doing, and removes its folder.
    ~ForkedService();
    ForkedService(const ForkedService&) = delete;
    ForkedService& operator=(const ForkedService&) = delete;

    int port() const { return port_; }

    // Each is false once the child has ended (see `fate`).
    // Turns the loop `times` without waiting for events.
    bool turn(int times);
    // Moves the server's clock on.
    bool advance(std::chrono::milliseconds by);
    // Runs up to `most` of the requests waiting for a worker.
    bool work(int most);
    // Hands the server `fd`, the far end of a connection the test made itself, as if its
    // listening socket had accepted it from `remoteAddress` (an address this machine
    // cannot connect from, say: a network of IPv6 addresses); the test's `fd` is closed
    // either way. `taken` is false when the child had no file left to take it in.
    bool adopt(int fd, const std::string& remoteAddress, bool& taken);
    // Stops the server and turns its loop, moving the clock 100 ms at a time, until its
    // run is over (3 s of the clock at most); false when it is not over by then.
    bool stop();

    // Lets the child end as it would once the test is done with it; true when it then
    // exits cleanly.
    bool finish();

    // How the child ended ("exited with 0", "killed by signal 11", "hung"), once a
    // command has found it ended; empty while it runs.
    const std::string& fate() const { return fate_; }

private:
    enum class Op : char { turn, advance, work, adopt, stop, over };
    struct Command {
        Op op;
        long long argument;  // for `adopt`, the length of the address that follows
    };

    // Sends `command`, with `fd` beside it when it is one and `text` after it, and reads
    // the child's answer into `reply`; false once it has ended.
    bool ask(Command command, long long& reply, int fd = -1, std::string_view text = {});
    // Takes the test's next command into `command`, and a file sent beside it into `fd`
    // (-1 when none came); false once the test has closed its end.
    static bool receive(int control, Command& command, int& fd);
    // Learns how the child ended, ending it when it is hung.
    void reap();
    // An exception out of the service ends the child as a crash does (std::terminate):
    // it must never unwind into the test's code, which would go on running tests there.
    [[noreturn]] static void serve(int control, const std::filesystem::path& folder, const Options& options) noexcept;
    static void obey(int control, HttpServer& server, HttpServer::Clock::time_point& now);

    std::filesystem::path folder_;
    pid_t pid_ = -1;
    int control_ = -1;
    int port_ = 0;
    std::string fate_;
};
