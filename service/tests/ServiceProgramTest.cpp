// The program as the game's tests and `make serve` run it.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>

#include "CrashReportStore.h"
#include "SqliteScoreStore.h"
#include "WebService.h"
#include "support/GameForm.h"
#include "support/LoopbackConnection.h"
#include "support/ScoreRecordBuilder.h"

namespace {

struct Program {
    pid_t pid = -1;
    std::FILE* out = nullptr;

    // Starts the service, with at most `files` open files when given; returns its first
    // line of output.
    std::string start(const std::vector<std::string>& arguments, rlim_t files = 0) {
        if (!launch(arguments, files)) return {};
        char line[256] = "";
        if (!std::fgets(line, sizeof line, out)) return {};
        return line;
    }
    // Starts the service without waiting for its first line; false when it cannot.
    bool launch(const std::vector<std::string>& arguments, rlim_t files = 0) {
        int pipeFds[2];
        if (pipe(pipeFds) != 0) return false;
        pid = fork();
        if (pid == 0) {
            const rlimit limit{files, files};
            if (files > 0) setrlimit(RLIMIT_NOFILE, &limit);
            dup2(pipeFds[1], STDOUT_FILENO);
            close(pipeFds[0]);
            std::vector<char*> argv{const_cast<char*>(TORVANE_SERVICE_PATH)};
            for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(TORVANE_SERVICE_PATH, argv.data());
            _exit(127);
        }
        close(pipeFds[1]);
        out = fdopen(pipeFds[0], "r");
        return pid > 0;
    }
    int stop(int signal) {
        kill(pid, signal);
        int status = 0;
        waitpid(pid, &status, 0);
        std::fclose(out);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

// The port the service announced in its first line ("listening on HOST:PORT").
int announcedPort(const std::string& line) { return std::stoi(line.substr(line.rfind(':') + 1)); }

// How long a test's client waits for an answer, or for each byte of it: only a guard
// against an answer that never comes, far beyond what the service takes on a slow
// machine (a sanitized build on a busy core).
constexpr std::chrono::minutes kAnswerGuard{1};

// The status line of the answer that comes on `fd`, without its line break; what has
// come when the connection ends first, or a read on it gives up.
std::string statusLine(int fd) {
    std::string status;
    char c;
    while (recv(fd, &c, 1, 0) == 1 && c != '\r') status += c;
    return status;
}

// Each test's service keeps its data in a fresh folder of the test's own, removed after it.
class ServiceProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        data = (std::filesystem::temp_directory_path() / "torvane-program-XXXXXX").string();
        ASSERT_NE(mkdtemp(data.data()), nullptr);
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(data, ignored);
    }
    // Starts `program` on a free port over the data folder, with `more` arguments and at
    // most `files` open files when given; the port it announced, or 0 when it did not start.
    int startService(Program& program, std::vector<std::string> more = {}, rlim_t files = 0) const {
        std::vector<std::string> arguments{"--port", "0", "--data", data};
        arguments.insert(arguments.end(), more.begin(), more.end());
        const std::string line = program.start(arguments, files);
        if (line.rfind("listening on 127.0.0.1:", 0) != 0) {
            ADD_FAILURE() << "the service did not start: " << line;
            return 0;
        }
        return announcedPort(line);
    }

    std::string data;
};

TEST_F(ServiceProgramTest, announcesItsPortServesAndStopsCleanlyOnEitherSignal) {
    for (int signal : {SIGTERM, SIGINT}) {
        Program program;
        const std::string line = program.start({"--port", "0", "--data", data + "/nested/folder"});
        ASSERT_EQ(line.rfind("listening on 127.0.0.1:", 0), 0u) << line;
        const int port = announcedPort(line);
        httplib::Client client("127.0.0.1", port);
        auto reply = client.Post("/tv2/nettest.php", GameForm().standardFields().body(), GameForm::kContentType);
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->status, 200);
        EXPECT_EQ(program.stop(signal), 0);
    }
    // A clean stop leaves the database whole, its log merged into it.
    EXPECT_TRUE(std::filesystem::exists(data + "/nested/folder/scores.sqlite3"));
    EXPECT_FALSE(std::filesystem::exists(data + "/nested/folder/scores.sqlite3-wal"));
}

