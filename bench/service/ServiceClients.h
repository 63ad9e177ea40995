#pragma once
// The benchmark's plain clients of the web service on 127.0.0.1: connections from chosen
// loopback addresses, the status lines and answers they read, and the honest uploads and
// crash reports that the floods are weighed by.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "support/GameForm.h"
#include "support/LoopbackConnection.h"
#include "support/ScoreRecordBuilder.h"

namespace bench {

using Clock = std::chrono::steady_clock;

// The resident memory of process `pid` (this one by default) now, in bytes.
inline std::size_t residentMemory(pid_t pid = 0) {
    std::ifstream status(pid ? "/proc/" + std::to_string(pid) + "/status" : std::string("/proc/self/status"));
    std::string line;
    while (std::getline(status, line))
        if (line.starts_with("VmRSS:")) return std::stoul(line.substr(6)) * 1024;
    return 0;
}

// The sockets process `pid` holds open now.
inline std::size_t openSockets(pid_t pid) {
    std::error_code ec;
    std::size_t sockets = 0;
    for (std::filesystem::directory_iterator i("/proc/" + std::to_string(pid) + "/fd", ec), end; !ec && i != end;
         i.increment(ec)) {
        std::error_code gone;  // closed since it was listed
        sockets += std::filesystem::read_symlink(i->path(), gone).string().starts_with("socket:");
    }
    return sockets;
}

// `bytes` in MiB.
inline double mib(std::size_t bytes) { return static_cast<double>(bytes) / (1 << 20); }

// A connection to `port`, from `source` (an address of 127.0.0.0/8) when given, with a
// receive buffer of `receiveBuffer` bytes when given.
inline int connectTo(int port, const char* source = nullptr, int receiveBuffer = 0) {
    return LoopbackConnection{source, receiveBuffer}.to(port);
}

// Waits until `fd` is readable or `end` has come; false at `end`.
inline bool readableBy(int fd, Clock::time_point end) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
    pollfd readable{fd, POLLIN, 0};
    return ::poll(&readable, 1, static_cast<int>(std::max<long>(left.count(), 0))) == 1;
}

// The status line that has come on `fd` by `end`, read without waiting past it; empty
// when none has.
inline std::string statusBy(int fd, Clock::time_point end) {
    std::string line;
    while (line.find('\r') == std::string::npos) {
        char c = 0;
        if (!readableBy(fd, end) || ::recv(fd, &c, 1, 0) != 1) return {};
        line += c;
    }
    return line.substr(0, line.size() - 1);
}

// Reads a whole answer on `fd` by `end`, its head and as many bytes of body as the head
// announces, so that the next answer on a keep-alive connection starts afresh; its status
// line, empty when it did not come whole.
inline std::string answerBy(int fd, Clock::time_point end) {
    std::string head;
    char c = 0;
    while (!head.ends_with("\r\n\r\n")) {
        if (!readableBy(fd, end) || ::recv(fd, &c, 1, 0) != 1) return {};
        head += c;
    }
    const std::size_t length = head.find("\r\nContent-Length: ");
    std::size_t left = length == std::string::npos ? 0 : std::strtoul(head.c_str() + length + 18, nullptr, 10);
    char buffer[4096];
    while (left > 0) {
        const ssize_t n = readableBy(fd, end) ? ::recv(fd, buffer, std::min(left, sizeof buffer), 0) : -1;
        if (n <= 0) return {};
        left -= static_cast<std::size_t>(n);
    }
    return head.substr(0, head.find("\r\n"));
}

// The head of a post to `path` that announces `length` bytes.
inline std::string postHead(const std::string& path, std::size_t length) {
    return "POST " + path + " HTTP/1.1\r\nHost: x\r\nContent-Type: " + std::string(GameForm::kContentType) +
           "\r\nContent-Length: " + std::to_string(length) + "\r\n\r\n";
}

// The head of a crash report that announces `length` bytes.
inline std::string crashReportHead(std::size_t length) { return postHead("/tv2/crashreport.php", length); }

// A small crash report whole, as the game sends one.
inline std::string smallCrashReport() {
    return GameForm().standardFields().file("crashLog", "crash.log", std::string(1000, 'l')).body();
}

// Posts `body` to `path` on a new connection from `source`, its head in pieces `gaps`
// apart when given (cut evenly into one piece more than the gaps, the body going with the
// last), as on a slow link; the status line that came within 5 s of the last piece, and
// how long it all took in ms. A service that turns the request out before its end has
// said why by then, so the status is read even when a piece could not be sent.
inline std::pair<std::string, double> postFrom(int port, const char* source, const std::string& path,
                                               const std::string& body,
                                               const std::vector<std::chrono::milliseconds>& gaps = {}) {
    const auto start = Clock::now();
    const std::string head = "POST " + path +
                             " HTTP/1.1\r\nHost: x\r\nConnection: close\r\nContent-Type: " + GameForm::kContentType +
                             "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n";
    const int fd = connectTo(port, source);
    if (fd < 0) return {"", std::chrono::duration<double, std::milli>(Clock::now() - start).count()};
    bool sent = true;
    for (std::size_t piece = 0, from = 0; sent && piece <= gaps.size(); ++piece) {
        if (piece > 0) std::this_thread::sleep_for(gaps[piece - 1]);
        const std::size_t to = head.size() * (piece + 1) / (gaps.size() + 1);
        const std::string bytes = head.substr(from, to - from) + (piece == gaps.size() ? body : std::string());
        sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
        from = to;
    }
    const std::string status = statusBy(fd, Clock::now() + std::chrono::seconds(5));
    ::close(fd);
    return {status, std::chrono::duration<double, std::milli>(Clock::now() - start).count()};
}

// Honest requests sent beside a flood, and how the flood fared.
struct BesideTrickles {
    int trickles = 0, cut = 0;         // opened, and cut off with 408 by the service
    int trickleBusy = 0;               // trickles answered 503 (heads turned away at the cap, say)
    int sent = 0, taken = 0;           // the honest requests, and those answered with 200
    int busy = 0;                      // honest requests answered 503
    std::vector<double> latencies;     // ms, of the honest requests answered at all
    std::size_t before = 0, peak = 0;  // resident memory, bytes
};

// The body of a high-score upload of `score` for `installation`, as the game sends it.
inline std::string honestUpload(std::uint32_t installation, int score) {
    ScoreRecordBuilder record(installation, "DE");
    record.entry(0, 0, "Honest", score);
    return GameForm().standardFields().file("HSTfile", "Torvane2Xmas.hst", record.bytes()).body();
}

// One honest high-score upload of `score` from 127.0.0.3 for `installation`, on a new
// connection, its head in pieces `gaps` apart when given, counted in `result`.
inline void uploadHonestly(int port, std::uint32_t installation, int score, BesideTrickles& result,
                           const std::vector<std::chrono::milliseconds>& gaps = {}) {
    const auto [status, ms] =
        postFrom(port, "127.0.0.3", "/tv2/highscoreupload.php", honestUpload(installation, score), gaps);
    ++result.sent;
    if (!status.empty()) result.latencies.push_back(ms);
    result.taken += status == "HTTP/1.1 200 OK";
    result.busy += status == "HTTP/1.1 503 Service Unavailable";
}

}  // namespace bench
