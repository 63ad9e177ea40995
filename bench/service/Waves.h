#pragma once
// Floods that come in waves, as a patient attacker with many addresses makes them: every
// so often so many new connections at once, from many loopback addresses, each of which
// sends nothing, or only a head's first byte, or an upload's head and then its body at a
// trickle, or pipelines requests and reads none of their answers. A wave's connections are
// left to the service: one is closed here only once the service has ended it (when the
// plan says so), as its end shows, and all are closed when the flood ends.
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "ServiceClients.h"
#include "WebService.h"

namespace bench {

struct WavePlan {
    enum class Kind {
        empty,     // sends nothing
        oneByte,   // a head's first byte, and nothing more
        trickled,  // an upload's head announcing its largest body, then the body at 600 bytes a second
        unread,    // 990 GETs of the help page, pipelined as fast as the service takes them; reads nothing
    };
    Kind kind = Kind::empty;
    std::chrono::milliseconds period{2000};  // from one wave to the next
    int count = 0;                           // connections a wave
    int receiveBuffer = 0;                   // of each connection, in bytes; the system's when 0
    std::string network = "127.0.9.";        // the connections come from its addresses 1 to `addresses` in turn
    int addresses = 136;
    bool closesEnded = true;  // a connection the service has ended is closed at once; else held to the end
};

struct Waves {
    int waves = 0;
    int opened = 0;   // connections, in all
    int ended = 0;    // of those, seen ended by the service
    int cut = 0;      // of those that read what they were told: with 408
    int refused = 0;  // and with 503
};

// `plan` in words.
inline std::string describe(const WavePlan& plan) {
    using Kind = WavePlan::Kind;
    const char* what = plan.kind == Kind::empty     ? "send nothing"
                       : plan.kind == Kind::oneByte ? "send a head's first byte"
                       : plan.kind == Kind::trickled
                           ? "announce an upload's largest body and trickle it at 600 bytes a second"
                           : "pipeline 990 GETs and read nothing";
    const std::string buffer =
        plan.receiveBuffer > 0 ? std::to_string(plan.receiveBuffer / 1024) + " KiB" : std::string("the system's");
    char text[320];
    std::snprintf(text, sizeof text, "waves of %d connections from %d addresses every %.1f s that %s%s%s", plan.count,
                  plan.addresses, std::chrono::duration<double>(plan.period).count(), what,
                  plan.kind == Kind::unread ? ", with a receive buffer of " : "",
                  plan.kind == Kind::unread ? buffer.c_str() : "");
    return text;
}

// The bytes a connection of `kind` sends in all.
inline std::string waveBytes(WavePlan::Kind kind) {
    using Kind = WavePlan::Kind;
    std::string bytes;
    if (kind == Kind::oneByte) bytes = "P";
    if (kind == Kind::trickled)
        bytes = postHead("/tv2/highscoreupload.php", WebService::kUploadBodyLimit) +
                std::string(WebService::kUploadBodyLimit, '-');
    for (int i = 0; kind == Kind::unread && i < 990; ++i)
        bytes += "GET /tv2/onlinehelp.php HTTP/1.1\r\nHost: x\r\n\r\n";
    return bytes;
}

// How many of the `whole` bytes a connection of `kind` has sent once it has been open for
// `age`.
inline std::size_t dueAfter(WavePlan::Kind kind, std::size_t whole, Clock::duration age) {
    if (kind != WavePlan::Kind::trickled) return whole;
    // The head and a byte at once, then 60 bytes every 100 ms.
    const std::size_t head = whole - WebService::kUploadBodyLimit;
    return std::min(whole, head + 1 + 60 * static_cast<std::size_t>(age / std::chrono::milliseconds(100)));
}

// Floods `port` in waves by `plan` until `flooding` ends, calling `meanwhile` every 10 ms
// or so, and once more at the end before the connections are closed; `sent` is set once
// the first wave has sent all it sends.
template <typename Meanwhile>
Waves floodInWaves(int port, const WavePlan& plan, const std::atomic<bool>& flooding, Meanwhile meanwhile,
                   std::atomic<bool>* sent = nullptr) {
    struct Connection {
        int fd = -1;
        Clock::time_point opened{};
        std::size_t sent = 0;
        bool ended = false;
        bool first = false;  // of the first wave
    };
    const std::string bytes = waveBytes(plan.kind);
    const bool reads = plan.kind != WavePlan::Kind::unread;
    Waves waves;
    std::vector<Connection> open;
    for (auto next = Clock::now(); flooding; meanwhile()) {
        if (Clock::now() >= next) {
            for (int i = 0; i < plan.count; ++i, ++waves.opened) {
                const std::string source = plan.network + std::to_string(1 + i % plan.addresses);
                if (const int fd = connectTo(port, source.c_str(), plan.receiveBuffer); fd >= 0)
                    open.push_back({.fd = fd, .opened = Clock::now(), .first = waves.waves == 0});
            }
            ++waves.waves;
            next += plan.period;
        }
        const auto now = Clock::now();
        bool firstSent = true;
        for (Connection& c : open) {
            const std::size_t due = dueAfter(plan.kind, bytes.size(), now - c.opened);
            if (!c.ended && c.sent < due) {
                const ssize_t n = ::send(c.fd, bytes.data() + c.sent, due - c.sent, MSG_NOSIGNAL | MSG_DONTWAIT);
                if (n > 0) c.sent += static_cast<std::size_t>(n);
            }
            firstSent = firstSent && (!c.first || c.ended || c.sent == due);
        }
        if (sent && firstSent) *sent = true;
        // The service's end of a connection shows without reading: its client need not read
        // what came before it. One seen ended is not looked at again.
        std::vector<pollfd> polled;
        for (const Connection& c : open) polled.push_back({c.ended ? -1 : c.fd, POLLRDHUP, 0});
        ::poll(polled.data(), polled.size(), 10);
        for (std::size_t i = 0; i < polled.size(); ++i) {
            if (polled[i].revents == 0) continue;
            Connection& c = open[i];
            c.ended = true;
            ++waves.ended;
            const std::string status = reads ? statusBy(c.fd, Clock::now()) : std::string();
            waves.cut += status == "HTTP/1.1 408 Request Timeout";
            waves.refused += status == "HTTP/1.1 503 Service Unavailable";
        }
        if (plan.closesEnded)
            std::erase_if(open, [](const Connection& c) {
                if (c.ended) ::close(c.fd);
                return c.ended;
            });
    }
    meanwhile();
    for (const Connection& c : open) ::close(c.fd);
    return waves;
}

}  // namespace bench