// Sends a crash report whose dump has `size` bytes, written in pieces from a small
// buffer; returns the answer's status line.
std::string sendLargeReport(int port, std::size_t size) {
    const std::string head = GameForm().standardFields().file("crashMiniDump", "crash.mdmp", "").body();
    const std::string prefix = head.substr(0, head.rfind("\r\n-----------------------------7d33992b80330--"));
    const std::string suffix = "\r\n-----------------------------7d33992b80330--\r\n";
    const std::string request =
        "POST /tv2/crashreport.php HTTP/1.1\r\nHost: x\r\nContent-Type: " + std::string(GameForm::kContentType) +
        "\r\nContent-Length: " + std::to_string(prefix.size() + size + suffix.size()) + "\r\n\r\n" + prefix;
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string line;
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        const std::string piece(64 * 1024, 'd');
        bool sent = send(fd, request.data(), request.size(), MSG_NOSIGNAL) > 0;
        for (std::size_t done = 0; sent && done < size; done += piece.size())
            sent = send(fd, piece.data(), std::min(piece.size(), size - done), MSG_NOSIGNAL) > 0;
        send(fd, suffix.data(), suffix.size(), MSG_NOSIGNAL);
        line = statusLine(fd);
    }
    close(fd);
    return line;
}

// The peak resident memory of process `pid`, in bytes.
std::size_t peakMemory(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.starts_with("VmHWM:")) return std::stoul(line.substr(6)) * 1024;
    return 0;
}

// Whether this build runs under ThreadSanitizer, whose own memory for each byte the
// program touches counts in the program's resident memory several times over.
#if defined(__SANITIZE_THREAD__)
constexpr bool kThreadSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
constexpr bool kThreadSanitizer = true;
#else
constexpr bool kThreadSanitizer = false;
#endif
#else
constexpr bool kThreadSanitizer = false;
#endif

// Reports go to the disk as they arrive: many large ones at once take no more memory
// than one. The limit on the program's memory holds without ThreadSanitizer only (with
// the address sanitizer the program stays near half of it).
TEST_F(ServiceProgramTest, largeCrashReportsAtOnceKeepMemoryFlat) {
    Program program;
    const int port = startService(program, {"--crash-reports-at-once", "8"});
    ASSERT_GT(port, 0);
    std::vector<std::future<std::string>> reports;
    for (int i = 0; i < 8; ++i)
        reports.push_back(
            std::async(std::launch::async, sendLargeReport, port, WebService::kCrashReportBodyLimit - 1024));
    for (auto& report : reports) EXPECT_EQ(report.get(), "HTTP/1.1 200 OK");
    const std::size_t peak = peakMemory(program.pid);
    EXPECT_EQ(program.stop(SIGTERM), 0);
    if (kThreadSanitizer) GTEST_SKIP() << "ThreadSanitizer's memory counts in the program's " << (peak >> 20) << " MiB";
    EXPECT_LT(peak, 64u << 20);
}

// A connection to `port` from `source`, an address of 127.0.0.0/8; -1 on failure. A read
// on it gives up after `kAnswerGuard`, rather than hold the test until the runner's timeout.
int connectFrom(int port, const std::string& source) {
    return LoopbackConnection{.source = source.c_str(), .receiveTimeout = kAnswerGuard}.to(port);
}

// How many files process `pid` has open.
std::size_t openFiles(pid_t pid) {
    const std::filesystem::path folder = "/proc/" + std::to_string(pid) + "/fd";
    std::error_code ec;
    std::size_t count = 0;
    for (auto it = std::filesystem::directory_iterator(folder, ec); !ec && it != std::filesystem::directory_iterator();
         it.increment(ec))
        ++count;
    return count;
}

