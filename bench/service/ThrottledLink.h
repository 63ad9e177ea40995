#pragma once
// Slow links of this machine's own, as a modem's: a network namespace made for the service
// and one for each link's client, each client's joined to the service's by a pair of
// virtual Ethernet devices whose both ends send at most so many bits a second (a token
// bucket with a queue of a few seconds). Made with `ip` and `tc`, which need root; when
// they cannot be made, `failure` says why. The addresses are of the block kept for
// examples, 192.0.2.0/24, each link a /30 of it, and reach nothing outside the namespaces,
// which go when this does.
#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/LoopbackConnection.h"

namespace bench {

class ThrottledLink {
public:
    ThrottledLink(int bitsPerSecond, int links) {
        const std::string id = std::to_string(::getpid());
        service_ = "torvane-bench-" + id + "-service";
        std::vector<std::string> commands = {"ip netns add " + service_, "ip -n " + service_ + " link set lo up"};
        // A queue of four seconds' bytes at the rate, and at least four full packets.
        const std::string bucket = " root tbf rate " + std::to_string(bitsPerSecond) + "bit burst 1600 limit " +
                                   std::to_string(std::max(bitsPerSecond / 2, 6000));
        for (int i = 0; i < links; ++i) {
            const std::string client = "torvane-bench-" + id + "-client" + std::to_string(i);
            const std::string ours = "tvb" + id + "s" + std::to_string(i),
                              theirs = "tvb" + id + "c" + std::to_string(i);
            clients_.push_back(client);
            addresses_.push_back("192.0.2." + std::to_string(4 * i + 1));
            commands.insert(
                commands.end(),
                {"ip netns add " + client,
                 "ip -n " + service_ + " link add " + ours + " type veth peer name " + theirs + " netns " + client,
                 "ip -n " + service_ + " addr add " + addresses_.back() + "/30 dev " + ours,
                 "ip -n " + client + " addr add 192.0.2." + std::to_string(4 * i + 2) + "/30 dev " + theirs,
                 "ip -n " + service_ + " link set " + ours + " up", "ip -n " + client + " link set " + theirs + " up",
                 "tc -n " + service_ + " qdisc add dev " + ours + bucket,
                 "tc -n " + client + " qdisc add dev " + theirs + bucket});
        }
        for (const std::string& command : commands)
            if (std::system((command + " >/dev/null 2>&1").c_str()) != 0) {
                failure_ = "`" + command + "` failed (it needs root, and iproute2)";
                return;
            }
    }
    ~ThrottledLink() {
        clients_.push_back(service_);
        for (const std::string& space : clients_)
            if (::access(("/run/netns/" + space).c_str(), F_OK) == 0 &&
                std::system(("ip netns del " + space + " >/dev/null 2>&1").c_str()) != 0)
                std::fprintf(stderr, "service: the network namespace %s could not be taken down\n", space.c_str());
    }
    ThrottledLink(const ThrottledLink&) = delete;
    ThrottledLink& operator=(const ThrottledLink&) = delete;

    // Why the links could not be made; empty when they were.
    const std::string& failure() const { return failure_; }
    // The service's namespace, for `ServiceProgram::start`.
    std::string serviceNetwork() const { return "/run/netns/" + service_; }
    // A connection over link `link` to the service's `port` there, with a receive buffer of
    // `receiveBuffer` bytes when given; -1 when it cannot be made.
    int connect(int link, int port, int receiveBuffer) const {
        const int own = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
        const int theirs = ::open(("/run/netns/" + clients_[link]).c_str(), O_RDONLY | O_CLOEXEC);
        int fd = -1;
        // Only the calling thread moves, and only while it makes the socket, which stays in
        // the client's namespace.
        if (own >= 0 && theirs >= 0 && ::setns(theirs, CLONE_NEWNET) == 0) {
            fd = LoopbackConnection{.receiveBuffer = receiveBuffer, .destination = addresses_[link].c_str()}.to(port);
            if (::setns(own, CLONE_NEWNET) != 0) std::abort();
        }
        if (own >= 0) ::close(own);
        if (theirs >= 0) ::close(theirs);
        return fd;
    }

private:
    std::string service_;
    std::vector<std::string> clients_;
    std::vector<std::string> addresses_;  // the service's end of each link
    std::string failure_;
};

}  // namespace bench
