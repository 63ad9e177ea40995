#pragma once
// Honest clients that take their answers slowly, as on a modem or a weak mobile link, and
// the case "slow-readers" that weighs them. Each asks for its answers at once and reads
// them at 1 KiB a second, never faster, through a receive buffer of 2 KiB, 16 KiB or the
// system's. Against the service program under an open-file limit of 200, over a score
// database whose every table is full of long names (a high-score page of about 130 KB): a reader
// of the high-score page and one of 10 pipelined help pages at each buffer, all at once,
// with no flood; beside 120 idle connections and 100 more a second at the cap; and beside
// waves of 136 connections that read nothing (receive buffers of 1 KiB) every 1.0 s. Then
// the two readers with the system's buffer and with 2 KiB, each over a link of its own
// throttled to 8 kbit/s (a little under 1 KiB a second of answers), when such links can be
// made here. Goal: every reader reads every answer whole.
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "IdleFlood.h"
#include "NewcomerCases.h"
#include "ScoreTables.h"
#include "ServiceClients.h"
#include "ServiceProgram.h"
#include "SqliteScoreStore.h"
#include "ThrottledLink.h"
#include "Waves.h"

namespace bench {

// What a slow reader asks for at once.
struct SlowAsk {
    const char* name;
    std::string requests;
    int answers = 0;
};

inline const std::vector<SlowAsk>& slowAsks() {
    static const std::vector<SlowAsk> asks = [] {
        std::string help;
        for (int i = 0; i < 10; ++i) help += "GET /tv2/onlinehelp.php HTTP/1.1\r\nHost: x\r\n\r\n";
        return std::vector<SlowAsk>{
            {"the high-score page", "GET /tv2/highscoretable.php HTTP/1.1\r\nHost: x\r\n\r\n", 1},
            {"10 pipelined help pages", help, 10}};
    }();
    return asks;
}

// Counts the answers in what a connection reads, as it comes.
class AnswerStream {
public:
    void take(std::string_view bytes) {
        while (!bytes.empty()) {
            if (bodyLeft_ > 0) {
                const std::size_t n = std::min<std::size_t>(bodyLeft_, bytes.size());
                bodyLeft_ -= n;
                bytes.remove_prefix(n);
                if (bodyLeft_ == 0) ended();
                continue;
            }
            head_ += bytes.front();
            bytes.remove_prefix(1);
            if (!head_.ends_with("\r\n\r\n")) continue;
            const std::size_t length = head_.find("\r\nContent-Length: ");
            bodyLeft_ = length == std::string::npos ? 0 : std::strtoul(head_.c_str() + length + 18, nullptr, 10);
            status_ = head_.substr(0, head_.find("\r\n"));
            head_.clear();
            if (bodyLeft_ == 0) ended();
        }
    }
    // Answers with 200 read whole.
    int whole() const { return whole_; }
    // The status lines of the other answers read whole, each after a space.
    const std::string& others() const { return others_; }

private:
    void ended() {
        if (status_ == "HTTP/1.1 200 OK")
            ++whole_;
        else
            others_ += " [" + status_ + "]";
    }

