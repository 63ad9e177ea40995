// The whole web service, loop and routes, fed by clients that come and go: the input is a
// list of events (a client connects from one of four loopback addresses, through the
// listening socket or a socket pair the server adopts, sends bytes or one of the game's
// requests, resets or half-closes its connection; the server's clock moves on; queued
// requests are worked off; the server is stopped), each followed by a few turns of the
// loop and a read of every reply. The server has no workers, so a request waits until an
// event works it off, and its limits are small, so that the per-address limit, the
// eviction of idle connections, the queue's bound and the memory budget are all met.
// Each input ends with a stop and 3 s of the clock, after which:
//   - the run is over, and every descriptor it opened is closed again;
//   - every reply starts as an answer does;
//   - when no client vanished, every upload the store kept was acknowledged as new.
// Nothing waits on real time: the loop turns without waiting, and the server's clock moves
// only by the input. The scores are kept in memory, fresh for each input, so that an input
// takes under a millisecond and plays out the same whenever it runs.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <bitset>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "CrashReportStore.h"
#include "ScoreStore.h"
#include "WebService.h"
#include "support/GameForm.h"
#include "support/ScoreRecordBuilder.h"

namespace {

using namespace std::chrono_literals;

constexpr std::size_t kMostClients = 16;
constexpr std::size_t kMostEvents = 256;
constexpr int kTurnsPerEvent = 3;  // one accepts a connection, the next reads what it sent

enum Event : std::uint8_t { Connect, Send, SendRequest, Reset, HalfClose, Wait, Work, Stop, kEventCount };

std::string request(const std::string& method, const std::string& target, const std::string& body,
                    const std::string& more = "") {
    return method + " " + target + " HTTP/1.1\r\nHost: x\r\nContent-Type: " + GameForm::kContentType +
           "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n" + more + "\r\n" + body;
}

// The requests a client may send whole or in part, made once.
const std::vector<std::string>& requests() {
    static const std::vector<std::string> all = [] {
        ScoreRecordBuilder record(7);
        record.entry(0, 0, "Ann", 90000).entry(2, 0, "Bo", 45000);
        const std::string upload = GameForm().standardFields().file("HSTfile", "s.hst", record.bytes()).body();
        const std::string report = GameForm().standardFields().file("crashLog", "log.txt", "boom").body();
        return std::vector<std::string>{
            request("GET", "/", ""),
            request("HEAD", "/tv2/highscoretable.php?table=2", ""),
            request("POST", "/tv2/highscoreupload.php", upload),
            request("POST", "/tv2/nettest.php", GameForm().standardFields().body()),
            request("POST", "/tv2/crashreport.php", report),
            request("POST", "/tv2/nettest.php", std::string(WebService::kNetTestBodyLimit + 1, 'n')),
            request("GET", "/tv2/onlinehelp.php", "", "Connection: close\r\n"),
            request("POST", "/tv2/highscoreupload.php", upload, "Expect: 100-continue\r\n"),
            request("GET", "/tv2/highscoretable.php", ""),
            request("PUT", "/tv2/crashreport.php", ""),
        };
    }();
    return all;
}

// Which of the first descriptors are open: a poll marks those that are not as invalid.
// The system gives out the lowest free descriptor each time, and an input holds a few
// dozen at most at once, so one it leaves open shows among these.
constexpr std::size_t kWatchedDescriptors = 256;
std::bitset<kWatchedDescriptors> openDescriptors() {
    std::array<pollfd, kWatchedDescriptors> all{};
    for (std::size_t fd = 0; fd < all.size(); ++fd) all[fd] = {static_cast<int>(fd), 0, 0};
    ::poll(all.data(), all.size(), 0);
    std::bitset<kWatchedDescriptors> open;
    for (std::size_t fd = 0; fd < all.size(); ++fd) open[fd] = (all[fd].revents & POLLNVAL) == 0;
    return open;
}

// The scores in memory, kept as the service's own store keeps them: an entry is known by
// its table, installation and digest, and an upload without a new entry leaves nothing
// behind. A fresh database for each input costs many times what the rest of the input
// does, and one kept across inputs would make an input's outcome depend on those before
// it. The server has no workers, so only this thread calls it.
class MemoryScoreStore final : public ScoreStore {
public:
    int store(const ScoreUpload& upload, const Source&, std::string&) override {
        int added = 0;
        for (const ScoreUpload::Entry& entry : upload.entries)
            if (known_.emplace(entry.table, upload.installationId, entry.digest).second) {
                tables_[entry.table].push_back(
                    {upload.installationId, upload.countryCode, entry.name, entry.score, entry.time});
                ++added;
            }
        if (added > 0) {
            installations_.insert(upload.installationId);
            ++uploads_;
        }
        return added;
    }
    std::vector<BestEntry> bestEntries(int table, int limit) override {
        std::vector<BestEntry> best;
        if (table < 0 || table >= ScoreUpload::kTableCount) return best;
        const auto better = [](const BestEntry& a, const BestEntry& b) {
            return a.score > b.score || (a.score == b.score && a.time < b.time);
        };
        for (const BestEntry& entry : tables_[table]) {
            const auto same = std::find_if(best.begin(), best.end(), [&entry](const BestEntry& b) {
                return b.installationId == entry.installationId;
            });
            if (same == best.end())
                best.push_back(entry);
            else if (better(entry, *same))
                *same = entry;
        }
        std::stable_sort(best.begin(), best.end(), better);
        best.resize(std::min(best.size(), static_cast<std::size_t>(std::max(limit, 0))));
        return best;
    }
    bool hasInstallation(std::uint32_t installationId) override { return installations_.count(installationId) != 0; }
    std::int64_t uploadCount() override { return uploads_; }
    // Nothing here ever waits, so a store in memory is never busy.
    void endWaitsBy(std::chrono::steady_clock::time_point) override {}

private:
    std::set<std::tuple<int, std::uint32_t, std::array<std::uint8_t, 16>>> known_;
    std::vector<BestEntry> tables_[ScoreUpload::kTableCount];
    std::set<std::uint32_t> installations_;
    std::int64_t uploads_ = 0;
};

// One input's service over a fresh store, on a clock the input moves, and its clients.
class Run {
public:
    explicit Run(const std::filesystem::path& crashFolder)
        : crashes_(crashFolder, {1 << 20, 3}), service_(scores_, crashes_, limits()) {
        port_ = server().bind("127.0.0.1", 0);
        if (port_ <= 0 || !server().start()) fail("the service cannot start");
    }
    // The clients reset their connections rather than close them: the server has closed
    // its ends already, and a close would leave those ends in TIME_WAIT for a minute; at
    // a thousand inputs a second they would fill the kernel's table and the free ports.
    ~Run() {
        for (Client& client : clients_) reset(client);
    }
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    // Plays the events of `input` in order, then stops the server and lets the clock run
    // until the run is over, for 3 s at most.
    void play(std::string_view input) {
        for (std::size_t events = 0; input.size() >= 2 && events < kMostEvents; ++events) {
            const auto event = static_cast<Event>(static_cast<std::uint8_t>(input[0]) % kEventCount);
            const auto argument = static_cast<std::uint8_t>(input[1]);
            input.remove_prefix(2);
            take(event, argument, input);
            turnAndRead();
        }
        server().stop();
        for (int i = 0; i < 6 && !server().over(); ++i) {
            clock_ += 500ms;
            turnAndRead();
        }
    }

