#pragma once
// Writes one connection's answers to its socket without blocking: each is laid out as
// HTTP/1.1 and queued, then handed to the kernel as fast as it takes them. The socket is
// the connection's; the writer sends on it and, at the end, closes it.
//
// It follows how the client takes its answers: the bytes the client's side has
// acknowledged, and at what pace (`AnswerPace`). The kernel is asked to hold only a little of
// a connection's answers unsent (`kBacklog`), so that a client that leaves them unread
// cannot pile up much of the host's memory: the rest waits in the writer, and the server
// takes no further request from the connection while the kernel holds that much.
//
// A client turned out or away is told why as the last it hears: the status goes after
// whatever is still owed of the answers before it, the output is ended, and what the
// client has sent is read, since a close with input unread would reset the connection
// and the client could lose what it was told. At the close the writer chooses how the
// connection ends: see `close`.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "AnswerPace.h"
#include "HttpServer.h"

class AnswerWriter {
public:
    using Clock = HttpServer::Clock;
    using Response = HttpServer::Response;

    // The answer bytes the kernel may hold unsent for one connection, in bytes. Honest
    // answers are far smaller; a client that reads its answers keeps the kernel under it.
    static constexpr int kBacklog = 32 * 1024;

    // Writes on `fd`, asking its client to take its answers at the pace of `rules`.
    AnswerWriter(int fd, const AnswerPace::Rules& rules);

    // The answer's status line and headers, and its body unless `headOnly` (the answer to
    // a HEAD request).
    static std::string serialize(const Response& response, bool keepAlive, bool headOnly);
    // Tells the client of `fd`, a connection that is not taken, why, and closes it.
    static void turnAway(int fd, const Response& response);

    // Queues `response` at `now`; one sent with `keepAlive` false is the connection's last.
    void add(const Response& response, bool keepAlive, bool headOnly, Clock::time_point now);
    // Queues an interim answer, given whole ("HTTP/1.1 100 Continue\r\n\r\n").
    void addInterim(std::string_view bytes, Clock::time_point now);
    // Hands the kernel as much of what is queued as it takes now, and looks at what the
    // client has taken; false when the connection has failed.
    bool flush(Clock::time_point now);
    // True once everything queued has been handed to the kernel.
    bool done() const { return sent_ == output_.size(); }
    // True while the answers wait on the client: some are not yet handed to the kernel,
    // or the kernel holds more of them unsent than it is asked to. Until then the socket
    // is not writable for the writer's purposes, so that waiting for it does not spin.
    bool waitsOnClient() const { return !done() || backedUp_; }
    // True while the client has not yet taken all it was sent, as of the last look.
    bool owes() const { return !done() || taken_ < written_; }
    // Looks at what the client has taken; true when it has taken more since the last look.
    bool look(Clock::time_point now);
    // When the client will have stopped taking what it is owed, unless it takes more: from
    // then on the answer may give way to others.
    Clock::time_point stalledAt() const { return pace_.stalledAt(); }
    // By when the client must have taken all it is owed.
    Clock::time_point deadline() const { return pace_.deadline(); }
    // Once the client owes nothing: when it was seen to have taken the last of it.
    Clock::time_point settledAt() const { return pace_.lastStep(); }

    // Sends what is still owed of the answers queued and then `response` at `now`, as the
    // last the client hears, ends the output and reads what the client has sent so far.
    void sendLast(const Response& response, Clock::time_point now);
    // Ends the output once the last answer is sent: the client reads the end after it.
    void endOutput();
    // Reads what the client has sent since, without waiting, and drops it: a close with
    // input unread would reset the connection, and the client could lose what it was
    // told. False once the client has ended its side too, or has sent more than a
    // connection about to close is read out for.
    bool readOut();
    // Closes the socket at `now`. It is reset, so that the kernel drops all it still
    // holds for the client, when the client has left answer bytes unread beyond the last
    // status it was sent and has stopped taking them: it has stopped reading, and the
    // kernel would otherwise keep trying to deliver them long after the close.
    // Otherwise it closes as usual, so that a client still taking its answer, or that has
    // only its last status left to read, reads it all before the end.
    void close(Clock::time_point now);

private:
    static std::size_t endWith(int fd, std::string_view bytes);
    // Reads and drops what has come on `fd`, `reads` times at most while more comes; the
    // bytes read, and whether the client has ended its side (or the connection failed).
    static std::uint64_t drop(int fd, int reads, bool& ended);
    // Notes that the client is owed `bytes` more from `now` on.
    void owe(std::size_t bytes, Clock::time_point now);
    // The bytes handed to the kernel that the client's side has not acknowledged, and
    // those the kernel has not yet sent.
    std::uint64_t unacknowledged() const;
    std::uint64_t unsentInKernel() const;

    int fd_;
    AnswerPace pace_;
    bool paced_ = false;  // the kernel holds at most `kBacklog` unsent (a TCP socket)
    std::string output_;  // queued; cleared once all of it is sent
    std::size_t sent_ = 0;
    std::uint64_t written_ = 0;    // handed to the kernel, in all
    std::uint64_t taken_ = 0;      // of those, acknowledged by the client's side at the last look
    std::uint64_t lastBytes_ = 0;  // of the status the connection ends with, once sent
    bool ended_ = false;           // the output is ended, the end counted as a byte sent
    std::uint64_t readOut_ = 0;    // bytes of the client's read out since
    bool backedUp_ = false;        // at the last flush, the kernel held more than it is asked to
};