    std::string head_;  // of the answer coming, so far
    std::string status_;
    std::size_t bodyLeft_ = 0;
    int whole_ = 0;
    std::string others_;
};

// What a slow reader read, and how its connection ended.
struct PacedRead {
    std::size_t bytes = 0;  // read in all
    int whole = 0;          // answers with 200 read whole
    std::string others;     // the status lines of the others
    std::string end;        // in words
    double seconds = 0;     // from its requests until its end
};

// Sends `ask`'s requests on `fd` at once and reads its answers at `bytesPerSecond`, never
// faster: every 100 ms it reads what it is due by then, as a link of that speed would
// bring it, until it has read every answer whole, the connection has ended, or `guard` has
// passed. Closes `fd`.
inline PacedRead readAtPace(int fd, const SlowAsk& ask, double bytesPerSecond, Clock::duration guard) {
    PacedRead result;
    const auto start = Clock::now();
    if (fd < 0) {
        result.end = "no connection";
        return result;
    }
    AnswerStream answers;
    if (::send(fd, ask.requests.data(), ask.requests.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(ask.requests.size()))
        result.end = "its requests could not be sent";
    char buffer[4096];
    for (auto round = start; result.end.empty();) {
        round += std::chrono::milliseconds(100);
        std::this_thread::sleep_until(round);
        const auto now = Clock::now();
        const auto due = static_cast<std::size_t>(bytesPerSecond * std::chrono::duration<double>(now - start).count());
        while (result.bytes < due) {
            const ssize_t n = ::recv(fd, buffer, std::min(sizeof buffer, due - result.bytes), MSG_DONTWAIT);
            if (n > 0) {
                result.bytes += static_cast<std::size_t>(n);
                answers.take(std::string_view(buffer, static_cast<std::size_t>(n)));
                continue;
            }
            if (n == 0) result.end = "closed by the service";
            if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
                result.end = errno == ECONNRESET ? "reset by the service" : std::strerror(errno);
            break;
        }
        if (answers.whole() >= ask.answers)
            result.end = "all read";
        else if (result.end.empty() && now - start >= guard)
            result.end = "given up, still reading";
    }
    result.whole = answers.whole();
    result.others = answers.others();
    result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    ::close(fd);
    return result;
}

// A slow reader of a run: what it asks, through which receive buffer (0: the system's).
struct SlowReader {
    const SlowAsk* ask = nullptr;
    int receiveBuffer = 0;
    PacedRead read{};
    int turnedAway = 0;  // connections answered only 503 before the one it read on
};

// Runs `readers` at 1 KiB a second all at once, each on a connection `connect(i,
// receiveBuffer)` makes for reader `i`; prints each, read `beside`; true when each read
// every answer whole. A reader turned away at once with 503 asks again on a new
// connection once its Retry-After (1 s) has passed, as an honest client does, 10 times
// at most.
inline bool runSlowReaders(std::vector<SlowReader>& readers, const std::function<int(int, int)>& connect,
                           const std::string& beside) {
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < readers.size(); ++i)
        threads.emplace_back([&, i] {
            SlowReader& r = readers[i];
            while (true) {
                r.read =
                    readAtPace(connect(static_cast<int>(i), r.receiveBuffer), *r.ask, 1024, std::chrono::minutes(4));
                if (r.read.whole > 0 || !r.read.others.starts_with(" [HTTP/1.1 503") || r.turnedAway == 10) break;
                ++r.turnedAway;
                std::this_thread::sleep_for(std::chrono::seconds(1));
            }
        });
    for (std::thread& t : threads) t.join();
    bool met = true;
    for (const SlowReader& r : readers) {
        const bool whole = r.read.whole == r.ask->answers;
        const std::string buffer =
            r.receiveBuffer > 0 ? std::to_string(r.receiveBuffer / 1024) + " KiB" : std::string("the system's");
        std::printf(
            "service: a reader at 1 KiB a second, receive buffer %s, %s, %s: %zu bytes read in %.1f s, %d of %d "
            "answers whole%s%s, %s, after %d connections turned away with 503 (goal every answer whole): goal %s\n",
            buffer.c_str(), r.ask->name, beside.c_str(), r.read.bytes, r.read.seconds, r.read.whole, r.ask->answers,
            r.read.others.empty() ? "" : "; also read:", r.read.others.c_str(), r.read.end.c_str(), r.turnedAway,
            whole ? "met" : "NOT met");
        met = met && whole;
    }
    std::fflush(stdout);
    return met;
}

// Makes the data folder `data` for the service program with a score database whose every
// table is full, of names long enough that the high-score page is about 130 KB; false
// when it cannot.
inline bool fullScoreTables(const std::string& data) {
    std::error_code ec;
    std::filesystem::create_directories(data, ec);
    const std::string path = data + "/scores.sqlite3";
    return SqliteScoreStore(path).ok() && fillInstallations(path, 100, 112);
}

// Each slow reader of the page and of the help pages at each of `buffers`.
inline std::vector<SlowReader> slowReadersAt(std::initializer_list<int> buffers) {
    std::vector<SlowReader> readers;
    for (const int buffer : buffers)
        for (const SlowAsk& ask : slowAsks()) readers.push_back({&ask, buffer});
    return readers;
}

// Runs `readers` against the service program under an open-file limit of 200 over a
// folder `name` of full score tables, started with `options` and in the network namespace
// at `network` when given, beside `flood(port, flooding)` on a thread of its own from 2 s
// before them until they end; each reader `i` connects by `connect(port, i,
// receiveBuffer)`. True when each read every answer whole and the service stayed up.
template <typename Flood, typename Connect>
bool slowReadersBeside(const std::string& folder, const std::string& name, std::vector<SlowReader> readers,
                       const std::string& beside, Flood flood, Connect connect,
                       const std::vector<std::string>& options = {}, const std::string& network = {}) {
    ServiceProgram program;
    if (!fullScoreTables(folder + "/" + name)) {
        std::printf("service: the score tables for the slow readers could not be made\n");
        return false;
    }
    const int port = startFor(program, folder, name, 200, options, network);
    if (port < 0) return false;
    std::atomic<bool> flooding = true;
    std::thread flooder([&] { flood(port, flooding); });
    std::this_thread::sleep_for(std::chrono::seconds(2));
    bool met = runSlowReaders(
        readers, [&](int i, int receiveBuffer) { return connect(port, i, receiveBuffer); }, beside);
    flooding = false;
    flooder.join();
    if (const std::string fate = fateOf(program); !fate.empty()) {
        std::printf("service: the service %s beside the slow readers %s: goal NOT met\n", fate.c_str(), beside.c_str());
        met = false;
    }
    return met;
}

// The slow readers at each buffer, each from an address of its own from 127.0.11.1 on,
// beside `flood` as `slowReadersBeside` runs it, over a folder of run `run`.
template <typename Flood>
bool slowReadersOnLoopback(const std::string& folder, int run, const std::string& beside, Flood flood) {
    return slowReadersBeside(folder, "slow-readers-" + std::to_string(run), slowReadersAt({2048, 16384, 0}), beside,
                             flood, [](int port, int i, int receiveBuffer) {
                                 return connectTo(port, ("127.0.11." + std::to_string(1 + i)).c_str(), receiveBuffer);
                             });
}

// The slow readers with the system's buffer and with 2 KiB, each over a link of its own
// throttled to 8 kbit/s; left out, and said why, when such links cannot be made here.
inline bool slowReadersOnThrottledLinks(const std::string& folder) {
    std::vector<SlowReader> readers = slowReadersAt({0, 2048});
    ThrottledLink link(8000, static_cast<int>(readers.size()));
    if (!link.failure().empty()) {
        std::printf("service: the slow readers over links throttled to 8 kbit/s are left out: %s\n",
                    link.failure().c_str());
        return true;
    }
    return slowReadersBeside(
        folder, "slow-readers-throttled", readers, "alone, over a link of its own throttled to 8 kbit/s",
        [](int, const std::atomic<bool>&) {},
        [&](int port, int i, int receiveBuffer) { return link.connect(i, port, receiveBuffer); }, {"--host", "0.0.0.0"},
        link.serviceNetwork());
}

// Every run of the case; true when each reader read every answer whole.
inline bool slowReaders(const std::string& folder) {
    bool met = slowReadersOnLoopback(folder, 0, "no flood", [](int, const std::atomic<bool>&) {});
    met = slowReadersOnLoopback(folder, 1, "beside 120 idle connections and 100 more a second at the cap",
                                [](int port, const std::atomic<bool>& flooding) {
                                    floodIdly(port, {120, 10000, 100, 12}, flooding);
                                }) &&
          met;
    const WavePlan waves{.kind = WavePlan::Kind::unread,
                         .period = std::chrono::seconds(1),
                         .count = kPlacesAt200,
                         .receiveBuffer = 1024};
    met = slowReadersOnLoopback(
              folder, 2, "beside " + describe(waves),
              [&](int port, const std::atomic<bool>& flooding) { floodInWaves(port, waves, flooding, [] {}); }) &&
          met;
    return slowReadersOnThrottledLinks(folder) && met;
}

}  // namespace bench
