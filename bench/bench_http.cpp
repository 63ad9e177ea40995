// What a web request costs the frame that runs beside it: starting one (the form is
// built and the worker made on the main thread) and the once-per-frame poll of its
// state, while the worker waits on a server that accepts the connection and never
// answers. Both must stay far below a frame (a few microseconds at most): the frame
// never waits for the worker.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "net/HttpRequest.h"

namespace {
// A listening socket nobody accepts from: connections complete and then hang.
struct SilentServer {
    SilentServer() {
        fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t n = sizeof(a);
        if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof(a)) != 0 ||
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &n) != 0 || ::listen(fd, 64) != 0)
            std::fprintf(stderr, "no listening socket: the requests fail at once\n");
        const std::string h = "127.0.0.1:" + std::to_string(ntohs(a.sin_port));
        host.assign(h.begin(), h.end());
    }
    ~SilentServer() { ::close(fd); }
    int fd = -1;
    std::u16string host;
};

std::shared_ptr<HttpRequest> startRequest(const SilentServer& server) {
    auto request = HttpRequest::create(server.host, u"/tv2/highscoreupload.php");
    request->addStandardFields();
    static const std::vector<std::uint8_t> record(14512, 0x5A);
    request->addField(record.data(), static_cast<std::uint32_t>(record.size()), u"HSTfile", u"Torvane2Xmas.hst");
    request->start();
    return request;
}

void BM_StartRequest(benchmark::State& state) {
    SilentServer server;
    std::vector<std::shared_ptr<HttpRequest>> started;
    for (auto _ : state) started.push_back(startRequest(server));
    started.clear();  // abandoned: each frees itself when its worker ends
    HttpRequest::shutdown(10.0);
}
BENCHMARK(BM_StartRequest)->Iterations(32);

void BM_PollRunningRequest(benchmark::State& state) {
    SilentServer server;
    auto request = startRequest(server);
    for (auto _ : state) benchmark::DoNotOptimize(request->takeState());
    state.counters["stillRunning"] = request->getState() == HttpRequest::Running ? 1 : 0;
    request.reset();
    HttpRequest::shutdown(10.0);
}
BENCHMARK(BM_PollRunningRequest);
}  // namespace

BENCHMARK_MAIN();
