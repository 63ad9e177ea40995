#pragma once
// Cases of the service benchmark that weigh how a new client fares against clients that
// hold the service's places without letting go, each against the service program under
// an open-file limit of 200 (about 136 places) unless said otherwise, with an honest
// signed upload on a new connection from 127.0.0.3 every 0.5 s for 35 s beside it.
// Goal of each: at least 90% of those uploads stored, and the service up throughout and
// stopped cleanly by SIGTERM at the end.
// - file-limit: no flood; with the limit per address lifted, one keep-alive request is
//   answered, 135 more connections are opened, and then the first connection sends a
//   crash report. Goal: the service stays up and stores it.
// - idle-newcomers: 120 connections that send nothing, each opened again as the service
//   closes it (at most 10,000 a second), and 10 more a second on top (then 100); and at
//   10,000 places (the open-file limit left as it is, when its hard limit allows that
//   many), 9,990 such connections and 100 more a second.
// - renewed-heads: 136 keep-alive connections, each sending the rest of a GET and the
//   first byte of the next every 3.0 s, opened again as the service closes them.
// - unread-answers: 136 connections that each pipeline 990 GETs of the help page with a
//   receive buffer of 1 KiB and read nothing, opened anew every 28 s (the old ones left
//   open, unread); beside it, the bytes the host holds queued for the service's sockets
//   that it has closed (FIN-WAIT-1), as `ss` sees them.
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "IdleFlood.h"
#include "ServiceClients.h"
#include "ServiceProgram.h"
#include "Waves.h"

namespace bench {

// The places the service has under an open-file limit of 200: all but 64 files.
constexpr int kPlacesAt200 = 136;
// For a flood that is under way as soon as it begins.
inline const std::atomic<bool> kBegun = true;

// How the honest uploads beside a flood are sent, and what is asked of them.
struct Newcomers {
    bool headsInPieces = false;  // each head in three pieces 50 to 200 ms apart, as on a slow link
    bool mostStored = true;      // at least 90% stored; else each answered, with 200 or 503
};

// Honest uploads from 127.0.0.3, each on a new connection, one every 0.5 s for 35 s or
// until `program` ends, from installation `first` on (one each), sent as `newcomers` says.
inline BesideTrickles uploadEveryHalfSecond(int port, std::uint32_t first, ServiceProgram& program,
                                            const Newcomers& newcomers = {}) {
    BesideTrickles result;
    std::mt19937 random(first);
    std::uniform_int_distribution<int> gap(50, 200);
    const auto begun = Clock::now();
    for (std::uint32_t i = 0; Clock::now() - begun < std::chrono::seconds(35) && !program.ended(); ++i) {
        const auto sent = Clock::now();
        std::vector<std::chrono::milliseconds> gaps;
        if (newcomers.headsInPieces)
            gaps = {std::chrono::milliseconds(gap(random)), std::chrono::milliseconds(gap(random))};
        uploadHonestly(port, first + i, 1000 + static_cast<int>(i), result, gaps);
        std::this_thread::sleep_until(sent + std::chrono::milliseconds(500));
    }
    return result;
}

// Starts `program` over a folder `name` in `folder`, under an open-file limit of `files`
// (0: as it is), with `options` and in the network namespace at `network` when given; its
// port, or -1 once it has said that the program did not start.
inline int startFor(ServiceProgram& program, const std::string& folder, const std::string& name, rlim_t files,
                    const std::vector<std::string>& options = {}, const std::string& network = {}) {
    const int port = program.start(folder + "/" + name, files, options, network);
    if (port < 0) std::printf("service: the service program did not start for %s\n", name.c_str());
    return port;
}

// Runs `flood(flooding)` on a thread of its own until the honest uploads of
// `uploadEveryHalfSecond` end, which begin a second after `ready` holds; their results.
template <typename Flood>
BesideTrickles uploadsBeside(int port, ServiceProgram& program, std::uint32_t first, Flood flood,
                             const std::atomic<bool>& ready, const Newcomers& newcomers = {}) {
    std::atomic<bool> flooding = true;
    std::thread flooder([&] { flood(flooding); });
    while (!ready) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::seconds(1));
    BesideTrickles honest = uploadEveryHalfSecond(port, first, program, newcomers);
    flooding = false;
    flooder.join();
    return honest;
}

