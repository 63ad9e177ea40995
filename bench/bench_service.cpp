// The web service under load: 32 clients, each on its own keep-alive connection, upload
// freshly signed score records for 10 s against a service on 127.0.0.1 over a new
// database. Goals: at least 1,000 uploads per second, 99th percentile latency under
// 50 ms, and afterwards exactly the acknowledged uploads in the database.
#include <httplib.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
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
    {
        SqliteScoreStore scores(folder + "/scores.sqlite3");
        CrashReportStore crashes(folder + "/crashreports");
        WebService service(scores, crashes);
        const int port = service.bind("127.0.0.1", 0);
        std::thread server([&] { service.run(); });
        const auto start = Clock::now();
        std::vector<std::thread> clients;
        for (int i = 0; i < kClients; ++i)
            clients.emplace_back(runClient, port, i, start + kDuration, std::ref(results[i]));
        for (std::thread& c : clients) c.join();
        seconds = std::chrono::duration<double>(Clock::now() - start).count();
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
    std::printf("service: %d clients for %.1f s: %ld uploads acknowledged, %ld failed\n", kClients, seconds,
                acknowledged, failed);
    std::printf("service: %.0f uploads/s (goal at least 1000), latency p50 %.2f ms, p99 %.2f ms (goal under 50)\n",
                rate, p50, p99);
    std::printf("service: %ld uploads in the database, %ld acknowledged (goal: equal)\n", stored, acknowledged);
    const bool met = rate >= 1000 && p99 < 50 && stored == acknowledged;
    std::printf("service: %s\n", met ? "goals met" : "GOALS MISSED");
    return met ? 0 : 1;
}
