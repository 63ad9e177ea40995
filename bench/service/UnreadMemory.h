#pragma once
// The service's own memory beside connections that leave their answers unread (the case
// "unread-memory"), against the service program at 10,000 places: 1,000, then 4,000, then
// 10,000 connections from 200 addresses that each pipeline 990 GETs of the help page with a
// receive buffer of 1 KiB and read nothing, held for 5 s once all is sent and then closed.
// Its resident memory before, at its peak while they are open (and so what each of them
// cost it), and once it has closed them all after their clients did. Goal: back within
// 20 MiB of where it was before, each time.
#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <string>
#include <thread>

#include "NewcomerCases.h"
#include "PeakSampler.h"
#include "ServiceClients.h"
#include "ServiceProgram.h"
#include "Waves.h"

namespace bench {

struct UnreadMemory {
    Waves flood;
    std::size_t peak = 0, after = 0;  // the service's resident memory, bytes
    double settled = 0;               // seconds from their close until the service had closed them all
};

// `count` connections pipelining requests and reading none against `port`, the service
// being process `pid`, which held `sockets` sockets open before them.
inline UnreadMemory memoryBesideUnread(int port, pid_t pid, int count, std::size_t sockets) {
    const WavePlan plan{.kind = WavePlan::Kind::unread,
                        .period = std::chrono::hours(1),
                        .count = count,
                        .receiveBuffer = 1024,
                        .network = "127.0.10.",
                        .addresses = 200};
    UnreadMemory result;
    std::atomic<bool> flooding = true, sent = false;
    PeakSampler memory([pid] { return residentMemory(pid); });
    std::thread flooder([&] {
        result.flood = floodInWaves(
            port, plan, flooding, [] {}, &sent);
    });
    // Until they have sent all, and then long enough for the service to take what it will
    // of it.
    for (const auto guard = Clock::now() + std::chrono::seconds(60); !sent && Clock::now() < guard;)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::seconds(5));
    flooding = false;
    flooder.join();
    result.peak = memory.finish();
    // Once the service has closed them all, and a few of its rounds later, for it to give
    // back what it will.
    const auto closed = Clock::now();
    while (openSockets(pid) > sockets && Clock::now() - closed < std::chrono::seconds(10))
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    result.settled = std::chrono::duration<double>(Clock::now() - closed).count();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    result.after = residentMemory(pid);
    return result;
}

// The floods of unread answers one after another against one service program, each
// printed; true when the memory came back after each.
inline bool unreadMemory(const std::string& folder) {
    // The service its 10,000 places and 64 files beside, the flood here as many connections.
    const bool tenThousand = fileLimitFor(10300, "the flood of 10000 unread connections");
    if (!tenThousand && !fileLimitFor(4300, "the flood of 4000 unread connections")) return false;
    ServiceProgram program;
    const int port = startFor(program, folder, "unread-memory", 0);
    if (port < 0) return false;
    // The service as it is once it has answered its first request.
    const int first = connectTo(port);
    const std::string get = "GET /tv2/onlinehelp.php HTTP/1.1\r\nHost: x\r\n\r\n";
    ::send(first, get.data(), get.size(), MSG_NOSIGNAL);
    answerBy(first, Clock::now() + std::chrono::seconds(5));
    ::close(first);
    const std::size_t before = residentMemory(program.pid()), sockets = openSockets(program.pid());
    bool met = true;
    for (const int count : {1000, 4000, 10000}) {
        if (count == 10000 && !tenThousand) break;
        const UnreadMemory run = memoryBesideUnread(port, program.pid(), count, sockets);
        const bool back = run.after <= before + (20u << 20);
        std::printf(
            "service: %d connections pipelining 990 GETs with a receive buffer of 1 KiB and reading nothing, at "
            "10000 places (%d ended by the service while held): resident memory %.1f MiB before, at most %.1f MiB "
            "(%.1f KiB a connection), %.1f MiB once it had closed them all, %.1f s after they were (goal within 20 MiB "
            "of before): goal %s\n",
            count, run.flood.ended, mib(before), mib(run.peak),
            (static_cast<double>(run.peak) - static_cast<double>(before)) / 1024 / count, mib(run.after), run.settled,
            back ? "met" : "NOT met");
        std::fflush(stdout);
        met = met && back;
    }
    const std::string fate = fateOf(program);
    if (!fate.empty())
        std::printf("service: the service %s beside the unread connections: goal NOT met\n", fate.c_str());
    return met && fate.empty();
}

}  // namespace bench