// Stops `program`; how it fared in words, empty when it stayed up and stopped cleanly.
inline std::string fateOf(ServiceProgram& program) {
    if (const std::string ended = program.howItEnded(); !ended.empty()) return "was " + ended;
    if (const std::string stopped = program.howItStopped(); !stopped.empty()) return "was " + stopped + " at its stop";
    return {};
}

// Stops `program`, prints how the honest uploads fared beside `flood`, and whether the
// goal was met: what `newcomers` asks of them, and the service up throughout and stopped
// cleanly.
inline bool newcomersGoal(const char* flood, const BesideTrickles& honest, ServiceProgram& program,
                          const Newcomers& newcomers = {}) {
    const std::string fate = fateOf(program);
    const int other = honest.sent - honest.taken - honest.busy;
    const bool met =
        honest.sent > 0 && fate.empty() && (newcomers.mostStored ? honest.taken * 10 >= honest.sent * 9 : other == 0);
    std::printf(
        "service: beside %s, %d of %d honest uploads on new connections%s stored, %d answered 503, %d otherwise or "
        "not at all (goal %s); the service %s: goal %s\n",
        flood, honest.taken, honest.sent, newcomers.headsInPieces ? ", their heads in 3 pieces 50-200 ms apart," : "",
        honest.busy, other, newcomers.mostStored ? "at least 90% stored" : "each answered, with 200 or 503",
        fate.empty() ? "stayed up" : fate.c_str(), met ? "met" : "NOT met");
    std::fflush(stdout);
    return met;
}

// A keep-alive connection answered once, then 135 more opened from one address (its limit
// lifted), and then a crash report on the first connection, which needs files for its
// spool and its store at the open-file limit.
inline bool fileLimitCrashReport(const std::string& folder) {
    ServiceProgram program;
    const int port = startFor(program, folder, "file-limit", 200, {"--connections-per-address", "0"});
    if (port < 0) return false;
    const int first = connectTo(port, "127.0.0.1");
    const std::string get = "GET /tv2/onlinehelp.php HTTP/1.1\r\nHost: x\r\n\r\n";
    ::send(first, get.data(), get.size(), MSG_NOSIGNAL);
    const std::string answered = answerBy(first, Clock::now() + std::chrono::seconds(5));
    std::vector<int> others;
    for (int i = 0; i < kPlacesAt200 - 1; ++i)
        if (const int fd = connectTo(port, "127.0.0.2"); fd >= 0) others.push_back(fd);
    // Long enough for the service to have taken them all.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const std::string report = smallCrashReport();
    const std::string request = crashReportHead(report.size()) + report;
    ::send(first, request.data(), request.size(), MSG_NOSIGNAL);
    const std::string status = statusBy(first, Clock::now() + std::chrono::seconds(5));
    for (int fd : others) ::close(fd);
    ::close(first);
    const std::string fate = fateOf(program);
    const bool met = status == "HTTP/1.1 200 OK" && fate.empty();
    std::printf(
        "service: under an open-file limit of 200, a keep-alive request (%s) and %zu more connections, then a crash "
        "report on the first: %s; the service %s (goal: stored, and the service up): goal %s\n",
        answered.empty() ? "not answered" : answered.c_str(), others.size(),
        status.empty() ? "no status" : status.c_str(), fate.empty() ? "stayed up" : fate.c_str(),
        met ? "met" : "NOT met");
    std::fflush(stdout);
    return met;
}

// Honest uploads sent as `newcomers` says beside an idle flood by `plan`, under an
// open-file limit of `files` (0: as it is).
inline bool newcomersBesideIdleFlood(const std::string& folder, const IdleFloodPlan& plan, rlim_t files,
                                     const Newcomers& newcomers = {}) {
    ServiceProgram program;
    const int port =
        startFor(program, folder,
                 "idle-newcomers-" + std::to_string(plan.count) + "-" + std::to_string(static_cast<int>(plan.extra)) +
                     (plan.sends.empty() ? "" : "-sending") + (newcomers.headsInPieces ? "-pieces" : ""),
                 files);
    if (port < 0) return false;
    std::atomic<bool> filled = false;
    IdleFlood flood;
    const BesideTrickles honest = uploadsBeside(
        port, program, 8000000, [&](const auto& flooding) { flood = floodIdly(port, plan, flooding, &filled); }, filled,
        newcomers);
    char name[320];
    std::snprintf(name, sizeof name,
                  "%d %s%s and %.0f more a second at %s (%d in all; closed with a status %d, without %d)", plan.count,
                  plan.sends.empty() ? "idle connections" : "connections that sent a head's first byte",
                  plan.rate > 0 ? " opened again as they close" : "", plan.extra,
                  files > 0 ? "an open-file limit of 200" : "10000 places", flood.opened, flood.heard, flood.silent);
    return newcomersGoal(name, honest, program, newcomers);
}

