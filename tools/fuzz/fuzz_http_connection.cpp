// The web service's connection reader: the bytes a client sends, taken once as they come
// whole and once cut into pieces at random (the first byte of the input seeds the cuts),
// must give the same requests and the same answers; any difference aborts. The handler
// echoes each request in its answer, takes some bodies into files and refuses some heads,
// so that every way of taking a request is met; the server's limits are small, so that
// its edges are met too. No request may leave a body file or a claim behind.
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "HttpServer.h"

namespace {

int liveClaims = 0;

// Counts the claims alive, so that none is found to outlive its request.
class CountedClaim : public HttpServer::Claim {
public:
    CountedClaim() { ++liveClaims; }
    ~CountedClaim() override { --liveClaims; }
    CountedClaim(const CountedClaim&) = delete;
    CountedClaim& operator=(const CountedClaim&) = delete;
    std::optional<HttpServer::Response> bodyArrived(std::uint64_t) override { return std::nullopt; }
    void refusedByServer() override {}
};

class EchoHandler : public HttpServer::Handler {
public:
    explicit EchoHandler(std::string spoolFolder) : spoolFolder_(std::move(spoolFolder)) {}

    std::string log;  // every request admitted and handled, in order

    HttpServer::Admission admit(const HttpServer::Request& head) override {
        log += "admit " + head.method + " " + head.path + " " + std::to_string(head.contentLength) + "\n";
        HttpServer::Admission admission;
        if (head.contentLength > 1000000 || head.path.starts_with("/refuse")) {
            admission.refusal = HttpServer::refusal(head.path.starts_with("/refuse") ? 403 : 413, "Refused.");
            return admission;
        }
        if (head.path.starts_with("/file")) admission.spoolFolder = spoolFolder_;
        admission.claim = std::make_shared<CountedClaim>();
        return admission;
    }

    HttpServer::Response handle(HttpServer::Request& request) override {
        std::string body = request.body;
        if (!request.bodyFile.empty()) {
            std::FILE* file = std::fopen(request.bodyFile.c_str(), "rb");
            if (!file) std::abort();
            char buffer[4096];
            std::size_t n = 0;
            while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) body.append(buffer, n);
            std::fclose(file);
        }
        if (body.size() != request.contentLength) std::abort();
        std::string echo = request.method + " " + request.path + "?" + request.query + "\n";
        for (const auto& [name, value] : request.headers) echo += name + ": " + value + "\n";
        echo += "body " + std::to_string(body.size()) + " " + std::to_string(std::hash<std::string>()(body)) + "\n";
        log += "handle " + echo;
        HttpServer::Response response;
        response.contentType = "text/plain";
        response.body = echo;
        response.close = request.path.starts_with("/close");
        return response;
    }

private:
    std::string spoolFolder_;
};

struct Fixture {
    std::filesystem::path spool;
    std::unique_ptr<EchoHandler> handler;
    std::unique_ptr<HttpServer> server;

    Fixture() {
        std::string pattern = (std::filesystem::temp_directory_path() / "fuzz_http_connection-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        spool = pattern;
        handler = std::make_unique<EchoHandler>(spool.string());
        HttpServer::Limits limits;
        limits.longestHead = 300;
        limits.requestsPerConnection = 6;
        server = std::make_unique<HttpServer>(*handler, limits);
    }
    ~Fixture() {
        std::error_code ec;
        std::filesystem::remove_all(spool, ec);
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void readAll(int fd, std::string& into) {
    char buffer[65536];
    ssize_t n = 0;
    while ((n = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT)) > 0) into.append(buffer, static_cast<std::size_t>(n));
}

struct Outcome {
    std::string log;
    std::string answers;
};

// Sends `bytes` in pieces of the given sizes (cut at random when `seed` is not 0), then
// closes the client's end.
Outcome serve(std::string_view bytes, std::uint32_t seed) {
    Fixture& f = fixture();
    f.handler->log.clear();
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, ends) != 0) std::abort();
    Outcome outcome;
    {
        HttpServer::Session session(*f.server, ends[0]);
        std::uint32_t state = seed;
        while (!bytes.empty()) {
            std::size_t piece = bytes.size();
            if (seed != 0) {
                state ^= state << 13;
                state ^= state >> 17;
                state ^= state << 5;
                // Mostly short pieces, now and then a long one.
                piece = std::min<std::size_t>(piece, 1 + (state % 8 == 0 ? state % 512 : state % 16));
            }
            const bool open = session.receive(bytes.substr(0, piece));
            bytes.remove_prefix(piece);
            readAll(ends[1], outcome.answers);
            if (!open) break;
        }
    }
    readAll(ends[1], outcome.answers);
    ::close(ends[1]);
    outcome.log = f.handler->log;
    return outcome;
}

void requireSame(const Outcome& whole, const Outcome& pieces, std::string_view input) {
    if (whole.log == pieces.log && whole.answers == pieces.answers) return;
    std::fprintf(stderr, "whole and in pieces differ for %zu bytes\n-- whole:\n%s\n%s\n-- in pieces:\n%s\n%s\n",
                 input.size(), whole.log.c_str(), whole.answers.c_str(), pieces.log.c_str(), pieces.answers.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint32_t seed = 0x9e3779b9u * (data[0] + 1u);
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    const Outcome whole = serve(bytes, 0);
    const Outcome pieces = serve(bytes, seed);
    requireSame(whole, pieces, bytes);
    if (liveClaims != 0) {
        std::fprintf(stderr, "%d claims outlived their requests\n", liveClaims);
        std::abort();
    }
    if (!std::filesystem::is_empty(fixture().spool)) {
        std::fprintf(stderr, "a body file outlived its request\n");
        std::abort();
    }
    return 0;
}
