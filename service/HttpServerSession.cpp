#include <memory>
#include <utility>

#include "HttpServer.h"
#include "HttpServerConnection.h"

HttpServer::Session::Session(HttpServer& server, int fd) : server_(server), id_(server.nextId_++) {
    auto c = std::make_unique<Connection>(server, id_, fd, "127.0.0.1", "127.0.0.1");
    c->deadline = server.now() + server.limits_.headTime;
    server.slots_.opened(id_, "127.0.0.1");
    server.connections_.emplace(id_, std::move(c));
}

HttpServer::Session::~Session() {
    if (const auto found = server_.connections_.find(id_); found != server_.connections_.end())
        server_.close(*found->second);
}

// Each whole request is handled at once, as a free worker would: the event loop reads
// nothing more from a connection while its request is handled, and neither does this.
bool HttpServer::Session::receive(std::string_view bytes) {
    const auto found = server_.connections_.find(id_);
    if (found == server_.connections_.end()) return false;
    server_.receive(*found->second, bytes);
    for (Job job; server_.nextJob(job);) {
        const std::uint64_t id = job.id;
        Response response = server_.run(std::move(job));
        if (const auto c = server_.connections_.find(id); c != server_.connections_.end())
            server_.answer(*c->second, std::move(response));
    }
    return server_.connections_.count(id_) != 0;
}