// Raises this process's open-file limit to its hard limit; false, once it has said that
// `what` is left out, when that is under `needed`.
inline bool fileLimitFor(rlim_t needed, const char* what) {
    rlimit limit{};
    ::getrlimit(RLIMIT_NOFILE, &limit);
    if (limit.rlim_max != RLIM_INFINITY && limit.rlim_max < needed) {
        std::printf("service: %s is left out: the hard open-file limit is %llu, under the %llu needed\n", what,
                    static_cast<unsigned long long>(limit.rlim_max), static_cast<unsigned long long>(needed));
        return false;
    }
    limit.rlim_cur = limit.rlim_max;
    return ::setrlimit(RLIMIT_NOFILE, &limit) == 0;
}

// The idle floods beside new uploads: at 136 places with 10 and with 100 more connections
// a second, and at 10,000 places with 100 more a second when the hard file limit allows.
inline bool idleNewcomers(const std::string& folder) {
    bool met = newcomersBesideIdleFlood(folder, {120, 10000, 10, 12}, 200);
    met = newcomersBesideIdleFlood(folder, {120, 10000, 100, 12}, 200) && met;
    // Each process needs its own: the service its 10,000 places and 64 files beside, the
    // flood here as many connections and a few more.
    if (!fileLimitFor(10300, "the idle flood at 10000 places")) return met;
    return newcomersBesideIdleFlood(folder, {9990, 10000, 100, 200}, 0) && met;
}

// Honest uploads whose heads come in three pieces beside floods at the cap: 136
// connections that send nothing, and 600 then 2,500 more a second, each pushing out the
// oldest; then as many that each send a head's first byte, which meet the honest heads.
inline bool splitHeads(const std::string& folder) {
    bool met = true;
    for (const double rate : {600.0, 2500.0})
        met = newcomersBesideIdleFlood(folder, {kPlacesAt200, 0, rate, 12}, 200, {.headsInPieces = true}) && met;
    for (const double rate : {600.0, 2500.0})
        met = newcomersBesideIdleFlood(folder, {kPlacesAt200, 0, rate, 12, "P"}, 200,
                                       {.headsInPieces = true, .mostStored = false}) &&
              met;
    return met;
}

// Honest uploads beside waves by `plan`, under an open-file limit of 200, over a folder of
// run `run`.
inline bool newcomersBesideWaves(const std::string& folder, const WavePlan& plan, int run) {
    ServiceProgram program;
    const int port = startFor(program, folder, "waves-" + std::to_string(run), 200);
    if (port < 0) return false;
    Waves waves;
    const BesideTrickles honest = uploadsBeside(
        port, program, 8300000, [&](const auto& flooding) { waves = floodInWaves(port, plan, flooding, [] {}); },
        kBegun, {.mostStored = false});
    // A connection that reads nothing does not read why it was ended either.
    const std::string heard = plan.kind == WavePlan::Kind::unread
                                  ? std::string()
                                  : ", of which " + std::to_string(waves.refused) + " read 503 and " +
                                        std::to_string(waves.cut) + " read 408";
    const std::string name = describe(plan) + " (" + std::to_string(waves.waves) + " waves, " +
                             std::to_string(waves.opened) + " connections; the service ended " +
                             std::to_string(waves.ended) + heard + ")";
    return newcomersGoal(name.c_str(), honest, program, {.mostStored = false});
}

// Honest uploads beside waves of 136 connections from as many addresses: of connections
// that read nothing, with receive buffers of 1 KiB and then the system's, every 1.0, 2.0
// and 3.0 s; and of trickled bodies, of empty connections and of heads' first bytes every
// 2.0 s.
inline bool newcomersBesideAllWaves(const std::string& folder) {
    using Kind = WavePlan::Kind;
    std::vector<WavePlan> plans;
    for (const int buffer : {1024, 0})
        for (const int period : {1000, 2000, 3000})
            plans.push_back({.kind = Kind::unread,
                             .period = std::chrono::milliseconds(period),
                             .count = kPlacesAt200,
                             .receiveBuffer = buffer});
    for (const Kind kind : {Kind::trickled, Kind::empty, Kind::oneByte})
        plans.push_back({.kind = kind, .period = std::chrono::seconds(2), .count = kPlacesAt200});
    bool met = true;
    for (std::size_t run = 0; run < plans.size(); ++run)
        met = newcomersBesideWaves(folder, plans[run], static_cast<int>(run)) && met;
    return met;
}