    // The checks that hold after `play`.
    void check() {
        if (!server().over()) fail("the run is not over 3 s after the stop");
        int acknowledged = 0;
        for (const Client& client : clients_) {
            if (!client.received.empty() && !client.received.starts_with("HTTP/1.1 "))
                fail("a reply is no answer: " + client.received.substr(0, 40));
            // An upload that added nothing new is acknowledged but not kept.
            for (std::size_t at = 0; (at = client.received.find("\r\n\r\nReceived ", at)) != std::string::npos; ++at)
                acknowledged += client.received.substr(at, client.received.find('\n', at + 4) - at).find("(0 new)") ==
                                std::string::npos;
        }
        if (!vanished_ && acknowledged != scores_.uploadCount())
            fail("uploads kept " + std::to_string(scores_.uploadCount()) + ", acknowledged " +
                 std::to_string(acknowledged));
    }

private:
    struct Client {
        int fd = -1;
        std::string received;
        bool heardAll = false;  // the server's end is closed: nothing more will come
    };

    HttpServer::Limits limits() {
        HttpServer::Limits limits;
        limits.workers = 0;
        limits.connections = 6;
        limits.connectionsPerAddress = 3;
        limits.queuedRequests = 3;
        limits.bodyMemory = 24 * 1024;  // one upload at a time
        limits.headTime = 2s;
        limits.body.time = 2s;
        limits.body.silence = 2s;
        limits.answer.time = 2s;
        limits.requestsPerConnection = 4;
        limits.clock = [this] { return clock_; };
        return limits;
    }
    HttpServer& server() { return service_.server(); }

