#pragma once
// A flood of connections that send nothing, as a client that only opens connections would
// make one, or only a head's first byte: it holds so many open, opens one again as the
// service closes one, and may open more on top at a steady rate, from a few loopback
// addresses in turn.
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <vector>

#include "ServiceClients.h"

namespace bench {

// How an idle flood opens its connections.
struct IdleFloodPlan {
    int count = 120;      // held open: one is opened again as the service closes one
    double rate = 10;     // of those, the most opened again a second
    double extra = 0;     // opened a second beyond `count`, each held until the service closes it
    int addresses = 12;   // of 127.0.4.0/24 that the connections come from in turn, from 127.0.4.1
    std::string sends{};  // on each connection once open, and nothing more ("P": a head's first byte)
};

struct IdleFlood {
    int opened = 0;  // connections, in all
    int heard = 0;   // closed by the service after a status
    int silent = 0;  // closed by the service without one
};

// Floods `port` by `plan` until `flooding` ends; `filled` is set once the first `count`
// connections are open.
inline IdleFlood floodIdly(int port, const IdleFloodPlan& plan, const std::atomic<bool>& flooding,
                           std::atomic<bool>* filled = nullptr) {
    IdleFlood flood;
    std::vector<pollfd> open;
    std::vector<bool> held;  // beside `open`: one of the `count` held open, not an extra
    int heldOpen = 0;
    const auto openOne = [&](bool kept) {
        const std::string source = "127.0.4." + std::to_string(1 + flood.opened % plan.addresses);
        const int fd = connectTo(port, source.c_str());
        if (fd >= 0) {
            if (!plan.sends.empty()) ::send(fd, plan.sends.data(), plan.sends.size(), MSG_NOSIGNAL);
            open.push_back({fd, POLLIN, 0});
            held.push_back(kept);
            heldOpen += kept;
        }
        ++flood.opened;
    };
    while (heldOpen < plan.count && flooding) openOne(true);
    if (filled) *filled = true;
    double reopens = 0, extras = 0;
    for (auto last = Clock::now(); flooding;) {
        ::poll(open.data(), open.size(), 10);
        for (std::size_t i = open.size(); i-- > 0;) {
            if (open[i].revents == 0) continue;
            char bytes[64];
            (::recv(open[i].fd, bytes, sizeof bytes, MSG_DONTWAIT) > 0 ? flood.heard : flood.silent) += 1;
            ::close(open[i].fd);
            heldOpen -= held[i];
            open[i] = open.back();
            held[i] = held.back();
            open.pop_back();
            held.pop_back();
        }
        const auto now = Clock::now();
        const double seconds = std::chrono::duration<double>(now - last).count();
        last = now;
        reopens = std::min(reopens + plan.rate * seconds, std::max(plan.rate, 1.0));
        for (; reopens >= 1 && heldOpen < plan.count; reopens -= 1) openOne(true);
        for (extras += plan.extra * seconds; extras >= 1; extras -= 1) openOne(false);
    }
    for (const pollfd& p : open) ::close(p.fd);
    return flood;
}

}  // namespace bench