// What a flood that keeps its places read from the service.
struct KeptPlaces {
    int opened = 0;    // connections, in all
    int answered = 0;  // answers with 200 read
    int cut = 0;       // 408s read
    int refused = 0;   // 503s read
    int closed = 0;    // connections the service closed
};

// Counts the status lines in `heard`, which a flood's connection has read, keeping only a
// tail that may be the start of the next.
inline void countStatuses(std::string& heard, KeptPlaces& flood) {
    constexpr std::size_t kLine = 12;  // "HTTP/1.1 200"
    for (std::size_t at = heard.find("HTTP/1.1 "); at != std::string::npos && at + kLine <= heard.size();
         at = heard.find("HTTP/1.1 ", at + kLine)) {
        const std::string code = heard.substr(at + 9, 3);
        flood.answered += code == "200";
        flood.cut += code == "408";
        flood.refused += code == "503";
    }
    heard.erase(0, heard.size() - std::min(heard.size(), kLine - 1));
}

// 136 keep-alive connections from 127.0.7.1 to 127.0.7.4, each of which sends the rest of
// a GET and the first byte of the next every 3.0 s (their phases spread over those 3 s),
// reads its answers, and is opened again as the service closes it (at most 2,000 a
// second), until `flooding` ends.
inline KeptPlaces renewHeads(int port, const std::atomic<bool>& flooding) {
    constexpr auto kEvery = std::chrono::milliseconds(3000);
    const std::string rest = "ET /tv2/onlinehelp.php HTTP/1.1\r\nHost: x\r\n\r\nG";
    struct Renewing {
        int fd = -1;  // -1: to be opened again
        Clock::time_point next{};
        std::string heard;
    };
    KeptPlaces flood;
    std::vector<Renewing> connections(kPlacesAt200);
    const auto open = [&](std::size_t i, Clock::time_point next) {
        const std::string source = "127.0.7." + std::to_string(1 + i % 4);
        connections[i] = {connectTo(port, source.c_str()), next, {}};
        if (connections[i].fd >= 0) ::send(connections[i].fd, "G", 1, MSG_NOSIGNAL);
        ++flood.opened;
    };
    const auto begun = Clock::now();
    for (std::size_t i = 0; i < connections.size(); ++i) open(i, begun + kEvery * (i + 1) / connections.size());
    double reopens = 0;
    std::vector<char> buffer(64 * 1024);
    for (auto last = begun; flooding;) {
        std::vector<pollfd> polled;
        std::vector<std::size_t> which;
        for (std::size_t i = 0; i < connections.size(); ++i)
            if (connections[i].fd >= 0) {
                polled.push_back({connections[i].fd, POLLIN, 0});
                which.push_back(i);
            }
        ::poll(polled.data(), polled.size(), 10);
        for (std::size_t k = 0; k < polled.size(); ++k) {
            if (polled[k].revents == 0) continue;
            Renewing& c = connections[which[k]];
            const ssize_t n = ::recv(c.fd, buffer.data(), buffer.size(), MSG_DONTWAIT);
            if (n > 0) c.heard.append(buffer.data(), static_cast<std::size_t>(n));
            countStatuses(c.heard, flood);
            if (n > 0 || (n < 0 && errno == EAGAIN)) continue;
            ::close(c.fd);
            c.fd = -1;
            ++flood.closed;
        }
        const auto now = Clock::now();
        reopens = std::min(reopens + 2000 * std::chrono::duration<double>(now - last).count(), 2000.0);
        last = now;
        for (std::size_t i = 0; i < connections.size(); ++i) {
            if (connections[i].fd < 0 && reopens >= 1) {
                open(i, now + kEvery);
                reopens -= 1;
            } else if (connections[i].fd >= 0 && now >= connections[i].next) {
                ::send(connections[i].fd, rest.data(), rest.size(), MSG_NOSIGNAL);
                connections[i].next += kEvery;
            }
        }
    }
    for (const Renewing& c : connections)
        if (c.fd >= 0) ::close(c.fd);
    return flood;
}