    void take(Event event, std::uint8_t argument, std::string_view& input) {
        Client* client = clients_.empty() ? nullptr : &clients_[argument % clients_.size()];
        switch (event) {
            case Connect:
                connect(argument);
                break;
            case Send: {
                // The next byte says how many of the bytes after it go.
                if (input.empty()) break;
                const std::size_t size = std::min<std::size_t>(static_cast<std::uint8_t>(input[0]), input.size() - 1);
                if (client) send(*client, input.substr(1, size));
                input.remove_prefix(1 + size);
                break;
            }
            case SendRequest: {
                // The low half of the next byte picks the request, the high half how much of
                // it goes: all of it, or so many sixteenths.
                if (input.empty()) break;
                const auto pick = static_cast<std::uint8_t>(input[0]);
                input.remove_prefix(1);
                const std::string& whole = requests()[(pick & 15u) % requests().size()];
                if (client)
                    send(*client, std::string_view(whole).substr(
                                      0, (pick >> 4) == 0 ? whole.size() : whole.size() * (pick >> 4) / 16));
                break;
            }
            case Reset:
                if (client && client->fd >= 0) {
                    reset(*client);
                    vanished_ = true;
                }
                break;
            case HalfClose:
                if (client) ::shutdown(client->fd, SHUT_WR);
                break;
            case Wait:
                clock_ += argument * 50ms;
                break;
            case Work:
                for (int i = 0; i <= argument % 4; ++i) server().workOne();
                break;
            case Stop:
                // An odd argument stops the server just as a request is done, its answer
                // not yet sent.
                if (argument % 2 == 1) server().workOne();
                server().stop();
                break;
            case kEventCount:
                break;
        }
    }

    // A client from 127.0.0.1 to 127.0.0.4 (the low two bits of `argument`). Most come
    // through a socket pair whose end the server adopts as if it had accepted it from
    // that address: a TCP connection costs the kernel many times more, most of an input's
    // time when every client had one. The first client whose argument has its high bit
    // set comes through the listening socket, so that the accept and the ways a TCP
    // connection ends are still met.
    void connect(std::uint8_t argument) {
        if (clients_.size() >= kMostClients) return;
        const bool overTcp = argument >= 128 && !triedTcp_;
        triedTcp_ = triedTcp_ || overTcp;
        const int fd = overTcp ? connectToPort(argument % 4) : connectPaired(argument % 4);
        if (fd >= 0) clients_.push_back({fd, {}, false});
    }

    // Through the listening socket; -1 once it is closed.
    int connectToPort(int address) const {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        // The port is chosen at connect, so that a port whose connection waits out its
        // close with another server may still be used.
        int yes = 1;
        ::setsockopt(fd, IPPROTO_IP, IP_BIND_ADDRESS_NO_PORT, &yes, sizeof yes);
        sockaddr_in from{};
        from.sin_family = AF_INET;
        from.sin_addr.s_addr = htonl(INADDR_LOOPBACK + address);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(static_cast<std::uint16_t>(port_));
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::bind(fd, reinterpret_cast<sockaddr*>(&from), sizeof from) != 0 ||
            ::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0 || toItself(fd, to)) {
            ::close(fd);
            return -1;
        }
        // Each send goes at once, not held back until the server acknowledges the last.
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
        return fd;
    }

