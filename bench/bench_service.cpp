// The web service under load, on 127.0.0.1 over a new data folder:
// - uploads: 32 clients, each on its own keep-alive connection, upload freshly signed
//   score records for 10 s. Goals: at least 1,000 uploads per second, 99th percentile
//   latency under 50 ms, exactly the acknowledged uploads in the database afterwards, and
//   a write-ahead log that never grows past 64 MiB.
// - slow clients: 1,000 connections trickle their heads or their bodies, or sit idle
//   after a request, for 5 s, while a probe asks for the help page every 100 ms. Goal:
//   no probe waits 100 ms or more.
// - crash reports: 64 reports of 32 MiB each, sent at once. Goal: the process's resident
//   memory stays under 64 MiB.
#include <arpa/inet.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <thread>
#include <vector>

#include "CrashReportStore.h"
#include "SqliteScoreStore.h"
#include "WebService.h"
#include "support/GameForm.h"
#include "support/ScoreRecordBuilder.h"

namespace {

constexpr int kClients = 32;
constexpr auto kDuration = std::chrono::seconds(10);

using Clock = std::chrono::steady_clock;

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

// The process's resident memory now, in bytes.
std::size_t residentMemory() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.starts_with("VmRSS:")) return std::stoul(line.substr(6)) * 1024;
    return 0;
}

int connectTo(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) return fd;
    ::close(fd);
    return -1;
}

// Samples `measure` every 10 ms on a thread of its own and keeps the largest value.
class PeakSampler {
public:
    template <typename Measure>
    explicit PeakSampler(Measure measure)
        : thread_([this, measure] {
              while (!done_) {
                  peak_ = std::max<std::uintmax_t>(peak_, measure());
                  std::this_thread::sleep_for(std::chrono::milliseconds(10));
              }
          }) {}
    ~PeakSampler() { finish(); }
    std::uintmax_t finish() {
        done_ = true;
        if (thread_.joinable()) thread_.join();
        return peak_;
    }

private:
    std::atomic<bool> done_ = false;
    std::atomic<std::uintmax_t> peak_ = 0;
    std::thread thread_;
};

// 1,000 slow connections and a probe every 100 ms for 5 s; returns the probes' delays
// in ms (a failed probe counts as 5 s).
std::vector<double> probeBesideSlowClients(int port) {
    constexpr int kSlow = 1000;
    const std::string upload =
        "POST /tv2/highscoreupload.php HTTP/1.1\r\nHost: x\r\nContent-Type: " + std::string(GameForm::kContentType) +
        "\r\nContent-Length: 10000\r\n\r\n";
    std::vector<int> slow;
    for (int i = 0; i < kSlow; ++i) {
        const int fd = connectTo(port);
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
        httplib::Client probe("127.0.0.1", port);
        probe.set_read_timeout(5, 0);
        const auto start = Clock::now();
        auto reply = probe.Get("/tv2/onlinehelp.php");
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        delays.push_back(reply && reply->status == 200 ? ms : 5000.0);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    for (int fd : slow) ::close(fd);
    return delays;
}

// Sends one crash report whose dump has `size` bytes, from a small buffer; true when it
// was taken.
bool sendCrashReport(int port, std::size_t size) {
    const std::string whole = GameForm().standardFields().file("crashMiniDump", "crash.mdmp", "").body();
    const std::string suffix = "\r\n-----------------------------7d33992b80330--\r\n";
    const std::string prefix = whole.substr(0, whole.size() - suffix.size());
    const std::string head =
        "POST /tv2/crashreport.php HTTP/1.1\r\nHost: x\r\nContent-Type: " + std::string(GameForm::kContentType) +
        "\r\nContent-Length: " + std::to_string(prefix.size() + size + suffix.size()) + "\r\n\r\n" + prefix;
    const int fd = connectTo(port);
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

double percentile(std::vector<double>& values, double p) {
    if (values.empty()) return 0;
    const auto at = values.begin() + static_cast<long>(p * static_cast<double>(values.size() - 1));
    std::nth_element(values.begin(), at, values.end());
    return *at;
}

}  // namespace

int main() {
    std::string folder = (std::filesystem::temp_directory_path() / "torvane-bench-service-XXXXXX").string();
    if (!::mkdtemp(folder.data())) return 1;
    long stored = 0;
    std::vector<ClientResult> results(kClients);
    double seconds = 0;
    std::uintmax_t longestLog = 0;
    std::vector<double> probes;
    std::size_t memoryBefore = 0, memoryPeak = 0;
    int reportsTaken = 0;
    constexpr int kReports = 64;
    {
        SqliteScoreStore scores(folder + "/scores.sqlite3");
        CrashReportStore crashes(folder + "/crashreports", {std::uint64_t{8} << 30, 1000});
        WebService service(scores, crashes);
        const int port = service.bind("127.0.0.1", 0);
        std::thread server([&] { service.run(); });

        {
            const std::filesystem::path log = folder + "/scores.sqlite3-wal";
            PeakSampler logSize([&log] {
                std::error_code ec;
                const std::uintmax_t size = std::filesystem::file_size(log, ec);
                return ec ? std::uintmax_t{0} : size;
            });
            const auto start = Clock::now();
            std::vector<std::thread> clients;
            for (int i = 0; i < kClients; ++i)
                clients.emplace_back(runClient, port, i, start + kDuration, std::ref(results[i]));
            for (std::thread& c : clients) c.join();
            seconds = std::chrono::duration<double>(Clock::now() - start).count();
            longestLog = logSize.finish();
        }

        probes = probeBesideSlowClients(port);
        // Crash reports last: their disk writes would slow the uploads' flushes.
        memoryBefore = residentMemory();
        {
            PeakSampler memory(residentMemory);
            std::vector<std::future<bool>> reports;
            for (int i = 0; i < kReports; ++i)
                reports.push_back(
                    std::async(std::launch::async, sendCrashReport, port, WebService::kCrashReportBodyLimit - 1024));
            for (auto& report : reports) reportsTaken += report.get();
            memoryPeak = memory.finish();
        }
        std::filesystem::remove_all(folder + "/crashreports");

        service.stop();
        server.join();
        stored = static_cast<long>(scores.uploadCount());
    }
    std::filesystem::remove_all(folder);

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
    const bool met = rate >= 1000 && p99 < 50 && stored == acknowledged && logMiB < 64 && !probes.empty() &&
                     probeWorst < 100 && reportsTaken == kReports && memoryMiB < 64;
    std::printf("service: %s\n", met ? "goals met" : "GOALS MISSED");
    return met ? 0 : 1;
}