// Honest uploads beside keep-alive connections that renew their heads.
inline bool renewedHeads(const std::string& folder) {
    ServiceProgram program;
    const int port = startFor(program, folder, "renewed-heads", 200);
    if (port < 0) return false;
    KeptPlaces flood;
    const BesideTrickles honest = uploadsBeside(
        port, program, 8100000, [&](const auto& flooding) { flood = renewHeads(port, flooding); }, kBegun);
    char name[256];
    std::snprintf(name, sizeof name,
                  "136 keep-alive connections renewing their heads every 3.0 s under an open-file limit of 200 (%d "
                  "in all; %d answers read, %d cut off with 408, %d turned away with 503)",
                  flood.opened, flood.answered, flood.cut, flood.refused);
    return newcomersGoal(name, honest, program);
}

// The bytes the host holds queued to send on the service's sockets that it has closed and
// whose peers have not taken them (FIN-WAIT-1), and how many such sockets there are, as
// `ss` sees them; nothing when `ss` cannot be run.
inline std::optional<std::pair<std::uint64_t, int>> queuedOnClosedSockets(int port) {
    const std::string command = "ss -tnH state fin-wait-1 '( sport = :" + std::to_string(port) + " )' 2>/dev/null";
    std::FILE* listing = ::popen(command.c_str(), "r");
    if (!listing) return std::nullopt;
    std::uint64_t bytes = 0;
    int sockets = 0;
    unsigned long long received = 0, queued = 0;
    char line[512];
    while (std::fgets(line, sizeof line, listing))
        if (std::sscanf(line, "%llu %llu", &received, &queued) == 2) {
            bytes += queued;
            ++sockets;
        }
    if (::pclose(listing) != 0) return std::nullopt;
    return std::pair{bytes, sockets};
}

// What the flood of unread answers did, and the bytes queued for the service's closed
// sockets beside it (see `queuedOnClosedSockets`).
struct UnreadFlood {
    int opened = 0;                                                                           // connections, in all
    std::optional<std::pair<std::uint64_t, int>> peak = std::pair<std::uint64_t, int>{0, 0};  // nothing: no `ss`
    std::optional<std::pair<std::uint64_t, int>> atEnd;
};

// 136 connections from 127.0.8.1 to 127.0.8.8 with receive buffers of 1 KiB, each sending
// 990 pipelined GETs of the help page as fast as the service takes them and reading
// nothing; every 28 s as many new ones, the old ones left open and unread, until
// `flooding` ends and all are closed. The bytes queued for the service's closed sockets
// are looked at every second meanwhile, and at the end before the close.
inline UnreadFlood pipelineUnread(int port, const std::atomic<bool>& flooding) {
    UnreadFlood flood;
    const WavePlan plan{.kind = WavePlan::Kind::unread,
                        .period = std::chrono::seconds(28),
                        .count = kPlacesAt200,
                        .receiveBuffer = 1024,
                        .network = "127.0.8.",
                        .addresses = 8,
                        .closesEnded = false};
    auto look = Clock::now();
    flood.opened = floodInWaves(port, plan, flooding, [&] {
                       if (!flooding) {
                           flood.atEnd = queuedOnClosedSockets(port);
                       } else if (Clock::now() >= look && flood.peak) {
                           const auto now = queuedOnClosedSockets(port);
                           flood.peak = now ? std::max(*flood.peak, *now) : now;
                           look += std::chrono::seconds(1);
                       }
                   }).opened;
    return flood;
}

// Honest uploads beside connections that never read their answers, and the bytes queued
// for the sockets the service closes.
inline bool unreadAnswers(const std::string& folder) {
    ServiceProgram program;
    const int port = startFor(program, folder, "unread-answers", 200);
    if (port < 0) return false;
    UnreadFlood flood;
    const BesideTrickles honest = uploadsBeside(
        port, program, 8200000, [&](const auto& flooding) { flood = pipelineUnread(port, flooding); }, kBegun);
    const auto& peak = flood.peak;
    const auto& atEnd = flood.atEnd;
    char name[512];
    std::snprintf(name, sizeof name,
                  "136 connections pipelining 990 GETs with a receive buffer of 1 KiB and reading nothing, opened anew "
                  "every 28 s, under an open-file limit of 200 (%d in all; queued for sockets the service has closed: "
                  "at most %.1f MiB on %d sockets, %.1f MiB on %d at the end%s)",
                  flood.opened, peak ? mib(peak->first) : 0.0, peak ? peak->second : 0, atEnd ? mib(atEnd->first) : 0.0,
                  atEnd ? atEnd->second : 0, peak && atEnd ? "" : "; ss could not be run");
    return newcomersGoal(name, honest, program);
}

}  // namespace bench
