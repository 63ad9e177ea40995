#pragma once
#include <cstdint>
#include <string>
#include <utility>

#include "AnswerWriter.h"
#include "HttpServer.h"
#include "RequestReader.h"

// A connection's socket and where it stands, with the reader of its requests and the
// writer of its answers.
struct HttpServer::Connection {
    Connection(HttpServer& server, std::uint64_t id, int fd, std::string remoteAddress, std::string localAddress)
        : id(id),
          fd(fd),
          reader(server.limits_, server.slots_, server.bodies_, std::move(remoteAddress), std::move(localAddress)),
          writer(fd, server.limits_.answer) {}

    std::uint64_t id = 0;
    int fd = -1;
    Phase phase = Phase::Head;
    Clock::time_point deadline;
    RequestReader reader;
    AnswerWriter writer;
    bool headOnly = false;  // the request being answered is a HEAD request: its answer goes without its body
    bool keepAlive = true;
    int served = 0;
    bool watched = false;      // in the epoll set
    std::uint32_t events = 0;  // what epoll watches for
};