// Waits (up to 5 s) until a service run at a low open-file limit has closed the
// connections the test closed, before it is stopped: at the limit, the sanitizers' own
// checks as its threads end (which test memory through a pipe) find no descriptor and
// report an error of their own.
void waitForFilesToClose(pid_t pid) {
    for (int i = 0; i < 500 && openFiles(pid) > 32; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

// A whole crash report request whose dump has 30,000 bytes: sent but for its last 1,000
// at first, it has paid at the least rate for longer than its body may take, so that the
// rest may trickle until its deadline.
std::string smallReport() {
    const std::string whole =
        GameForm().standardFields().file("crashMiniDump", "crash.mdmp", std::string(30000, 'd')).body();
    return "POST /tv2/crashreport.php HTTP/1.1\r\nHost: x\r\nContent-Type: " + std::string(GameForm::kContentType) +
           "\r\nContent-Length: " + std::to_string(whole.size()) + "\r\n\r\n" + whole;
}

// Crash reports that arrive slowly each hold a spool file beside their connection, and
// count the files their handling will take. At a low open-file limit they take only their
// share of the files and the rest are told to come back, so that probes are still
// answered, and no report fails for want of a file or leaves anything behind. (That the
// server does not spin when it can take no connection is tried in BusyServerTest, where
// its accepts are counted.)
TEST_F(ServiceProgramTest, slowCrashReportsAtTheFileLimitLeaveRoomForOthers) {
    Program program;
    const int port = startService(program, {"--crash-reports-per-hour", "1000"}, 256);
    ASSERT_GT(port, 0);

    const std::string request = smallReport();
    const std::size_t held = request.size() - 1000;  // sent at first; the rest trickles
    std::vector<int> reports;
    for (int i = 0; i < 300; ++i) {
        const int fd = connectFrom(port, "127.0.0." + std::to_string(10 + i % 30));
        ASSERT_GE(fd, 0) << i;
        send(fd, request.data(), held, MSG_NOSIGNAL);
        reports.push_back(fd);
    }
    // The service takes a probe only after every connection opened before it (the kernel
    // hands them over in order): on a slow machine the first waits seconds for that. What
    // counts is that each is answered, not turned away.
    int answered = 0;
    for (std::size_t round = 0; round < 10; ++round) {
        for (int fd : reports) send(fd, request.data() + held + round, 1, MSG_NOSIGNAL);
        httplib::Client probe("127.0.0.1", port);
        probe.set_connection_timeout(kAnswerGuard);
        probe.set_read_timeout(kAnswerGuard);
        auto reply = probe.Get("/tv2/onlinehelp.php");
        answered += reply && reply->status == 200;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_EQ(answered, 10);

    std::map<std::string, int> statuses;
    for (int fd : reports) {
        send(fd, request.data() + held + 10, request.size() - held - 10, MSG_NOSIGNAL);
        ++statuses[statusLine(fd)];
        close(fd);
    }
    EXPECT_GT(statuses["HTTP/1.1 200 OK"], 0);
    EXPECT_GT(statuses["HTTP/1.1 503 Service Unavailable"], 0);
    EXPECT_EQ(statuses["HTTP/1.1 200 OK"] + statuses["HTTP/1.1 503 Service Unavailable"], 300)
        << testing::PrintToString(statuses);
    waitForFilesToClose(program.pid);
    EXPECT_EQ(program.stop(SIGTERM), 0);
    // Nothing half written outlives its request: no draft folder, no body.
    for (const auto& entry : std::filesystem::directory_iterator(data + "/crashreports"))
        EXPECT_FALSE(entry.path().filename().string().starts_with(".")) << entry.path();
}

// A report the service turns away for its own want of files does not count against its
// address: the game obeys Retry-After, and a busy hour must not lock its reports out.
// Reports from other addresses that arrive slowly hold every file the reports may take,
// so that an address's reports are told to come back; once those are answered, the
// address may still send its hour's worth.
TEST_F(ServiceProgramTest, reportsToldToComeBackDoNotCountAgainstTheirAddress) {
    Program program;
    const int port = startService(program, {"--crash-reports-per-hour", "3"}, 200);
    ASSERT_GT(port, 0);
    const std::string request = smallReport();
    const auto sendFrom = [&](const std::string& source) {
        const int fd = connectFrom(port, source);
        send(fd, request.data(), request.size(), MSG_NOSIGNAL);
        const std::string status = statusLine(fd);
        close(fd);
        return status;
    };

    // Slow reports from other addresses, begun one at a time until the service tells one
    // to come back: the others then hold every file that reports in transit may take. A
    // probe answered after each lets the service take its head up first.
    const std::size_t held = request.size() - 1000;
    std::vector<pollfd> holders;
    const auto toldToComeBack = [&holders] { return poll(holders.data(), holders.size(), 0) > 0; };
    httplib::Client probe("127.0.0.1", port);
    while (holders.size() < 100 && !toldToComeBack()) {
        holders.push_back({connectFrom(port, "127.0.0." + std::to_string(10 + holders.size())), POLLIN, 0});
        send(holders.back().fd, request.data(), held, MSG_NOSIGNAL);
        probe.Get("/tv2/onlinehelp.php");
    }
    if (!toldToComeBack()) {
        program.stop(SIGTERM);
        FAIL() << "none of " << holders.size() << " slow reports was told to come back: reports in transit take "
               << "every file";
    }
    const auto told = std::find_if(holders.begin(), holders.end(), [](const pollfd& p) { return p.revents != 0; });
    EXPECT_EQ(statusLine(told->fd), "HTTP/1.1 503 Service Unavailable");
    for (int i = 0; i < 3; ++i) EXPECT_EQ(sendFrom("127.0.0.2"), "HTTP/1.1 503 Service Unavailable") << i;

    for (const pollfd& holder : holders) {
        send(holder.fd, request.data() + held, request.size() - held, MSG_NOSIGNAL);
        statusLine(holder.fd);
        close(holder.fd);
    }
    for (int i = 0; i < 3; ++i) EXPECT_EQ(sendFrom("127.0.0.2"), "HTTP/1.1 200 OK") << i;
    EXPECT_EQ(sendFrom("127.0.0.2"), "HTTP/1.1 429 Too Many Requests");
    waitForFilesToClose(program.pid);
    EXPECT_EQ(program.stop(SIGTERM), 0);
}

// At an open-file limit too low for the other limits, the connections take only the files
// the service does not hold itself, so that it never runs out of descriptors: beyond its
// places, each newcomer takes the place of the oldest connection that has sent nothing,
// which hears 503 with Retry-After, and the youngest are served.
TEST_F(ServiceProgramTest, atALowFileLimitNewcomersTakeThePlacesOfTheOldestThatSentNothing) {
    Program program;
    const int port = startService(program, {}, 70);
    ASSERT_GT(port, 0);
    std::vector<int> clients;
    for (int i = 0; i < 80; ++i) {
        const int fd = connectFrom(port, "127.0.0." + std::to_string(10 + i % 2));
        ASSERT_GE(fd, 0) << i;
        clients.push_back(fd);
    }
    EXPECT_EQ(statusLine(clients.front()), "HTTP/1.1 503 Service Unavailable");
    const std::string request = "GET /tv2/onlinehelp.php HTTP/1.1\r\nHost: x\r\n\r\n";
    send(clients.back(), request.data(), request.size(), MSG_NOSIGNAL);
    EXPECT_EQ(statusLine(clients.back()), "HTTP/1.1 200 OK");
    for (int fd : clients) close(fd);
    waitForFilesToClose(program.pid);
    EXPECT_EQ(program.stop(SIGTERM), 0);
}

// With every place at a low open-file limit held by keep-alive connections idle between
// their requests, a crash report, which needs files for its body and its store, is taken
// all the same, idle connections giving way for its files, and stored: running short of
// files is want of room, never a fault of the disk.
TEST_F(ServiceProgramTest, atALowFileLimitACrashReportTakesTheFilesOfIdleConnections) {
    Program program;
    const int port = startService(program, {"--connections-per-address", "0"}, 64);
    ASSERT_GT(port, 0);
    const std::string get = "GET /tv2/onlinehelp.php HTTP/1.1\r\nHost: x\r\n\r\n";
    std::vector<int> idle;
    for (int i = 0; i < 50; ++i) {
        const int fd = connectFrom(port, "127.0.0.2");
        ASSERT_GE(fd, 0) << i;
        send(fd, get.data(), get.size(), MSG_NOSIGNAL);
        ASSERT_EQ(statusLine(fd), "HTTP/1.1 200 OK") << i;
        idle.push_back(fd);
    }
    const int reporter = connectFrom(port, "127.0.0.3");
    const std::string report = smallReport();
    send(reporter, report.data(), report.size(), MSG_NOSIGNAL);
    EXPECT_EQ(statusLine(reporter), "HTTP/1.1 200 OK");
    close(reporter);
    for (int fd : idle) close(fd);
    waitForFilesToClose(program.pid);
    EXPECT_EQ(program.stop(SIGTERM), 0);
}

// At the open-file limit a request that needs files asks who gives way for them; the
// connection that asks never gives way to itself, even one that had been idle between
// its requests until its next came. The report takes the place of one of the others,
// whose heads have not come, and the service stays up to serve others once places are
// free.
TEST_F(ServiceProgramTest, aKeepAliveCrashReportAtTheFileLimitIsAnsweredWithoutTakingItsOwnPlace) {
    Program program;
    const int port = startService(program, {"--connections-per-address", "0"}, 200);
    ASSERT_GT(port, 0);
    const int asking = connectFrom(port, "127.0.0.2");
    const std::string get = "GET /tv2/onlinehelp.php HTTP/1.1\r\nHost: x\r\n\r\n";
    send(asking, get.data(), get.size(), MSG_NOSIGNAL);
    // The whole answer, so that the status read next is the report's.
    std::string answer;
    char buffer[4096];
    for (ssize_t n = 0;
         answer.find("</html>") == std::string::npos && (n = recv(asking, buffer, sizeof buffer, 0)) > 0;)
        answer.append(buffer, static_cast<std::size_t>(n));
    ASSERT_TRUE(answer.starts_with("HTTP/1.1 200 OK\r\n")) << answer;
    const std::size_t filesBefore = openFiles(program.pid);
    // Every other place the connections may take (200 files but 64 kept spare).
    std::vector<int> others;
    for (int i = 0; i < 135; ++i) others.push_back(connectFrom(port, "127.0.0.3"));
    for (int i = 0; i < 500 && openFiles(program.pid) < filesBefore + others.size(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_GE(openFiles(program.pid), filesBefore + others.size());

    const std::string report = smallReport();
    send(asking, report.data(), report.size(), MSG_NOSIGNAL);
    EXPECT_EQ(statusLine(asking), "HTTP/1.1 200 OK");
    close(asking);
    for (int fd : others) close(fd);
    waitForFilesToClose(program.pid);
    httplib::Client probe("127.0.0.1", port);
    const auto reply = probe.Get("/tv2/onlinehelp.php");
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, 200);
    EXPECT_EQ(program.stop(SIGTERM), 0);
}

// Upload bodies that arrive in small pieces from many clients at once are each answered.
// (That each takes one buffer of its announced size is tried in ConnectionReaderTest;
// bench_service measures the memory they take and give back.)
TEST_F(ServiceProgramTest, tricklingUploadBodiesAreEachAnswered) {
    Program program;
    const int port = startService(program);
    ASSERT_GT(port, 0);

    constexpr int kClients = 1500;
    constexpr std::size_t kBody = WebService::kUploadBodyLimit, kPiece = 1000;
    const std::string head =
        "POST /tv2/highscoreupload.php HTTP/1.1\r\nHost: x\r\nContent-Type: " + std::string(GameForm::kContentType) +
        "\r\nContent-Length: " + std::to_string(kBody) + "\r\n\r\n";
    std::vector<int> clients;
    for (int i = 0; i < kClients; ++i) {
        const int fd = connectFrom(port, "127.0.0." + std::to_string(10 + i % 30));
        ASSERT_GE(fd, 0) << i;
        send(fd, head.data(), head.size(), MSG_NOSIGNAL);
        clients.push_back(fd);
    }
    const std::string piece(kPiece, 'z');
    for (std::size_t sent = 0; sent < kBody; sent += kPiece) {
        for (int fd : clients) send(fd, piece.data(), std::min(kPiece, kBody - sent), MSG_NOSIGNAL);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    // The bodies are no score records: each is refused, or when they all arrive at once
    // faster than the workers take them, the client is told to come back.
    std::map<std::string, int> statuses;
    for (int fd : clients) {
        ++statuses[statusLine(fd)];
        close(fd);
    }
    EXPECT_EQ(statuses["HTTP/1.1 400 Bad Request"] + statuses["HTTP/1.1 503 Service Unavailable"], kClients)
        << testing::PrintToString(statuses);
    EXPECT_EQ(program.stop(SIGTERM), 0);
}

// Clients upload without pause while the service is stopped: an upload it kept was
// acknowledged, so that no client sends it again. Whatever the moment of the signal,
// the store holds exactly the uploads answered with 200. The clients send each request
// at once (no delay for small packets), so that the signal mostly finds uploads being
// stored rather than still arriving. Each waits for its answer as the game does, however
// long the service takes (up to 5 s for the database alone, more on a slow machine; a
// stop closes every connection within 2 s): one that gave up while its upload was being
// stored could not tell whether it was kept.
TEST_F(ServiceProgramTest, aStopUnderLoadAcknowledgesEveryUploadItKept) {
    Program program;
    const int port = startService(program);
    ASSERT_GT(port, 0);
    constexpr int kClients = 32, kMostEach = 400;
    // Each upload holds a score of its own, since one that adds nothing new is not kept.
    const auto upload = [](int score) {
        ScoreRecordBuilder record(42);
        record.entry(0, 0, "Ann", score);
        return GameForm().standardFields().file("HSTfile", "s.hst", record.bytes()).body();
    };
    std::mutex mutex;
    std::condition_variable counted;
    int acknowledged = 0;
    std::vector<std::thread> clients;
    for (int i = 0; i < kClients; ++i) {
        clients.emplace_back([&, i] {
            httplib::Client client("127.0.0.1", port);
            client.set_keep_alive(true);
            client.set_tcp_nodelay(true);
            client.set_read_timeout(kAnswerGuard);
            for (int n = 0; n < kMostEach; ++n) {
                const auto reply =
                    client.Post("/tv2/highscoreupload.php", upload(1 + i * kMostEach + n), GameForm::kContentType);
                if (!reply) return;
                if (reply->status != 200) continue;  // told to try again: nothing was kept
                std::lock_guard lock(mutex);
                ++acknowledged;
                counted.notify_all();
            }
        });
    }
    {
        std::unique_lock lock(mutex);
        EXPECT_TRUE(counted.wait_for(lock, std::chrono::seconds(30), [&] { return acknowledged >= 8 * kClients; }));
    }
    EXPECT_EQ(program.stop(SIGTERM), 0);
    for (std::thread& client : clients) client.join();
    SqliteScoreStore scores(data + "/scores.sqlite3");
    ASSERT_TRUE(scores.ok()) << scores.openError();
    EXPECT_EQ(scores.uploadCount(), acknowledged);
}

// A signal may come after the port is bound but before the server loop runs.
TEST_F(ServiceProgramTest, aStopBeforeTheLoopRunsIsNotLost) {
    SqliteScoreStore scores(data + "/scores.sqlite3");
    ASSERT_TRUE(scores.ok()) << scores.openError();
    CrashReportStore crashes(data + "/crashreports");
    WebService service(scores, crashes);
    ASSERT_GT(service.bind("127.0.0.1", 0), 0);
    service.stop();
    auto run = std::async(std::launch::async, [&] { return service.run(); });
    ASSERT_EQ(run.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_TRUE(run.get());
}

// Whether process `pid` has the file at `path` open.
bool holdsFile(pid_t pid, const std::filesystem::path& path) {
    const std::filesystem::path folder = "/proc/" + std::to_string(pid) + "/fd";
    std::error_code ec;
    for (auto it = std::filesystem::directory_iterator(folder, ec); !ec && it != std::filesystem::directory_iterator();
         it.increment(ec))
        if (std::filesystem::read_symlink(it->path(), ec) == path) return true;
    return false;
}

// A signal that comes while the scores are opened (when an old database is brought up to
// date, or another process holds its lock, as here) ends the program at once, as it ends
// a program that does not handle it, rather than once the open is done or has failed.
TEST_F(ServiceProgramTest, aSignalWhileTheScoresAreOpenedEndsTheProgramAtOnce) {
    const std::filesystem::path database = std::filesystem::canonical(data) / "scores.sqlite3";
    ASSERT_TRUE(SqliteScoreStore(database.string()).ok());
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(database.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    Program program;
    ASSERT_TRUE(program.launch({"--port", "0", "--data", data}));
    // Once it has the database open, it waits for the lock.
    bool opened = false;
    for (int i = 0; i < 1000 && !(opened = holdsFile(program.pid, database)); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    kill(program.pid, SIGTERM);
    int status = 0;
    waitpid(program.pid, &status, 0);
    std::fclose(program.out);
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_TRUE(opened);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << "status " << status;
}

TEST_F(ServiceProgramTest, refusesABadCommandLine) {
    for (const std::vector<std::string>& arguments : {std::vector<std::string>{"--port", "70000"},
                                                      {"--port"},
                                                      {"--colour", "red"},
                                                      {"--connections-per-address", "-1"},
                                                      {"--connections-per-address", "many"},
                                                      {"--new-installations-per-hour", "-1"},
                                                      {"--crash-reports-at-once", "-1"},
                                                      {"--crash-reports-at-once", "some"}}) {
        Program program;
        EXPECT_EQ(program.start(arguments), "");
        int status = 0;
        waitpid(program.pid, &status, 0);
        std::fclose(program.out);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2);
    }
}

}  // namespace