    int connectPaired(int address) {
        int ends[2];
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, ends) != 0) return -1;
        server().adopt(ends[0], "127.0.0." + std::to_string(1 + address), "127.0.0.1");
        return ends[1];
    }

    // Once the listening socket is closed, a connection from 127.0.0.1 whose port the
    // system happens to pick as the server's own reaches itself and hears its own bytes.
    static bool toItself(int fd, const sockaddr_in& to) {
        sockaddr_in local{};
        socklen_t size = sizeof local;
        return ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &size) == 0 && local.sin_port == to.sin_port &&
               local.sin_addr.s_addr == to.sin_addr.s_addr;
    }

    static void reset(Client& client) {
        if (client.fd < 0) return;
        const linger abort{1, 0};
        ::setsockopt(client.fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
        ::close(client.fd);
        client.fd = -1;
    }

    static void send(const Client& client, std::string_view bytes) {
        if (client.fd >= 0) ::send(client.fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    }

    void turnAndRead() {
        for (int i = 0; i < kTurnsPerEvent; ++i)
            if (!server().turn(0ms)) fail("the loop failed");
        // One look at every client that may still hear something, then a read of those
        // that have.
        std::array<pollfd, kMostClients> watched{};
        std::array<Client*, kMostClients> whose{};
        std::size_t count = 0;
        for (Client& client : clients_)
            if (client.fd >= 0 && !client.heardAll) {
                watched[count] = {client.fd, POLLIN, 0};
                whose[count++] = &client;
            }
        if (::poll(watched.data(), count, 0) <= 0) return;
        char buffer[65536];
        for (std::size_t i = 0; i < count; ++i) {
            if (watched[i].revents == 0) continue;
            Client& client = *whose[i];
            ssize_t n = 0;
            while ((n = ::recv(client.fd, buffer, sizeof buffer, MSG_DONTWAIT)) > 0)
                client.received.append(buffer, static_cast<std::size_t>(n));
            // Nothing comes after the end of the server's output, or after a reset.
            client.heardAll = n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
        }
    }

    static void fail(const std::string& why) {
        std::fprintf(stderr, "%s\n", why.c_str());
        std::abort();
    }

    HttpServer::Clock::time_point clock_{};  // read by the server from its construction on
    MemoryScoreStore scores_;
    CrashReportStore crashes_;
    WebService service_;
    std::vector<Client> clients_;
    int port_ = 0;
    bool vanished_ = false;  // a client reset its connection, so its answers may be lost
    bool triedTcp_ = false;  // a client has connected to the listening socket, or tried to
};

// A private folder for the inputs' crash reports, emptied after each and removed at exit.
struct Folder {
    std::filesystem::path root;
    Folder() {
        // In memory where there is a place for it: crash reports are flushed to the disk.
        const std::filesystem::path base =
            std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
        std::string pattern = (base / "fuzz_http_server-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        root = pattern;
    }
    ~Folder() {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
    // Removes what an input left (most leave nothing). The folder itself stays: making
    // and removing it for each input took longer than a look inside.
    void empty() const {
        std::error_code ec;
        std::vector<std::filesystem::path> left;
        for (const auto& entry : std::filesystem::directory_iterator(root, ec)) left.push_back(entry.path());
        for (const std::filesystem::path& path : left) std::filesystem::remove_all(path, ec);
    }
};

const Folder& folder() {
    static const Folder f;
    return f;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::bitset<kWatchedDescriptors> openBefore = openDescriptors();
    {
        Run run(folder().root);
        run.play(std::string_view(reinterpret_cast<const char*>(data), size));
        run.check();
    }
    if (openDescriptors() != openBefore) {
        std::fprintf(stderr, "a descriptor outlived the run\n");
        std::abort();
    }
    folder().empty();
    return 0;
}
