#pragma once
// Writes one connection's answers to its socket without blocking: each is laid out as
// HTTP/1.1 and queued, then handed to the kernel as fast as it takes them. The socket is
// the connection's; the writer only sends on it.
//
// A client turned out or away is told why as the last it hears: the status goes after
// whatever is still owed of the answers before it, the output is ended, and what the
// client has sent is read, since a close with input unread would reset the connection
// and the client could lose what it was told.
#include <cstddef>
#include <string>
#include <string_view>

#include "HttpServer.h"

class AnswerWriter {
public:
    using Response = HttpServer::Response;

    explicit AnswerWriter(int fd) : fd_(fd) {}

    // The answer's status line and headers, and its body unless `headOnly` (the answer to
    // a HEAD request).
    static std::string serialize(const Response& response, bool keepAlive, bool headOnly);
    // Tells the client of `fd`, a connection that is not taken, why, and closes it.
    static void turnAway(int fd, const Response& response);

    // Queues `response`.
    void add(const Response& response, bool keepAlive, bool headOnly) {
        output_ += serialize(response, keepAlive, headOnly);
    }
    // Queues an interim answer, given whole ("HTTP/1.1 100 Continue\r\n\r\n").
    void addInterim(std::string_view bytes) { output_.append(bytes); }
    // Hands the kernel as much of what is queued as it takes now; false when the
    // connection has failed.
    bool flush();
    // True once everything queued has been handed to the kernel.
    bool done() const { return sent_ == output_.size(); }
    // Sends what is still owed of the answers queued and then `response`, as the last the
    // client hears, ends the output and reads what the client has sent so far.
    void sendLast(const Response& response);

private:
    static void endWith(int fd, std::string_view bytes);

    int fd_;
    std::string output_;  // queued; cleared once all of it is sent
    std::size_t sent_ = 0;
};
