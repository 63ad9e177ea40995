// The web service under load, on 127.0.0.1 over a new data folder:
// - uploads: 32 clients, each on its own keep-alive connection, upload freshly signed
//   score records for 10 s. Goals: at least 1,000 uploads per second, 99th percentile
//   latency under 50 ms, exactly the acknowledged uploads in the database afterwards, and
//   a write-ahead log that never grows past 64 MiB.
// - slow clients: 1,000 connections trickle their heads or their bodies, or sit idle
//   after a request, for 5 s, while a probe asks for the help page every 100 ms. Goal:
//   no probe waits 100 ms or more.
// - crash reports: 64 reports of 32 MiB each, sent at once from 16 addresses. Goal: the
//   process's resident memory stays under 64 MiB.
// - reset flood, against the service program on a data folder of its own: 8 honest
//   clients ask for the help page on keep-alive connections for 3 s alone, then for 3 s
//   beside 16 threads that send a request with 15 KiB of headers and reset the
//   connection at once. Goals: the honest clients keep at least half their quiet rate,
//   the service's resident memory stays under 128 MiB, and SIGTERM right after ends it
//   within 2 s.
// - one-address flood: 15,000 connections from 127.0.0.2 are opened and held while a
//   probe from 127.0.0.3 asks for the help page every 50 ms. Goal: at least 95% of the
//   probes are answered.
// - silent heads: 32 connections from 127.0.0.2 to 127.0.0.5 each announce a crash
//   report's largest body (32 MiB; half of them by PUT, which that address does not take)
//   and send nothing more, while 127.0.0.1 posts the connection test at once and again
//   35 s later. Goals: both are answered within 100 ms, and by the second the service has
//   closed all 32 connections.
// - trickling uploads: 1,500 clients each send an upload's largest body (64 KiB) in
//   pieces of 1,000 bytes, a round of pieces every 5 ms. Goals: the resident memory grows
//   by at most 5/4 of the bodies' bytes, and is back within 32 MiB of where it was once
//   they are answered.
// - uploads beside trickled bodies: 4,400 connections from 80 addresses each announce an
//   upload's largest body (64 KiB), send one byte, and 200 bytes 5 s later, while
//   127.0.0.3 uploads a fresh score record on a new connection every 180 ms for 9 s.
//   Goals: every upload is answered with 200, their 99th percentile latency is under
//   100 ms, the resident memory grows by under 64 MiB, and by 12 s the service has cut
//   off every trickle with 408.
// - crash reports beside trickled heads, over a crash report store of its own with the
//   service's default limits (1 GiB, 10 reports an hour from one address): 32
//   connections from 8 addresses each announce a report's largest body (32 MiB), send
//   one byte, and another 8 s later, while 127.0.0.3 sends a small report every 2 s for
//   10 s. Goals: every small report is stored, each answered in under 100 ms, and by
//   12 s the service has cut off every head with 408.
// - crash reports beside trickled bodies, against the service program under an open-file
//   limit of 1,024: 100 connections from 10 addresses each announce a report's largest
//   body (32 MiB) and send it at 600 bytes a second, while 127.0.0.3 sends a small report
//   every 2 s from 20 s on. Goal: at least 9 of the 10 small reports are stored.
// - crash reports beside an idle flood at the cap (also alone: "idle-flood"), against the
//   service program under an open-file limit of 200 (about 136 connections): 120
//   connections that send nothing, each opened again as the service closes it, at most 10
//   (then 100) new ones a second, while five crash reports of 64 KiB are sent in pieces of
//   1 KiB at their pace (then at 1.2 times it), each sent again a second after a 503. Goal:
//   all five are stored, in each of the four runs.
// - crash reports beside a slow crash flood (also alone: "crash-flood"), against the
//   service program under an open-file limit of 1,024: 100 crash reports announcing 32 MiB
//   from 10 addresses, each sent at 16.6 KB/s (0.52 of its pace) and sent again as soon as
//   the service answers or closes it, while 127.0.5.1 to 127.0.5.10 each send a small
//   report, one every 2 s from 20 s on. Goal: at least 9 of the 10 are stored.
// - bodies on slow links, over a crash report store of its own with the service's default
//   limits: clients, each from an address of its own and all at once, send crash reports
//   or a high-score upload. Honest ones keep about the pace their deadlines ask, with
//   stalls or a slow start (300 KiB at 9.6 KiB/s with a stall of 3 s; in bursts of 2 s
//   at 24 KiB/s after stalls of 3 s; 1 KiB, a pause of 9.5 s, then 100 KiB/s; 32 MiB at
//   40 KiB/s with a stall of 3 s, for 40 s of it; ...), small ones a pace under the
//   least rate (8 KiB at 400 B/s; the upload at its pace in pieces of 1 KiB, ahead of it
//   or behind it by a piece); beside them, 300 KiB and 2 MiB at half their pace, and two
//   trickles at 600 bytes a second. Goals: every honest body is stored (the 32 MiB one
//   still coming uncut at 40 s), but the upload behind its pace by a piece, which is not
//   cut off before its time's end; those at half their pace are cut off with 408 within
//   0.5 s of the README's table of paces, and each trickle within 15 s.
// - uploads beside trickles from many addresses, against the service program: 10,000
//   connections from 200 addresses (50 from each) each announce an upload's largest body
//   and send it at 600 bytes a second, each opened again as soon as the service has
//   answered or closed it (at most 2,000 a second), while 127.0.0.3 uploads a fresh
//   record on a new connection every 200 ms from 5 s to 30 s. Goals: every upload is
//   answered with 200, and the service's resident memory stays under 512 MiB.
// - uploads beside clients that keep their pace (also alone: "pace-keepers"), as the case
//   before, the bodies announcing 16 KiB and sent at 600 bytes a second, then 64 KiB at
//   2,100 bytes a second, each a little ahead of its pace. Goals: every honest upload is
//   answered, with 200 or 503, and the service's resident memory stays under 512 MiB.
// - high-score page, over databases of its own whose installations each have an entry
//   in every table: the page with all tables drawn from the store (no copy kept) at 100
//   installations (every table full) and at 300,000. Goal: under 5 ms at 300,000. Then,
//   at 300,000, 32 clients upload for 4 s while a probe asks for the help page every
//   50 ms, and again beside 64 keep-alive connections from 127.0.0.2 that read the page
//   without pause. Goals: the uploads keep at least half their quiet rate, and the
//   probes' median is under 50 ms.
// - a stop beside a held write lock, against the service program: another connection
//   holds the database's write lock (as a backup or an administrator's session may)
//   while 100 uploads are in flight, more than the workers take, then SIGTERM. Goals: the
//   program ends cleanly within 3 s, every upload is answered, with 200 or with 503 and
//   Retry-After, and the database holds exactly the acknowledged ones.
// - upgrade: a database of the first schema (no best entries kept) with 3,000,000 scores,
//   300,000 installations with two in every table. Goal: the store opens it, bringing it
//   up to date, within 10 s.
// - hourly limits, in this process: the heap an hourly limit holds after one take from
//   each of 50,000 IPv4 addresses, less what it holds after as many from one address;
//   the networks it tracks after 50,000 addresses of one IPv6 /64; and after one take
//   from each of 1,000,000 /64s, its heap and the time a take costs. Goals: at most
//   100 bytes per address, one network for the /64, and under the flood at most its
//   bound of networks in at most 100 bytes each.
// - honest uploads on new connections beside clients that hold the service's places
//   without letting go, each case also alone by its name (see service/NewcomerCases.h):
//   "file-limit", "idle-newcomers", "renewed-heads", "unread-answers", "split-heads"
//   (heads in pieces beside floods of empty connections and of heads' first bytes) and
//   "waves" (floods of several kinds in waves).
// - readers that take their answers at 1 KiB a second, beside floods and over throttled
//   links (also alone: "slow-readers", see service/SlowReaders.h).
// - the service's memory beside thousands of connections that leave their answers unread,
//   and once they are gone (also alone: "unread-memory", see service/UnreadMemory.h).
#include <arpa/inet.h>
#include <httplib.h>
#include <malloc.h>
#include <netinet/in.h>
#include <poll.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <optional>
#include <thread>
#include <vector>

#include "CrashReportStore.h"
#include "HourlyLimit.h"
#include "ScoreTablePage.h"
#include "SqliteScoreStore.h"
#include "WebService.h"
#include "service/IdleFlood.h"
#include "service/NewcomerCases.h"
#include "service/PeakSampler.h"
#include "service/ScoreTables.h"
#include "service/ServiceClients.h"
#include "service/ServiceProgram.h"
#include "service/SlowReaders.h"
#include "service/UnreadMemory.h"
#include "support/FirstSchema.h"
#include "support/GameForm.h"
#include "support/ScoreRecordBuilder.h"

namespace {

using namespace bench;

constexpr int kClients = 32;
constexpr auto kDuration = std::chrono::seconds(10);

struct ClientResult {
    std::vector<double> latencies;  // ms, acknowledged uploads only
    long acknowledged = 0;
    long failed = 0;
};

// One client: a record of five entries per upload, each upload's entries new.
void runClient(int port, int index, Clock::time_point end, ClientResult& result) {
    httplib::Client client("127.0.0.1", port);
    client.set_keep_alive(true);
    client.set_tcp_nodelay(true);
    for (std::int64_t round = 0; Clock::now() < end; ++round) {
        ScoreRecordBuilder record(static_cast<std::uint32_t>(index + 1), "DE");
        for (int table = 0; table < 5; ++table)
            record.entry(table, 0, "Client " + std::to_string(index), static_cast<std::int32_t>(round % 100000),
                         1700000000 + round);
        const std::string body = GameForm().standardFields().file("HSTfile", "Torvane2Xmas.hst", record.bytes()).body();
        const auto start = Clock::now();
        auto reply = client.Post("/tv2/highscoreupload.php", body, GameForm::kContentType);
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        if (reply && reply->status == 200) {
            ++result.acknowledged;
            result.latencies.push_back(ms);
        } else {
            ++result.failed;
            if (reply)
                std::fprintf(stderr, "client %d: status %d after %.1f ms\n", index, reply->status, ms);
            else
                std::fprintf(stderr, "client %d: %s after %.1f ms\n", index, httplib::to_string(reply.error()).c_str(),
                             ms);
        }
    }
}

// Asks for the help page on a new connection; the delay in ms (a failed probe counts as
// 5 s).
double probeHelpPage(int port) {
    httplib::Client probe("127.0.0.1", port);
    probe.set_read_timeout(5, 0);
    const auto start = Clock::now();
    auto reply = probe.Get("/tv2/onlinehelp.php");
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    return reply && reply->status == 200 ? ms : 5000.0;
}

// 1,000 slow connections and a probe every 100 ms for 5 s; returns the probes' delays
// in ms (a failed probe counts as 5 s).
std::vector<double> probeBesideSlowClients(int port) {
    constexpr int kSlow = 1000;
    const std::string upload =
        "POST /tv2/highscoreupload.php HTTP/1.1\r\nHost: x\r\nContent-Type: " + std::string(GameForm::kContentType) +
        "\r\nContent-Length: 10000\r\n\r\n";
    std::vector<int> slow;
    for (int i = 0; i < kSlow; ++i) {
        const std::string source = "127.0.0." + std::to_string(10 + i % 100);
        const int fd = connectTo(port, source.c_str());
        if (fd < 0) continue;
        const std::string start = i % 3 == 0   ? "GET /tv2/onlinehelp.php HTTP/1.1\r\nHost: x\r\n"
                                  : i % 3 == 1 ? upload
                                               : "GET /tv2/onlinehelp.php HTTP/1.1\r\nHost: x\r\n\r\n";
        ::send(fd, start.data(), start.size(), MSG_NOSIGNAL);
        slow.push_back(fd);
    }
    std::printf("service: %zu slow connections open\n", slow.size());
    std::vector<double> delays;
    const auto end = Clock::now() + std::chrono::seconds(5);
    while (Clock::now() < end) {
        for (std::size_t i = 0; i < slow.size(); ++i)
            if (i % 3 != 2) ::send(slow[i], i % 3 == 0 ? "X" : "y", 1, MSG_NOSIGNAL);
        delays.push_back(probeHelpPage(port));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    for (int fd : slow) ::close(fd);
    return delays;
}

// Sends one crash report whose dump has `size` bytes, from a small buffer; true when it
// was taken.
bool sendCrashReport(int port, std::size_t size, const std::string& source) {
    const std::string whole = GameForm().standardFields().file("crashMiniDump", "crash.mdmp", "").body();
    const std::string suffix = "\r\n-----------------------------7d33992b80330--\r\n";
    const std::string prefix = whole.substr(0, whole.size() - suffix.size());
    const std::string head =
        "POST /tv2/crashreport.php HTTP/1.1\r\nHost: x\r\nContent-Type: " + std::string(GameForm::kContentType) +
        "\r\nContent-Length: " + std::to_string(prefix.size() + size + suffix.size()) + "\r\n\r\n" + prefix;
    const int fd = connectTo(port, source.c_str());
    if (fd < 0) return false;
    const std::string piece(64 * 1024, 'd');
    bool sent = ::send(fd, head.data(), head.size(), MSG_NOSIGNAL) > 0;
    for (std::size_t done = 0; sent && done < size; done += piece.size())
        sent = ::send(fd, piece.data(), std::min(piece.size(), size - done), MSG_NOSIGNAL) > 0;
    sent = sent && ::send(fd, suffix.data(), suffix.size(), MSG_NOSIGNAL) > 0;
    char status[13] = "";
    const bool answered = sent && ::recv(fd, status, 12, MSG_WAITALL) == 12;
    ::close(fd);
    return answered && std::string(status) == "HTTP/1.1 200";
}

// Help pages answered to `clients` keep-alive clients per second, over `duration`.
double honestRate(int port, int clients, std::chrono::milliseconds duration) {
    std::atomic<long> answered = 0;
    const auto start = Clock::now();
    std::vector<std::thread> threads;
    for (int i = 0; i < clients; ++i)
        threads.emplace_back([&] {
            httplib::Client client("127.0.0.1", port);
            client.set_keep_alive(true);
            client.set_read_timeout(5, 0);
            while (Clock::now() - start < duration) {
                auto reply = client.Get("/tv2/onlinehelp.php");
                if (reply && reply->status == 200) ++answered;
            }
        });
    for (std::thread& t : threads) t.join();
    return static_cast<double>(answered) / std::chrono::duration<double>(Clock::now() - start).count();
}

struct ResetFlood {
    double quietRate = 0, floodRate = 0;  // honest answers per second
    long resets = 0;
    double peakMiB = 0;
    double stopSeconds = 0;
};

// The service program on a data folder of its own, so that the flood's clients share no
// heap with it and its stop on SIGTERM can be timed right after the flood. Nothing when
// it does not start.
std::optional<ResetFlood> resetFlood(const std::string& folder) {
    ResetFlood result;
    ServiceProgram program;
    const int port = program.start(folder + "/flood");
    if (port < 0) return std::nullopt;
    const pid_t pid = program.pid();
    constexpr auto kPhase = std::chrono::seconds(3);
    result.quietRate = honestRate(port, 8, kPhase);

    std::string request = "GET /tv2/onlinehelp.php HTTP/1.1\r\nHost: x\r\n";
    for (int i = 0; request.size() < 15 * 1024; ++i)
        request += "X-Padding-" + std::to_string(i) + ": " + std::string(200, 'p') + "\r\n";
    request += "\r\n";
    std::atomic<bool> flooding = true;
    std::atomic<long> resets = 0;
    std::vector<std::thread> flood;
    {
        PeakSampler memory([pid] { return residentMemory(pid); });
        for (int i = 0; i < 16; ++i)
            flood.emplace_back([&] {
                while (flooding) {
                    const int fd = connectTo(port, "127.0.0.2");
                    if (fd < 0) continue;
                    ::send(fd, request.data(), request.size(), MSG_NOSIGNAL);
                    const linger abort{1, 0};
                    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
                    ::close(fd);
                    ++resets;
                }
            });
        result.floodRate = honestRate(port, 8, kPhase);
        flooding = false;
        for (std::thread& t : flood) t.join();
        result.peakMiB = static_cast<double>(memory.finish()) / (1 << 20);
    }
    result.resets = resets;
    result.stopSeconds = program.stop();
    return result;
}

// 15,000 connections from one address held open while a probe from another asks every
// 50 ms; returns the share of probes answered.
double probeBesideOneAddressFlood(int port, int& held) {
    constexpr int kFlood = 15000;
    std::atomic<bool> flooding = true;
    std::vector<int> flood;
    std::thread opener([&] {
        for (int i = 0; i < kFlood && flooding; ++i) {
            const int fd = connectTo(port, "127.0.0.2");
            if (fd >= 0) flood.push_back(fd);
        }
    });
    int probes = 0, answered = 0;
    const auto end = Clock::now() + std::chrono::seconds(4);
    while (Clock::now() < end) {
        const int fd = connectTo(port, "127.0.0.3");
        const std::string request = "GET /tv2/onlinehelp.php HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n";
        char status[13] = "";
        pollfd readable{fd, POLLIN, 0};
        if (fd >= 0 && ::send(fd, request.data(), request.size(), MSG_NOSIGNAL) > 0 &&
            ::poll(&readable, 1, 2000) == 1 && ::recv(fd, status, 12, MSG_WAITALL) == 12 &&
            std::string(status) == "HTTP/1.1 200")
            ++answered;
        ++probes;
        if (fd >= 0) ::close(fd);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    flooding = false;
    opener.join();
    held = static_cast<int>(flood.size());
    for (int fd : flood) ::close(fd);
    return probes ? static_cast<double>(answered) / probes : 0;
}

// Posts the game's connection test (a small upload that leaves the scores as they are)
// from 127.0.0.1; its latency in ms, or -1 when it was not answered.
double connectionTest(int port) {
    httplib::Client client("127.0.0.1", port);
    client.set_read_timeout(5, 0);
    const auto start = Clock::now();
    auto reply = client.Post("/tv2/nettest.php", GameForm().standardFields().body(), GameForm::kContentType);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    return reply && reply->status == 200 ? ms : -1;
}

struct SilentHeads {
    double firstMs = -1, laterMs = -1;  // the connection test at once and 35 s later (-1: not answered)
    int closed = 0;                     // of the silent connections, by the service
};

// 32 connections from four addresses announce a crash report's largest body and send no
// more, beside a connection test at once and another 35 s later.
SilentHeads silentHeads(int port) {
    constexpr int kHeads = 32;
    std::vector<int> heads;
    for (int i = 0; i < kHeads; ++i) {
        const std::string source = "127.0.0." + std::to_string(2 + i % 4);
        const int fd = connectTo(port, source.c_str());
        if (fd < 0) continue;
        const std::string head =
            std::string(i % 2 ? "PUT" : "POST") +
            " /tv2/crashreport.php HTTP/1.1\r\nHost: x\r\nContent-Type: " + GameForm::kContentType +
            "\r\nContent-Length: " + std::to_string(WebService::kCrashReportBodyLimit) + "\r\n\r\n";
        ::send(fd, head.data(), head.size(), MSG_NOSIGNAL);
        heads.push_back(fd);
    }
    SilentHeads result;
    result.firstMs = connectionTest(port);
    std::this_thread::sleep_for(std::chrono::seconds(35));
    result.laterMs = connectionTest(port);
    for (int fd : heads) {
        // What the service answered, then the end of the connection if it closed it.
        char buffer[4096];
        ssize_t n = 0;
        while ((n = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT)) > 0) {
        }
        result.closed += n == 0;
        ::close(fd);
    }
    return result;
}

struct TricklingUploads {
    std::size_t before = 0, peak = 0, after = 0;  // resident memory, bytes
    std::size_t bodyBytes = 0;                    // of all the bodies together
};

// Run in this process, whose memory is the service's and the clients' few buffers.
TricklingUploads tricklingUploads(int port) {
    constexpr int kTricklers = 1500;
    constexpr std::size_t kBody = WebService::kUploadBodyLimit, kPiece = 1000;
    TricklingUploads result;
    result.bodyBytes = kTricklers * kBody;
    result.before = residentMemory();
    const std::string head =
        "POST /tv2/highscoreupload.php HTTP/1.1\r\nHost: x\r\nContent-Type: " + std::string(GameForm::kContentType) +
        "\r\nContent-Length: " + std::to_string(kBody) + "\r\n\r\n";
    std::vector<int> clients;
    {
        PeakSampler memory([] { return residentMemory(); });
        for (int i = 0; i < kTricklers; ++i) {
            const std::string source = "127.0.0." + std::to_string(10 + i % 30);
            const int fd = connectTo(port, source.c_str());
            if (fd < 0) continue;
            ::send(fd, head.data(), head.size(), MSG_NOSIGNAL);
            clients.push_back(fd);
        }
        const std::string piece(kPiece, 'z');
        for (std::size_t sent = 0; sent < kBody; sent += kPiece) {
            for (int fd : clients) ::send(fd, piece.data(), std::min(kPiece, kBody - sent), MSG_NOSIGNAL);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        // Each is refused (no score record), or told to come back when the workers fall behind.
        for (int fd : clients) {
            char status[13] = "";
            ::recv(fd, status, 12, MSG_WAITALL);
            ::close(fd);
        }
        result.peak = memory.finish();
    }
    result.after = residentMemory();
    for (int i = 0; i < 50 && result.after > result.before + (32u << 20); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        result.after = residentMemory();
    }
    return result;
}

// Opens `count` connections from `addresses` addresses of 127.0.1.0/24 and sends each
// `head` and one byte of its body.
std::vector<int> openTrickles(int port, int count, int addresses, const std::string& head) {
    std::vector<int> trickles;
    for (int i = 0; i < count; ++i) {
        const std::string source = "127.0.1." + std::to_string(1 + i % addresses);
        const int fd = connectTo(port, source.c_str());
        if (fd < 0) continue;
        const std::string start = head + "-";
        ::send(fd, start.data(), start.size(), MSG_NOSIGNAL);
        trickles.push_back(fd);
    }
    return trickles;
}

// Sends `bytes` on each of `trickles`.
void trickleMore(const std::vector<int>& trickles, const std::string& bytes) {
    for (int fd : trickles) ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
}

// Sends `bytes` on each of `trickles` that the service has not answered yet; those it has
// answered are closed and taken out, and those it cut off with 408 counted in `cut`.
void trickleUnanswered(std::vector<int>& trickles, const std::string& bytes, int& cut) {
    std::erase_if(trickles, [&](int fd) {
        pollfd readable{fd, POLLIN, 0};
        if (::poll(&readable, 1, 0) != 1) {
            ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            return false;
        }
        cut += statusBy(fd, Clock::now() + std::chrono::seconds(1)) == "HTTP/1.1 408 Request Timeout";
        ::close(fd);
        return true;
    });
}

// Closes `trickles`; how many of them the service had cut off with 408 by `end`.
int closeTrickles(const std::vector<int>& trickles, Clock::time_point end) {
    int cut = 0;
    for (int fd : trickles) {
        cut += statusBy(fd, end) == "HTTP/1.1 408 Request Timeout";
        ::close(fd);
    }
    return cut;
}

// 4,400 trickled upload bodies beside real uploads from 127.0.0.3: more than the bodies'
// budget would hold at their announced lengths.
BesideTrickles uploadsBesideTrickles(int port) {
    BesideTrickles result;
    result.before = residentMemory();
    const auto start = Clock::now();
    PeakSampler memory([] { return residentMemory(); });
    const std::vector<int> trickles = openTrickles(
        port, 4400, 80,
        "POST /tv2/highscoreupload.php HTTP/1.1\r\nHost: x\r\nContent-Type: " + std::string(GameForm::kContentType) +
            "\r\nContent-Length: " + std::to_string(WebService::kUploadBodyLimit) + "\r\n\r\n");
    result.trickles = static_cast<int>(trickles.size());
    bool tricklesFed = false;
    for (int i = 0; Clock::now() - start < std::chrono::seconds(9); ++i) {
        if (!tricklesFed && Clock::now() - start >= std::chrono::seconds(5)) {
            trickleMore(trickles, std::string(200, '-'));
            tricklesFed = true;
        }
        const auto sent = Clock::now();
        uploadHonestly(port, static_cast<std::uint32_t>(5000000 + i), 1000 + i, result);
        std::this_thread::sleep_until(sent + std::chrono::milliseconds(180));
    }
    result.cut = closeTrickles(trickles, start + std::chrono::seconds(12));
    result.peak = memory.finish();
    return result;
}

// 32 trickled crash heads beside small reports from 127.0.0.3, over a store of its own
// with the service's default limits. Nothing when its folder cannot be made.
std::optional<BesideTrickles> reportsBesideTrickles(const std::string& folder) {
    SqliteScoreStore scores(folder + "/trickled-heads.sqlite3");
    if (!scores.ok()) return std::nullopt;
    CrashReportStore crashes(folder + "/trickled-heads");
    WebService service(scores, crashes);
    const int port = service.bind("127.0.0.1", 0);
    std::thread server([&] { service.run(); });
    BesideTrickles result;
    const auto start = Clock::now();
    const std::vector<int> trickles = openTrickles(port, 32, 8, crashReportHead(WebService::kCrashReportBodyLimit));
    result.trickles = static_cast<int>(trickles.size());
    const std::string report = smallCrashReport();
    for (int i = 0; i < 5; ++i) {
        if (i == 4) {
            std::this_thread::sleep_until(start + std::chrono::seconds(8));
            trickleMore(trickles, "-");
        }
        std::this_thread::sleep_until(start + std::chrono::seconds(1 + 2 * i));
        const auto [status, ms] = postFrom(port, "127.0.0.3", "/tv2/crashreport.php", report);
        ++result.sent;
        if (!status.empty()) result.latencies.push_back(ms);
        result.taken += status == "HTTP/1.1 200 OK";
    }
    result.cut = closeTrickles(trickles, start + std::chrono::seconds(12));
    service.stop();
    server.join();
    return result;
}

// 100 crash reports announcing 32 MiB, trickled at 600 bytes a second from 10 addresses,
// beside a small report from 127.0.0.3 every 2 s from 20 s on, against the service
// program under an open-file limit of 1,024: reports in transit may take only a quarter
// of the files, which 80 of the trickles fill. Nothing when the program does not start.
std::optional<BesideTrickles> reportsBesideTrickledBodies(const std::string& folder) {
    constexpr int kReports = 10;
    ServiceProgram program;
    const int port = program.start(folder + "/trickled-bodies", 1024);
    if (port < 0) return std::nullopt;
    BesideTrickles result;
    const auto start = Clock::now();
    std::vector<int> trickles = openTrickles(port, 100, 10, crashReportHead(WebService::kCrashReportBodyLimit));
    result.trickles = static_cast<int>(trickles.size());
    std::atomic<bool> trickling = true;
    std::thread feeder([&] {
        for (auto next = start; trickling; next += std::chrono::milliseconds(100)) {
            std::this_thread::sleep_until(next);
            trickleUnanswered(trickles, std::string(60, '-'), result.cut);
        }
    });
    const std::string report = smallCrashReport();
    for (int i = 0; i < kReports; ++i) {
        std::this_thread::sleep_until(start + std::chrono::seconds(20 + 2 * i));
        const auto [status, ms] = postFrom(port, "127.0.0.3", "/tv2/crashreport.php", report);
        ++result.sent;
        if (!status.empty()) result.latencies.push_back(ms);
        result.taken += status == "HTTP/1.1 200 OK";
    }
    trickling = false;
    feeder.join();
    result.cut += closeTrickles(trickles, Clock::now());
    program.stop();
    return result;
}

// A crash report whole, of `length` bytes in all (at least a few hundred), as the game
// sends one, with its head.
std::pair<std::string, std::string> crashReportOf(std::size_t length) {
    const std::size_t overhead = GameForm().standardFields().file("crashMiniDump", "crash.mdmp", "").body().size();
    std::string body =
        GameForm().standardFields().file("crashMiniDump", "crash.mdmp", std::string(length - overhead, 'd')).body();
    return {crashReportHead(body.size()), std::move(body)};
}

// The time the service gives a body of `length` bytes, in seconds.
double timeOf(std::size_t length) {
    return std::chrono::duration<double>(HttpServer::Limits{}.body.timeFor(length)).count();
}

// The pace the service asks of a body of `length` bytes, in bytes per second.
double paceOf(std::size_t length) { return static_cast<double>(length) / timeOf(length); }

// Sends a crash report of `length` bytes from `source` in pieces of 1 KiB, each piece sent
// once the time the pieces before it and itself take at `share` of the pace the body's
// deadline asks (`paceOf`) has passed; a 503 sends it again on a new connection a second
// later, as Retry-After asks, until `end`. The status line it ends with ("" when the
// service closed it without one), and the 503s it heard.
std::pair<std::string, int> sendInPieces(int port, const std::string& source, std::size_t length, double share,
                                         Clock::time_point end) {
    constexpr std::size_t kPiece = 1024;
    const auto [head, body] = crashReportOf(length);
    const auto interval = std::chrono::duration<double>(kPiece / (paceOf(body.size()) * share));
    int retried = 0;
    std::string status;
    while (Clock::now() < end) {
        const int fd = connectTo(port, source.c_str());
        if (fd < 0) return {"", retried};
        const auto start = Clock::now();
        ::send(fd, head.data(), head.size(), MSG_NOSIGNAL);
        for (std::size_t sent = 0; sent < body.size();) {
            const std::size_t pieces = sent / kPiece + 1;  // with the next
            std::this_thread::sleep_until(
                start + std::chrono::duration_cast<Clock::duration>(interval * static_cast<double>(pieces)));
            pollfd readable{fd, POLLIN, 0};
            if (::poll(&readable, 1, 0) == 1) break;  // answered or closed before its end
            const std::size_t piece = std::min(kPiece, body.size() - sent);
            ::send(fd, body.data() + sent, piece, MSG_NOSIGNAL);
            sent += piece;
        }
        status = statusBy(fd, Clock::now() + std::chrono::seconds(5));
        ::close(fd);
        if (!status.starts_with("HTTP/1.1 503")) break;
        ++retried;
        std::this_thread::sleep_for(std::chrono::seconds(1));
    }
    return {status, retried};
}

struct HonestAtTheCap {
    IdleFlood flood;
    int stored = 0;                   // of the five honest reports
    int retried = 0;                  // 503s they heard and were sent again after
    std::vector<std::string> others;  // how the rest ended ("" when closed without a status)
};

// The idle flood at the cap: the service program under an open-file limit of 200 (about
// 136 connections), 120 idle connections opened again as the service closes them, at
// `rate` a second, and from 1 s on five crash reports of 64 KiB from 127.0.6.1 to
// 127.0.6.5 sent in pieces of 1 KiB at `share` of their pace. Nothing when the program
// does not start.
std::optional<HonestAtTheCap> reportsBesideIdleFlood(const std::string& folder, double rate, double share) {
    constexpr int kReports = 5;
    ServiceProgram program;
    const int port = program.start(folder + "/idle-flood-" + std::to_string(static_cast<int>(rate)) + "-" +
                                       std::to_string(static_cast<int>(share * 10)),
                                   200);
    if (port < 0) return std::nullopt;
    HonestAtTheCap result;
    std::atomic<bool> flooding = true;
    std::future<IdleFlood> flood =
        std::async(std::launch::async, [&] { return floodIdly(port, {.count = 120, .rate = rate}, flooding); });
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const auto end = Clock::now() + std::chrono::seconds(60);
    std::vector<std::future<std::pair<std::string, int>>> reports;
    for (int i = 0; i < kReports; ++i)
        reports.push_back(std::async(std::launch::async, sendInPieces, port, "127.0.6." + std::to_string(1 + i),
                                     64 * 1024, share, end));
    for (auto& report : reports) {
        const auto [status, retried] = report.get();
        result.retried += retried;
        if (status == "HTTP/1.1 200 OK")
            ++result.stored;
        else
            result.others.push_back(status);
    }
    flooding = false;
    result.flood = flood.get();
    program.stop();
    return result;
}

struct CrashFlood {
    int sent = 0, stored = 0;            // the honest reports
    int opened = 0;                      // the flood's reports, in all
    int tooMany = 0, busy = 0, cut = 0;  // of the flood's, answered 429, 503 and 408
    int other = 0;                       // answered otherwise, or closed without a status
};

// The slow crash flood: 100 crash reports announcing 32 MiB from `addresses` addresses of
// 127.0.1.0/24, each sent at 16.6 KB/s (0.52 of its pace) and opened again as soon as the
// service has answered or closed it, beside a small report from each of 127.0.5.1 to
// 127.0.5.10, one every 2 s from 20 s on, against the service program under an open-file
// limit of 1,024: reports in transit may take 80 slots. Nothing when it does not start.
std::optional<CrashFlood> reportsBesideCrashFlood(const std::string& folder, int addresses) {
    constexpr int kFlood = 100, kReports = 10;
    ServiceProgram program;
    const int port = program.start(folder + "/crash-flood-" + std::to_string(addresses), 1024);
    if (port < 0) return std::nullopt;
    const std::string head = crashReportHead(WebService::kCrashReportBodyLimit) + "-";
    CrashFlood result;
    const auto open = [&](int i) {
        const int fd = connectTo(port, ("127.0.1." + std::to_string(1 + i % addresses)).c_str());
        if (fd >= 0) ::send(fd, head.data(), head.size(), MSG_NOSIGNAL);
        ++result.opened;
        return fd;
    };
    std::vector<int> flood;
    for (int i = 0; i < kFlood; ++i) flood.push_back(open(i));
    std::atomic<bool> flooding = true;
    const auto start = Clock::now();
    std::thread feeder([&] {
        const std::string bytes(1660, '-');
        for (auto next = start; flooding; next += std::chrono::milliseconds(100)) {
            std::this_thread::sleep_until(next);
            for (int i = 0; i < kFlood; ++i) {
                pollfd readable{flood[i], POLLIN, 0};
                if (flood[i] >= 0 && ::poll(&readable, 1, 0) == 0) {
                    ::send(flood[i], bytes.data(), bytes.size(), MSG_NOSIGNAL);
                    continue;
                }
                const std::string status = flood[i] >= 0 ? statusBy(flood[i], Clock::now()) : "";
                (status.starts_with("HTTP/1.1 429")   ? result.tooMany
                 : status.starts_with("HTTP/1.1 503") ? result.busy
                 : status.starts_with("HTTP/1.1 408") ? result.cut
                                                      : result.other) += 1;
                if (flood[i] >= 0) ::close(flood[i]);
                flood[i] = open(i);
            }
        }
    });
    const std::string report = smallCrashReport();
    for (int i = 0; i < kReports; ++i) {
        std::this_thread::sleep_until(start + std::chrono::seconds(20 + 2 * i));
        const std::string source = "127.0.5." + std::to_string(1 + i);
        ++result.sent;
        result.stored += postFrom(port, source.c_str(), "/tv2/crashreport.php", report).first == "HTTP/1.1 200 OK";
    }
    flooding = false;
    feeder.join();
    for (int fd : flood)
        if (fd >= 0) ::close(fd);
    program.stop();
    return result;
}

// Runs the idle flood at the cap at 10 and 100 new connections a second, beside honest
// reports at their pace and at 1.2 times it, and prints each; true when every honest
// report is stored.
bool idleFloodAtTheCap(const std::string& folder) {
    bool met = true;
    for (const double rate : {10.0, 100.0})
        for (const double share : {1.0, 1.2}) {
            std::optional<HonestAtTheCap> run = reportsBesideIdleFlood(folder, rate, share);
            if (!run) std::printf("service: the service program did not start for the idle flood\n");
            if (!run) run.emplace();
            std::string others;
            for (const std::string& status : run->others)
                others += " [" + (status.empty() ? "no status" : status) + "]";
            std::printf(
                "service: beside 120 idle connections at the cap opened again at %.0f a second (%d in all; closed with "
                "a status %d, without %d), %d of 5 crash reports of 64 KiB sent in 1 KiB pieces at %.1fx their pace "
                "stored (goal 5), after %d 503s; the others:%s\n",
                rate, run->flood.opened, run->flood.heard, run->flood.silent, run->stored, share, run->retried,
                others.empty() ? " none" : others.c_str());
            met = met && run->stored == 5;
        }
    return met;
}

// Runs the slow crash flood from 10 addresses and prints it; true when at least 9 of 10
// honest reports are stored.
bool crashFlood(const std::string& folder) {
    std::optional<CrashFlood> run = reportsBesideCrashFlood(folder, 10);
    if (!run) std::printf("service: the service program did not start for the slow crash flood\n");
    if (!run) run.emplace();
    std::printf(
        "service: beside 100 crash reports of 32 MiB from 10 addresses sent at 0.52 of their pace under an open-file "
        "limit of 1024 (%d in all; answered 429 %d, 503 %d, 408 %d, otherwise or not at all %d), %d of %d honest "
        "reports stored from 20 s on (goal at least 9 of 10)\n",
        run->opened, run->tooMany, run->busy, run->cut, run->other, run->stored, run->sent);
    return run->sent > 0 && run->stored * 10 >= run->sent * 9;
}

// A flood of upload bodies: each announces `length` bytes and sends `perRound` of them
// every 100 ms (after a first byte), until it has sent them all.
struct UploadFlood {
    std::size_t length = 0;
    std::size_t perRound = 0;
    const char* name = "";
};

// 10,000 upload bodies of `flood` from 200 addresses of 127.0.3.0/24, 50 from each, every
// one opened again as soon as the service has answered or closed it (at most 2,000 a
// second), beside an honest upload from 127.0.0.3 every 200 ms from 5 s to 30 s, against
// the service program. Nothing when it does not start.
std::optional<BesideTrickles> uploadsBesideManyAddresses(const std::string& folder, const UploadFlood& flood) {
    constexpr int kTrickles = 10000, kAddresses = 200;
    ServiceProgram program;
    const int port = program.start(folder + "/many-addresses-" + flood.name);
    if (port < 0) return std::nullopt;
    const pid_t pid = program.pid();
    const std::string start =
        "POST /tv2/highscoreupload.php HTTP/1.1\r\nHost: x\r\nContent-Type: " + std::string(GameForm::kContentType) +
        "\r\nContent-Length: " + std::to_string(flood.length) + "\r\n\r\n-";
    struct Trickle {
        int fd = -1;  // -1: none now
        std::string source;
        std::size_t sent = 0;  // of the body
        Clock::time_point opened{};
    };
    const auto open = [&](Trickle& t) {
        t.fd = connectTo(port, t.source.c_str());
        if (t.fd >= 0) ::send(t.fd, start.data(), start.size(), MSG_NOSIGNAL);
        t.sent = 1;
        t.opened = Clock::now();
    };
    BesideTrickles result;
    result.before = residentMemory(pid);
    PeakSampler memory([pid] { return residentMemory(pid); });
    const auto begun = Clock::now();
    std::vector<Trickle> trickles(kTrickles);
    for (int i = 0; i < kTrickles; ++i) {
        trickles[i].source = "127.0.3." + std::to_string(1 + i % kAddresses);
        open(trickles[i]);
    }
    result.trickles = kTrickles;
    std::atomic<bool> trickling = true;
    // Each body is sent as its clock says, not one piece a round, so that a round made
    // late by the reopening keeps no body from its pace; and only so many are opened again
    // a round, so that the rounds keep their time.
    std::thread feeder([&] {
        constexpr int kOpenedPerRound = 200;
        const std::string bytes(flood.length, '-');
        for (auto next = begun; trickling; next += std::chrono::milliseconds(100)) {
            std::this_thread::sleep_until(next);
            const auto now = Clock::now();
            int opened = 0;
            for (Trickle& t : trickles) {
                pollfd readable{t.fd, POLLIN, 0};
                if (t.fd >= 0 && ::poll(&readable, 1, 0) == 0) {
                    const auto rounds = static_cast<std::size_t>((now - t.opened) / std::chrono::milliseconds(100));
                    const std::size_t due = std::min(flood.length, 1 + rounds * flood.perRound);
                    if (due > t.sent) {
                        const ssize_t n = ::send(t.fd, bytes.data(), due - t.sent, MSG_NOSIGNAL);
                        if (n > 0) t.sent += static_cast<std::size_t>(n);
                    }
                    continue;
                }
                if (t.fd >= 0) {
                    const std::string status = statusBy(t.fd, now);
                    result.cut += status == "HTTP/1.1 408 Request Timeout";
                    result.trickleBusy += status == "HTTP/1.1 503 Service Unavailable";
                    ::close(t.fd);
                    t.fd = -1;
                }
                if (opened < kOpenedPerRound) {
                    open(t);
                    ++opened;
                    ++result.trickles;
                }
            }
        }
    });
    std::this_thread::sleep_until(begun + std::chrono::seconds(5));
    for (int i = 0; Clock::now() - begun < std::chrono::seconds(30); ++i) {
        const auto sent = Clock::now();
        uploadHonestly(port, static_cast<std::uint32_t>(6000000 + i), 1000 + i, result);
        std::this_thread::sleep_until(sent + std::chrono::milliseconds(200));
    }
    trickling = false;
    feeder.join();
    for (const Trickle& t : trickles)
        if (t.fd >= 0) ::close(t.fd);
    result.peak = memory.finish();
    program.stop();
    return result;
}

// The trickles from many addresses: 64 KiB bodies at 600 bytes a second, soon cut off.
constexpr UploadFlood kTrickledUploads{WebService::kUploadBodyLimit, 60, "trickles"};
// Clients that keep their pace, from as many addresses: 16 KiB at 600 bytes a second
// (their pace is 537), which hold their connections for 27 s; and 64 KiB at 2,100 (their
// pace is 2,048), which the memory held for bodies cannot hold all at once.
constexpr UploadFlood kSmallPaceKeepers{16 * 1024, 60, "small pace-keepers"};
constexpr UploadFlood kLargePaceKeepers{WebService::kUploadBodyLimit, 210, "large pace-keepers"};

// Prints the pace-keepers beside honest uploads, and whether every honest upload was
// answered with a status (200 or 503) and the service's memory stayed under 512 MiB.
bool paceKeepersGoal(const std::optional<BesideTrickles>& run, const UploadFlood& flood) {
    if (!run) {
        std::printf("service: the service program did not start for the %s\n", flood.name);
        return false;
    }
    std::printf(
        "service: beside 10000 upload bodies of %zu bytes sent at %zu bytes a second from 200 addresses and opened "
        "again as soon as answered, at most 2000 a second (%d in all, %d cut off with 408, %d answered 503), of %d "
        "honest uploads %d were answered with 200 and %d with 503 (goal: each with one of them); the service's "
        "resident memory %.1f MiB "
        "before, at most %.1f MiB (goal under 512)\n",
        flood.length, flood.perRound * 10, run->trickles, run->cut, run->trickleBusy, run->sent, run->taken, run->busy,
        mib(run->before), mib(run->peak));
    return run->sent > 0 && run->taken + run->busy == run->sent && run->peak < (512u << 20);
}

// The high-score upload sent on a slow link.
std::string slowUpload() { return honestUpload(7000000, 1); }

// How a client on a slow or unsteady link sends a body: a burst at once, then spells each
// at a rate (0: a stall), in turn, over and over when `repeated`, and what the service
// should make of it.
struct LinkProfile {
    enum class Goal {
        stored,         // stored, or still coming uncut when no longer watched
        cutSoon,        // a trickle: 408 within 15 s
        cutAt,          // 408 within 0.5 s of `cutAt`
        heldToItsTime,  // stored, or 408 no sooner than its time's end
    };

    const char* name;
    std::size_t length;                             // of a crash report's body, about; else of the upload's
    std::size_t burst = 0;                          // bytes sent with the head
    std::vector<std::pair<double, double>> spells;  // seconds, bytes per second
    bool repeated = false;
    // The spells' bytes go in whole pieces of this many bytes (the last may be shorter),
    // each once the spells have reached its end; 0: as the spells have them.
    std::size_t piece = 0;
    bool upload = false;  // a high-score upload, not a crash report
    Goal goal = Goal::stored;
    double cutAt = 0;     // seconds from the head, as the README's table of paces has it
    double watched = 40;  // seconds from the head after which the client stops sending

    // The bytes of a body of `whole` bytes sent `t` seconds after the head.
    std::size_t sentBy(double t, std::size_t whole) const {
        double spelled = 0;
        for (std::size_t i = 0; t > 0 && (repeated || i < spells.size()); ++i) {
            const auto [seconds, rate] = spells[i % spells.size()];
            spelled += std::min(t, seconds) * rate;
            t -= seconds;
        }
        if (static_cast<double>(burst) + spelled >= static_cast<double>(whole)) return whole;
        if (piece > 0) spelled = std::floor(spelled / static_cast<double>(piece)) * static_cast<double>(piece);
        return burst + static_cast<std::size_t>(spelled);
    }
};

struct PacedReport {
    std::string status;  // the status line, empty when none came
    double seconds = 0;  // from the head until the answer, or until the case ended
};

// The body `profile` sends: an upload, or a crash report of `profile.length` bytes.
std::string pacedBody(const LinkProfile& profile) {
    if (profile.upload) return slowUpload();
    return crashReportOf(profile.length).second;
}

// Sends `profile`'s body from `source` at the profile's pace, in rounds of 100 ms, until
// it is answered or it has been watched for long enough.
PacedReport sendAtPace(int port, const std::string& source, const LinkProfile& profile) {
    const std::string body = pacedBody(profile);
    PacedReport result;
    const int fd = connectTo(port, source.c_str());
    if (fd < 0) return result;
    const std::string head =
        postHead(profile.upload ? "/tv2/highscoreupload.php" : "/tv2/crashreport.php", body.size());
    const auto start = Clock::now();
    const auto end = start + std::chrono::duration<double>(profile.watched);
    ::send(fd, head.data(), head.size(), MSG_NOSIGNAL);
    std::size_t sent = 0;
    for (auto round = start;; round += std::chrono::milliseconds(100)) {
        std::this_thread::sleep_until(round);
        const std::size_t due = profile.sentBy(std::chrono::duration<double>(round - start).count(), body.size());
        if (due > sent && ::send(fd, body.data() + sent, due - sent, MSG_NOSIGNAL) > 0) sent = due;
        pollfd readable{fd, POLLIN, 0};
        if (sent == body.size() || ::poll(&readable, 1, 0) == 1 || round >= end) {
            result.status = statusBy(fd, sent == body.size() ? Clock::now() + std::chrono::seconds(5) : Clock::now());
            break;
        }
    }
    result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    ::close(fd);
    return result;
}

// Whether the service did with `report` what `profile`'s goal asks, and that goal in words.
std::pair<bool, std::string> linkGoal(const LinkProfile& profile, const PacedReport& report) {
    const bool stored = report.status == "HTTP/1.1 200 OK", cut = report.status == "HTTP/1.1 408 Request Timeout";
    char text[96];
    switch (profile.goal) {
        case LinkProfile::Goal::stored:
            std::snprintf(text, sizeof text, "stored, or still coming at %.0f s", profile.watched);
            return {stored || (report.status.empty() && report.seconds >= profile.watched - 1), text};
        case LinkProfile::Goal::cutSoon:
            return {cut && report.seconds < 15, "408 within 15 s"};
        case LinkProfile::Goal::cutAt:
            std::snprintf(text, sizeof text, "408 at %.1f s, within 0.5 s", profile.cutAt);
            return {cut && std::abs(report.seconds - profile.cutAt) < 0.5, text};
        case LinkProfile::Goal::heldToItsTime:
            std::snprintf(text, sizeof text, "stored, or 408 no sooner than its time's end at %.2f s",
                          timeOf(profile.length));
            return {stored || (cut && report.seconds >= timeOf(profile.length)), text};
    }
    return {false, ""};
}

// The bodies of honest clients on slow or unsteady links, of clients slower than their
// pace, and of two trickles, all at once, each from an address of its own, over a store of
// its own with the service's default limits. The profiles' results in their order;
// nothing when the store cannot be made.
const std::vector<LinkProfile>& linkProfiles() {
    using Goal = LinkProfile::Goal;
    constexpr std::size_t KiB = 1024;
    static const std::size_t upload = slowUpload().size();
    static const std::vector<LinkProfile> profiles = {
        {.name = "300 KiB at 9.6 KiB/s, a stall of 3 s at 10 s",
         .length = 300 * KiB,
         .spells = {{10, 9.6 * KiB}, {3, 0}, {1e6, 9.6 * KiB}}},
        {.name = "300 KiB: stalls 3 s, then 2 s at 24 KiB/s, over and over",
         .length = 300 * KiB,
         .spells = {{3, 0}, {2, 24 * KiB}},
         .repeated = true},
        {.name = "300 KiB: 1 KiB, a pause of 9.5 s, then 100 KiB/s",
         .length = 300 * KiB,
         .burst = KiB,
         .spells = {{9.5, 0}, {1e6, 100 * KiB}}},
        {.name = "32 MiB at 40 KiB/s, a stall of 3 s at 10 s (40 s of it)",
         .length = 32 * KiB * KiB,
         .spells = {{10, 40 * KiB}, {3, 0}, {1e6, 40 * KiB}}},
        {.name = "300 KiB at 8 KiB/s, just over its pace", .length = 300 * KiB, .spells = {{1e6, 8 * KiB}}},
        {.name = "64 KiB after a pause of 9 s", .length = 64 * KiB, .spells = {{9, 0}, {1e6, 10 * KiB}}},
        {.name = "8 KiB at 400 B/s, under the least rate but ahead of its pace",
         .length = 8 * KiB,
         .spells = {{1e6, 400}}},
        {.name = "a high-score upload at its pace in pieces of 1 KiB, the first at once",
         .length = upload,
         .burst = KiB,
         .spells = {{1e6, paceOf(upload)}},
         .piece = KiB,
         .upload = true},
        {.name = "a high-score upload at its pace in pieces of 1 KiB, each once its pace has reached its end",
         .length = upload,
         .spells = {{1e6, paceOf(upload)}},
         .piece = KiB,
         .upload = true,
         .goal = Goal::heldToItsTime},
        {.name = "300 KiB at half its pace",
         .length = 300 * KiB,
         .spells = {{1e6, paceOf(300 * KiB) / 2}},
         .goal = Goal::cutAt,
         .cutAt = 26.3},
        {.name = "2 MiB at half its pace",
         .length = 2 * KiB * KiB,
         .spells = {{1e6, paceOf(2 * KiB * KiB) / 2}},
         .goal = Goal::cutAt,
         .cutAt = 62.7,
         .watched = 70},
        {.name = "300 KiB trickled at 600 B/s", .length = 300 * KiB, .spells = {{1e6, 600}}, .goal = Goal::cutSoon},
        {.name = "32 MiB trickled at 600 B/s", .length = 32 * KiB * KiB, .spells = {{1e6, 600}}, .goal = Goal::cutSoon},
    };
    return profiles;
}

std::optional<std::vector<PacedReport>> reportsOnSlowLinks(const std::string& folder) {
    SqliteScoreStore scores(folder + "/slow-links.sqlite3");
    if (!scores.ok()) return std::nullopt;
    CrashReportStore crashes(folder + "/slow-links");
    WebService service(scores, crashes);
    const int port = service.bind("127.0.0.1", 0);
    std::thread server([&] { service.run(); });
    const std::vector<LinkProfile>& profiles = linkProfiles();
    std::vector<PacedReport> results(profiles.size());
    std::vector<std::thread> clients;
    for (std::size_t i = 0; i < profiles.size(); ++i)
        clients.emplace_back(
            [&, i] { results[i] = sendAtPace(port, "127.0.2." + std::to_string(1 + i), profiles[i]); });
    for (std::thread& client : clients) client.join();
    service.stop();
    server.join();
    return results;
}

// Asks for the help page on a new connection every 50 ms until `end`; the delays in ms
// (a failed probe counts as 5 s).
std::vector<double> probeUntil(int port, Clock::time_point end) {
    std::vector<double> delays;
    while (Clock::now() < end) {
        delays.push_back(probeHelpPage(port));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return delays;
}

// The high-score page drawn from `store` without a kept copy, in ms on average.
double pageCost(ScoreStore& store) {
    constexpr int kDraws = 50;
    const auto start = Clock::now();
    std::size_t bytes = 0;
    for (int i = 0; i < kDraws; ++i) bytes += ScoreTablePage::render(store, std::nullopt).size();
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count() / kDraws;
    return bytes > 0 ? ms : 0;
}

// Asks for the high-score page again and again on one keep-alive connection from
// `source` until `end`, as a plain client that drops what it reads; the pages answered.
long readPages(int port, const char* source, Clock::time_point end) {
    const int fd = connectTo(port, source);
    if (fd < 0) return 0;
    const timeval timeout{5, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    const std::string request = "GET /tv2/highscoretable.php HTTP/1.1\r\nHost: x\r\n\r\n";
    std::vector<char> buffer(256 * 1024);
    long pages = 0;
    while (Clock::now() < end && ::send(fd, request.data(), request.size(), MSG_NOSIGNAL) > 0) {
        // The head, then as many bytes of body as it announces.
        std::string head;
        std::size_t headEnd = std::string::npos;
        ssize_t n = 0;
        while (headEnd == std::string::npos && (n = ::recv(fd, buffer.data(), buffer.size(), 0)) > 0) {
            head.append(buffer.data(), static_cast<std::size_t>(n));
            headEnd = head.find("\r\n\r\n");
        }
        const std::size_t length = head.find("Content-Length: ");
        if (headEnd == std::string::npos || !head.starts_with("HTTP/1.1 200") || length > headEnd) break;
        const std::size_t body = std::strtoul(head.c_str() + length + 16, nullptr, 10);
        std::size_t left = body - std::min(body, head.size() - headEnd - 4);
        while (left > 0 && (n = ::recv(fd, buffer.data(), std::min(left, buffer.size()), 0)) > 0)
            left -= static_cast<std::size_t>(n);
        if (left > 0) break;
        ++pages;
    }
    ::close(fd);
    return pages;
}

struct ReaderPhase {
    double uploadRate = 0;       // per second
    double pagesPerSecond = 0;   // read by the readers
    std::vector<double> probes;  // ms
};

struct PageLoad {
    double costAtFew = 0, costAtMany = 0;  // ms per page of all tables
    ReaderPhase quiet, reading;            // without and with the page's readers
};

// 32 uploading clients and a probe for 4 s, beside `readers` connections from
// 127.0.0.2 that read the high-score page without pause.
ReaderPhase uploadsBesideReaders(int port, int readers) {
    constexpr auto kPhase = std::chrono::seconds(4);
    const auto start = Clock::now();
    const auto end = start + kPhase;
    std::atomic<long> pages = 0;
    std::vector<std::thread> threads;
    for (int i = 0; i < readers; ++i) threads.emplace_back([&] { pages += readPages(port, "127.0.0.2", end); });
    std::vector<ClientResult> results(kClients);
    for (int i = 0; i < kClients; ++i) threads.emplace_back(runClient, port, i, end, std::ref(results[i]));
    ReaderPhase phase;
    phase.probes = probeUntil(port, end);
    for (std::thread& t : threads) t.join();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    long acknowledged = 0;
    for (const ClientResult& r : results) acknowledged += r.acknowledged;
    phase.uploadRate = static_cast<double>(acknowledged) / seconds;
    phase.pagesPerSecond = static_cast<double>(pages) / seconds;
    return phase;
}

// The high-score page's cost at 100 and at 300,000 installations, then uploads and probes
// beside 64 readers of the page. Nothing when a database cannot be made.
std::optional<PageLoad> highScorePage(const std::string& folder) {
    constexpr int kInstallations = 300000;
    PageLoad load;
    {
        const std::string path = folder + "/few.sqlite3";
        if (!SqliteScoreStore(path).ok() || !fillInstallations(path, 100)) return std::nullopt;
        SqliteScoreStore few(path);
        load.costAtFew = pageCost(few);
    }
    const std::string path = folder + "/many.sqlite3";
    if (!SqliteScoreStore(path).ok()) return std::nullopt;  // makes the schema
    const auto filling = Clock::now();
    if (!fillInstallations(path, kInstallations)) return std::nullopt;
    std::printf("service: %d installations stored in %.1f s\n", kInstallations,
                std::chrono::duration<double>(Clock::now() - filling).count());
    SqliteScoreStore scores(path);
    if (!scores.ok()) return std::nullopt;
    load.costAtMany = pageCost(scores);
    CrashReportStore crashes(folder + "/page-crashreports");
    WebService service(scores, crashes);
    const int port = service.bind("127.0.0.1", 0);
    std::thread server([&] { service.run(); });
    load.quiet = uploadsBesideReaders(port, 0);
    load.reading = uploadsBesideReaders(port, 64);
    service.stop();
    server.join();
    return load;
}

// Runs `sql` on a connection of its own to the database at `path`; the first column of
// its last row as a number, or -1 when it fails.
long long runSql(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    long long value = -1;
    const auto keep = [](void* into, int, char** row, char**) {
        *static_cast<long long*>(into) = row[0] ? std::atoll(row[0]) : 0;
        return 0;
    };
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK ||
        sqlite3_exec(db, sql.c_str(), keep, &value, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "service: cannot run SQL on %s: %s\n", path.c_str(), sqlite3_errmsg(db));
        value = -1;
    }
    sqlite3_close(db);
    return value;
}

struct LockedStop {
    double exitSeconds = 0;  // from SIGTERM to the program's end
    bool exitedCleanly = false;
    int retryLater = 0;    // answered 503 with Retry-After
    int acknowledged = 0;  // answered 200
    int other = 0;         // any other answer
    int unanswered = 0;
    double lastAnswer = 0;  // seconds from SIGTERM to the last answer
    long long stored = -1;  // uploads in the database afterwards
};

// The service program while another connection holds the database's write lock, as a
// backup or an administrator's session may: uploads in flight, more than its workers
// take, then SIGTERM. Nothing when the program does not start or the lock cannot be had.
std::optional<LockedStop> stopUnderHeldLock(const std::string& folder) {
    constexpr int kUploads = 100;
    const std::string data = folder + "/locked";
    ServiceProgram program;
    const int port = program.start(data);
    if (port < 0) return std::nullopt;
    sqlite3* holder = nullptr;
    const std::string path = data + "/scores.sqlite3";
    if (sqlite3_open(path.c_str(), &holder) != SQLITE_OK ||
        sqlite3_exec(holder, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "service: cannot lock %s: %s\n", path.c_str(), sqlite3_errmsg(holder));
        sqlite3_close(holder);
        return std::nullopt;
    }
    struct Answer {
        int status = 0;  // 0: none
        bool retryAfter = false;
        Clock::time_point at;
    };
    std::vector<Answer> answers(kUploads);
    std::vector<std::thread> clients;
    for (int i = 0; i < kUploads; ++i)
        clients.emplace_back([port, i, &answer = answers[i]] {
            ScoreRecordBuilder record(static_cast<std::uint32_t>(1000 + i));
            record.entry(0, 0, "Held", 1000 + i);
            const std::string body = GameForm().standardFields().file("HSTfile", "s.hst", record.bytes()).body();
            const std::string request = "POST /tv2/highscoreupload.php HTTP/1.1\r\nHost: x\r\nContent-Type: " +
                                        std::string(GameForm::kContentType) +
                                        "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
            // From several addresses, since one may hold only so many connections.
            const std::string source = "127.0.0." + std::to_string(10 + i % 4);
            const int fd = connectTo(port, source.c_str());
            if (fd < 0) return;
            const timeval timeout{30, 0};
            ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
            std::string reply;
            if (::send(fd, request.data(), request.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(request.size())) {
                char buffer[4096];
                ssize_t n = 0;
                while (reply.find("\r\n\r\n") == std::string::npos && (n = ::recv(fd, buffer, sizeof buffer, 0)) > 0)
                    reply.append(buffer, static_cast<std::size_t>(n));
            }
            answer.at = Clock::now();
            ::close(fd);
            if (reply.size() < 12 || !reply.starts_with("HTTP/1.1 ")) return;
            answer.status = std::atoi(reply.c_str() + 9);
            answer.retryAfter = reply.find("\r\nRetry-After: ") < reply.find("\r\n\r\n");
        });
    // Long enough for every upload to reach a worker or the queue.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    LockedStop result;
    const auto signalled = Clock::now();
    result.exitSeconds = program.stop();
    result.exitedCleanly = WIFEXITED(program.status()) && WEXITSTATUS(program.status()) == 0;
    for (std::thread& c : clients) c.join();
    sqlite3_exec(holder, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(holder);
    for (const Answer& a : answers) {
        if (a.status == 0) {
            ++result.unanswered;
            continue;
        }
        result.lastAnswer = std::max(result.lastAnswer, std::chrono::duration<double>(a.at - signalled).count());
        if (a.status == 503 && a.retryAfter)
            ++result.retryLater;
        else if (a.status == 200)
            ++result.acknowledged;
        else
            ++result.other;
    }
    result.stored = runSql(path, "SELECT COUNT(*) FROM uploads");
    return result;
}

struct Upgrade {
    double seconds = -1;    // to open the store over the old database; -1: it failed
    long long best = -1;    // best entries kept afterwards
    long long schema = -1;  // the schema's version afterwards
};

// A database of the first schema with 3,000,000 scores, as the service left it (in the
// write-ahead log's mode): 300,000 installations with two scores in every table, their
// scores and times often equal. The time the store takes to open it, bringing it up to date.
Upgrade upgradeFromFirstSchema(const std::string& folder) {
    constexpr long kInstallations = 300000, kScoresEach = 2;
    constexpr long kScores = kInstallations * kScoresEach * 5;
    const std::string path = folder + "/first-schema.sqlite3";
    // Inserted in the order of the scores' key, as they would be found on the disk.
    const std::string fill =
        "PRAGMA journal_mode=WAL;" + std::string(kFirstSchema) +
        "BEGIN; WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
        std::to_string(kInstallations) + ") INSERT INTO installations SELECT i, 'DE', i FROM n; " +
        "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < " + std::to_string(kScores - 1) +
        ") INSERT INTO scores SELECT i / " + std::to_string(kScores / 5) + ", 1 + i % " + std::to_string(kScores / 5) +
        " / " + std::to_string(kScoresEach) +
        ", randomblob(16), 'Player ' || (i % 1000), abs(random()) % 1000, 1700000000 + abs(random()) % 50, 1 FROM n; "
        "COMMIT; SELECT COUNT(*) FROM scores;";
    const auto filling = Clock::now();
    if (runSql(path, fill) != kScores) return {};
    std::printf("service: a database of the first schema with %ld scores made in %.1f s\n", kScores,
                std::chrono::duration<double>(Clock::now() - filling).count());
    Upgrade result;
    const auto opening = Clock::now();
    {
        SqliteScoreStore store(path);
        if (!store.ok()) {
            std::fprintf(stderr, "service: %s\n", store.openError().c_str());
            return {};
        }
        result.seconds = std::chrono::duration<double>(Clock::now() - opening).count();
    }
    result.best = runSql(path, "SELECT COUNT(*) FROM best_scores");
    result.schema = runSql(path, "PRAGMA user_version");
    return result;
}

// The bytes taken from the heap now, mapped blocks included.
std::size_t heapInUse() {
    const struct mallinfo2 info = ::mallinfo2();
    return info.uordblks + info.hblkhd;
}

struct LimitMemory {
    double bytesPerAddress = 0;       // 50,000 addresses against one
    std::size_t rotatedNetworks = 0;  // after 50,000 addresses of one /64
    std::size_t floodNetworks = 0;    // after 1,000,000 /64s
    std::size_t floodHeap = 0;
    double floodMicros = 0;  // per take
};

// The heap an hourly limit holds after `count` takes, by the address of each, and the
// networks it then tracks.
template <typename Address>
std::pair<std::size_t, std::size_t> limitHeld(int count, Address address, double* micros = nullptr) {
    const std::size_t before = heapInUse();
    HourlyLimit limit(WebService::kNewInstallationsPerHour);
    const auto start = Clock::now();
    for (int i = 0; i < count; ++i) limit.take(address(i));
    if (micros) *micros = std::chrono::duration<double, std::micro>(Clock::now() - start).count() / count;
    return {heapInUse() - before, limit.networkCount()};
}

LimitMemory hourlyLimitMemory() {
    constexpr int kAddresses = 50000;
    const auto v4 = [](int i) {
        return "10." + std::to_string(i >> 16) + "." + std::to_string((i >> 8) & 255) + "." + std::to_string(i & 255);
    };
    const auto v6 = [](const char* prefix) {
        return [prefix](int i) {
            char text[64];
            std::snprintf(text, sizeof text, prefix, i >> 16, i & 0xffff);
            return std::string(text);
        };
    };
    LimitMemory result;
    const std::size_t many = limitHeld(kAddresses, v4).first;
    const std::size_t one = limitHeld(kAddresses, [](int) { return std::string("10.0.0.1"); }).first;
    result.bytesPerAddress = (static_cast<double>(many) - static_cast<double>(one)) / kAddresses;
    result.rotatedNetworks = limitHeld(kAddresses, v6("2001:db8:5:6:%x:%x::1")).second;
    std::tie(result.floodHeap, result.floodNetworks) = limitHeld(1000000, v6("2001:db8:%x:%x::1"), &result.floodMicros);
    return result;
}

double percentile(std::vector<double>& values, double p) {
    if (values.empty()) return 0;
    const auto at = values.begin() + static_cast<long>(p * static_cast<double>(values.size() - 1));
    std::nth_element(values.begin(), at, values.end());
    return *at;
}

}  // namespace

int main(int argc, char** argv) {
    std::string folder = (std::filesystem::temp_directory_path() / "torvane-bench-service-XXXXXX").string();
    if (!::mkdtemp(folder.data())) return 1;
    // The cases of clients that hold the service's places, each true when its goals are met.
    using Case = std::pair<std::string, std::function<bool()>>;
    const std::vector<Case> places = {
        {"file-limit", [&] { return fileLimitCrashReport(folder); }},
        {"idle-newcomers", [&] { return idleNewcomers(folder); }},
        {"renewed-heads", [&] { return renewedHeads(folder); }},
        {"unread-answers", [&] { return unreadAnswers(folder); }},
        {"split-heads", [&] { return splitHeads(folder); }},
        {"waves", [&] { return newcomersBesideAllWaves(folder); }},
        {"slow-readers", [&] { return slowReaders(folder); }},
        {"unread-memory", [&] { return unreadMemory(folder); }},
    };
    // The cases that run alone when named on the command line.
    std::vector<Case> alone = {
        {"idle-flood", [&] { return idleFloodAtTheCap(folder); }},
        {"crash-flood", [&] { return crashFlood(folder); }},
        {"pace-keepers",
         [&] {
             return paceKeepersGoal(uploadsBesideManyAddresses(folder, kSmallPaceKeepers), kSmallPaceKeepers) &&
                    paceKeepersGoal(uploadsBesideManyAddresses(folder, kLargePaceKeepers), kLargePaceKeepers);
         }},
    };
    alone.insert(alone.end(), places.begin(), places.end());
    if (argc > 1) {
        bool met = true;
        for (const std::string& name : std::vector<std::string>(argv + 1, argv + argc)) {
            const auto found = std::find_if(alone.begin(), alone.end(), [&](const auto& c) { return c.first == name; });
            if (found == alone.end())
                met = std::fprintf(stderr, "bench_service: no case is named %s\n", name.c_str()) < 0;
            else
                met = found->second() && met;
        }
        std::filesystem::remove_all(folder);
        std::printf("service: %s\n", met ? "goals met" : "GOALS MISSED");
        return met ? 0 : 1;
    }
    long stored = 0;
    std::vector<ClientResult> results(kClients);
    double seconds = 0;
    std::int64_t longestLog = 0;
    std::vector<double> probes;
    std::size_t memoryBefore = 0, memoryPeak = 0;
    int reportsTaken = 0;
    constexpr int kReports = 64;
    double oneAddressShare = 0;
    int oneAddressHeld = 0;
    SilentHeads silent;
    TricklingUploads trickling;
    BesideTrickles uploadsBeside;
    std::optional<ResetFlood> flood;
    {
        SqliteScoreStore scores(folder + "/scores.sqlite3");
        CrashReportStore crashes(folder + "/crashreports", {std::uint64_t{8} << 30, 1000});
        WebService service(scores, crashes);
        const int port = service.bind("127.0.0.1", 0);
        std::thread server([&] { service.run(); });

        {
            const auto start = Clock::now();
            std::vector<std::thread> clients;
            for (int i = 0; i < kClients; ++i)
                clients.emplace_back(runClient, port, i, start + kDuration, std::ref(results[i]));
            for (std::thread& c : clients) c.join();
            seconds = std::chrono::duration<double>(Clock::now() - start).count();
            // The log file is never cut back while the store is open: its length is the
            // longest the log has been.
            std::error_code ec;
            longestLog = static_cast<std::int64_t>(std::filesystem::file_size(folder + "/scores.sqlite3-wal", ec));
        }

        probes = probeBesideSlowClients(port);
        oneAddressShare = probeBesideOneAddressFlood(port, oneAddressHeld);
        silent = silentHeads(port);
        // Crash reports last: their disk writes would slow the uploads' flushes.
        memoryBefore = residentMemory();
        {
            PeakSampler memory([] { return residentMemory(); });
            std::vector<std::future<bool>> reports;
            for (int i = 0; i < kReports; ++i)
                reports.push_back(std::async(std::launch::async, sendCrashReport, port,
                                             WebService::kCrashReportBodyLimit - 1024,
                                             "127.0.0." + std::to_string(20 + i % 16)));
            for (auto& report : reports) reportsTaken += report.get();
            memoryPeak = memory.finish();
        }
        std::filesystem::remove_all(folder + "/crashreports");
        // After the crash reports, whose goal is the process's whole memory.
        trickling = tricklingUploads(port);
        uploadsBeside = uploadsBesideTrickles(port);

        service.stop();
        server.join();
        // Less the uploads beside the trickled bodies, each of an installation of its own.
        stored = static_cast<long>(scores.uploadCount()) - uploadsBeside.taken;
    }
    flood = resetFlood(folder);
    std::optional<BesideTrickles> reportsBeside = reportsBesideTrickles(folder);
    std::optional<BesideTrickles> trickledBodies = reportsBesideTrickledBodies(folder);
    std::optional<std::vector<PacedReport>> slowLinks = reportsOnSlowLinks(folder);
    std::optional<BesideTrickles> manyAddresses = uploadsBesideManyAddresses(folder, kTrickledUploads);
    const bool smallPaceKeepersMet =
        paceKeepersGoal(uploadsBesideManyAddresses(folder, kSmallPaceKeepers), kSmallPaceKeepers);
    const bool largePaceKeepersMet =
        paceKeepersGoal(uploadsBesideManyAddresses(folder, kLargePaceKeepers), kLargePaceKeepers);
    std::optional<PageLoad> pageLoad = highScorePage(folder);
    std::optional<LockedStop> locked = stopUnderHeldLock(folder);
    const Upgrade upgrade = upgradeFromFirstSchema(folder);
    const bool idleFloodMet = idleFloodAtTheCap(folder);
    const bool crashFloodMet = crashFlood(folder);
    bool placesMet = true;
    for (const auto& [name, run] : places) placesMet = run() && placesMet;
    std::filesystem::remove_all(folder);
    const LimitMemory limits = hourlyLimitMemory();

    std::vector<double> latencies;
    long acknowledged = 0, failed = 0;
    for (ClientResult& r : results) {
        latencies.insert(latencies.end(), r.latencies.begin(), r.latencies.end());
        acknowledged += r.acknowledged;
        failed += r.failed;
    }
    const double rate = static_cast<double>(acknowledged) / seconds;
    const double p50 = percentile(latencies, 0.50), p99 = percentile(latencies, 0.99);
    const double logMiB = static_cast<double>(longestLog) / (1 << 20);
    const double probeMedian = percentile(probes, 0.5);
    const double probeWorst = probes.empty() ? 0 : *std::max_element(probes.begin(), probes.end());
    const double memoryMiB = static_cast<double>(memoryPeak) / (1 << 20);
    std::printf("service: %d clients for %.1f s: %ld uploads acknowledged, %ld failed\n", kClients, seconds,
                acknowledged, failed);
    std::printf("service: %.0f uploads/s (goal at least 1000), latency p50 %.2f ms, p99 %.2f ms (goal under 50)\n",
                rate, p50, p99);
    std::printf("service: %ld uploads in the database, %ld acknowledged (goal: equal)\n", stored, acknowledged);
    std::printf("service: write-ahead log at most %.1f MiB (goal under 64)\n", logMiB);
    std::printf("service: beside 1000 slow connections, %zu probes: median %.2f ms, worst %.2f ms (goal under 100)\n",
                probes.size(), probeMedian, probeWorst);
    std::printf(
        "service: %d of %d crash reports of 32 MiB at once taken; resident memory %.1f MiB before, "
        "at most %.1f MiB during (goal under 64)\n",
        reportsTaken, kReports, static_cast<double>(memoryBefore) / (1 << 20), memoryMiB);
    if (!flood) std::printf("service: the service program did not start for the reset flood\n");
    if (!flood) flood.emplace();
    const double floodRatio = flood->quietRate > 0 ? flood->floodRate / flood->quietRate : 0;
    std::printf(
        "service: reset flood (%ld resets in 3 s): honest clients %.0f answers/s against %.0f quiet, ratio %.2f "
        "(goal at least 0.5); resident memory at most %.1f MiB (goal under 128); SIGTERM after it ends the "
        "service in %.2f s (goal under 2)\n",
        flood->resets, flood->floodRate, flood->quietRate, floodRatio, flood->peakMiB, flood->stopSeconds);
    std::printf(
        "service: beside %d connections from one address, %.1f%% of probes from another answered (goal at "
        "least 95%%)\n",
        oneAddressHeld, 100 * oneAddressShare);
    std::printf(
        "service: beside 32 silent heads announcing 32 MiB, a connection test took %.1f ms at once and %.1f ms 35 s "
        "later (-1: not answered; goal under 100); the service had closed %d of the 32 (goal all)\n",
        silent.firstMs, silent.laterMs, silent.closed);
    const bool tricklingMet = trickling.peak < trickling.before + trickling.bodyBytes * 5 / 4 &&
                              trickling.after < trickling.before + (32u << 20);
    std::printf(
        "service: 1500 trickling uploads of 64 KiB (%.1f MiB of bodies): resident memory %.1f MiB before, at most "
        "%.1f MiB during (goal under %.1f), %.1f MiB after (goal under %.1f)\n",
        mib(trickling.bodyBytes), mib(trickling.before), mib(trickling.peak),
        mib(trickling.before + trickling.bodyBytes * 5 / 4), mib(trickling.after), mib(trickling.before + (32u << 20)));
    const double uploadsBesideP99 =
        uploadsBeside.latencies.empty() ? 5000.0 : percentile(uploadsBeside.latencies, 0.99);
    const double uploadsBesideMedian = percentile(uploadsBeside.latencies, 0.5);
    const bool uploadsBesideMet = uploadsBeside.sent > 0 && uploadsBeside.taken == uploadsBeside.sent &&
                                  uploadsBesideP99 < 100 && uploadsBeside.peak < uploadsBeside.before + (64u << 20) &&
                                  uploadsBeside.cut == uploadsBeside.trickles;
    std::printf(
        "service: beside %d trickled upload bodies, %d of %d uploads answered with 200 (goal all), latency median "
        "%.2f ms, p99 %.2f ms (goal under 100); resident memory %.1f MiB before, at most %.1f MiB during (goal under "
        "%.1f); %d trickles cut off with 408 by 12 s (goal all)\n",
        uploadsBeside.trickles, uploadsBeside.taken, uploadsBeside.sent, uploadsBesideMedian, uploadsBesideP99,
        mib(uploadsBeside.before), mib(uploadsBeside.peak), mib(uploadsBeside.before + (64u << 20)), uploadsBeside.cut);
    if (!reportsBeside)
        std::printf("service: the store for the crash reports beside trickled heads could not be made\n");
    if (!reportsBeside) reportsBeside.emplace();
    const double reportsBesideWorst =
        reportsBeside->latencies.empty()
            ? 5000.0
            : *std::max_element(reportsBeside->latencies.begin(), reportsBeside->latencies.end());
    const bool reportsBesideMet = reportsBeside->sent > 0 && reportsBeside->taken == reportsBeside->sent &&
                                  reportsBesideWorst < 100 && reportsBeside->cut == reportsBeside->trickles;
    std::printf(
        "service: beside %d trickled crash heads announcing 32 MiB, %d of %d small crash reports stored (goal all), "
        "worst %.2f ms (goal under 100); %d heads cut off with 408 by 12 s (goal all)\n",
        reportsBeside->trickles, reportsBeside->taken, reportsBeside->sent, reportsBesideWorst, reportsBeside->cut);
    if (!trickledBodies) std::printf("service: the service program did not start for the trickled crash reports\n");
    if (!trickledBodies) trickledBodies.emplace();
    const bool trickledBodiesMet = trickledBodies->sent > 0 && trickledBodies->taken * 10 >= trickledBodies->sent * 9;
    std::printf(
        "service: beside %d crash reports of 32 MiB trickled at 600 bytes a second under an open-file limit of 1024, "
        "%d of %d small crash reports stored from 20 s on (goal at least 9 of 10); %d trickles cut off with 408\n",
        trickledBodies->trickles, trickledBodies->taken, trickledBodies->sent, trickledBodies->cut);
    if (!slowLinks) std::printf("service: the store for the crash reports on slow links could not be made\n");
    if (!slowLinks) slowLinks.emplace(linkProfiles().size());
    bool slowLinksMet = true;
    for (std::size_t i = 0; i < linkProfiles().size(); ++i) {
        const LinkProfile& profile = linkProfiles()[i];
        const PacedReport& report = (*slowLinks)[i];
        const auto [met, goal] = linkGoal(profile, report);
        slowLinksMet = slowLinksMet && met;
        std::printf("service: a body on a slow link, %s: %s after %.1f s (goal %s)\n", profile.name,
                    report.status.empty() ? "no answer yet" : report.status.c_str(), report.seconds, goal.c_str());
    }
    if (!manyAddresses)
        std::printf("service: the service program did not start for the trickles from many addresses\n");
    if (!manyAddresses) manyAddresses.emplace();
    const double manyAddressesP99 =
        manyAddresses->latencies.empty() ? 5000.0 : percentile(manyAddresses->latencies, 0.99);
    const bool manyAddressesMet =
        manyAddresses->sent > 0 && manyAddresses->taken == manyAddresses->sent && manyAddresses->peak < (512u << 20);
    std::printf(
        "service: beside 10000 upload bodies trickled at 600 bytes a second from 200 addresses and opened again as "
        "soon as closed, at most 2000 a second (%d in all, %d cut off with 408), %d of %d uploads answered with 200 "
        "(goal all), p99 %.2f ms; "
        "the service's resident memory %.1f MiB before, at most %.1f MiB (goal under 512)\n",
        manyAddresses->trickles, manyAddresses->cut, manyAddresses->taken, manyAddresses->sent, manyAddressesP99,
        mib(manyAddresses->before), mib(manyAddresses->peak));
    if (!pageLoad) std::printf("service: the databases for the high-score page could not be made\n");
    if (!pageLoad) pageLoad.emplace();
    const ReaderPhase &quiet = pageLoad->quiet, &reading = pageLoad->reading;
    const double uploadRatio = quiet.uploadRate > 0 ? reading.uploadRate / quiet.uploadRate : 0;
    std::vector<double> pageProbes = reading.probes;
    const double pageProbeMedian = pageProbes.empty() ? 5000 : percentile(pageProbes, 0.5);
    std::printf(
        "service: the high-score page of all tables costs %.2f ms at 100 installations, %.2f ms at 300000 (goal "
        "under 5)\n",
        pageLoad->costAtFew, pageLoad->costAtMany);
    std::printf(
        "service: beside 64 readers of the page (%.0f pages/s), %.0f uploads/s against %.0f quiet, ratio %.2f "
        "(goal at least 0.5); %zu probes: median %.2f ms (goal under 50)\n",
        reading.pagesPerSecond, reading.uploadRate, quiet.uploadRate, uploadRatio, pageProbes.size(), pageProbeMedian);
    const double floodBytesPerNetwork =
        static_cast<double>(limits.floodHeap) / static_cast<double>(std::max<std::size_t>(limits.floodNetworks, 1));
    std::printf(
        "service: an hourly limit holds %.1f bytes per address (goal at most 100); 50000 addresses of one /64 make %zu "
        "networks (goal 1); 1000000 /64s make %zu networks (bound %zu) in %.1f MiB, %.1f bytes each (goal at most "
        "100), %.2f us a take\n",
        limits.bytesPerAddress, limits.rotatedNetworks, limits.floodNetworks, HourlyLimit::kNetworks,
        mib(limits.floodHeap), floodBytesPerNetwork, limits.floodMicros);
    const bool limitsMet = limits.bytesPerAddress <= 100 && limits.rotatedNetworks == 1 &&
                           limits.floodNetworks <= HourlyLimit::kNetworks && floodBytesPerNetwork <= 100;
    if (!locked) std::printf("service: the service program did not start, or its database could not be locked\n");
    if (!locked) locked.emplace();
    std::printf(
        "service: a stop beside a held write lock, 100 uploads in flight: the program ended %.2f s after SIGTERM "
        "(goal under 3), %s; %d told to retry (503 with Retry-After), %d acknowledged, %d otherwise answered, %d "
        "unanswered (goal: all answered, 200 or 503), the last %.2f s after SIGTERM; %lld uploads in the database "
        "(goal: as many as acknowledged)\n",
        locked->exitSeconds, locked->exitedCleanly ? "cleanly" : "NOT cleanly", locked->retryLater,
        locked->acknowledged, locked->other, locked->unanswered, locked->lastAnswer, locked->stored);
    const bool lockedMet = locked->exitSeconds > 0 && locked->exitSeconds < 3 && locked->exitedCleanly &&
                           locked->other == 0 && locked->unanswered == 0 && locked->stored == locked->acknowledged;
    std::printf(
        "service: the upgrade of a database of the first schema with 3000000 scores took %.2f s (goal at most 10); "
        "%lld best entries kept, schema version %lld\n",
        upgrade.seconds, upgrade.best, upgrade.schema);
    const bool upgradeMet =
        upgrade.seconds >= 0 && upgrade.seconds <= 10 && upgrade.best == 1500000 && upgrade.schema == 1;
    const bool met = lockedMet && upgradeMet && limitsMet && rate >= 1000 && p99 < 50 && stored == acknowledged &&
                     logMiB < 64 && !probes.empty() && probeWorst < 100 && reportsTaken == kReports && memoryMiB < 64 &&
                     floodRatio >= 0.5 && flood->peakMiB < 128 && flood->stopSeconds < 2 && oneAddressShare >= 0.95 &&
                     silent.firstMs >= 0 && silent.firstMs < 100 && silent.laterMs >= 0 && silent.laterMs < 100 &&
                     silent.closed == 32 && tricklingMet && uploadsBesideMet && reportsBesideMet && trickledBodiesMet &&
                     slowLinksMet && manyAddressesMet && smallPaceKeepersMet && largePaceKeepersMet &&
                     pageLoad->costAtMany > 0 && pageLoad->costAtMany < 5 && uploadRatio >= 0.5 &&
                     pageProbeMedian < 50 && idleFloodMet && crashFloodMet && placesMet;
    std::printf("service: %s\n", met ? "goals met" : "GOALS MISSED");
    return met ? 0 : 1;
}
