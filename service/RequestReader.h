#pragma once
// Reads one connection's requests from the bytes its client sends: where a head ends, what
// it says and how its body is framed, then the body, held in memory in pieces taken from
// the bodies' budget as its bytes come or written to a file as it arrives, and its pace
// (see `BodyPace`). It knows nothing of sockets, workers or answers: the server feeds it
// what it reads, decides whether a request is let in, and answers what the reader refuses.
//
// From its head until it is handed on or dropped, the request being read holds its body,
// the body's share of the budget, its spool file (counted with the slots) and the files
// counted for its handler. `drop` gives them all back, as does the reader's end.
//
// Framing is strict: a request whose length is ambiguous (Content-Length headers that
// differ, Transfer-Encoding beside Content-Length, folded header lines and the like) is
// refused with 400; a body in chunks with 411. Up to four empty lines before a request
// line are passed over, since some clients send a line break after a body.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "BodyPace.h"
#include "BodyShare.h"
#include "ConnectionSlots.h"
#include "HttpServer.h"

class RequestReader {
public:
    using Clock = HttpServer::Clock;
    using Request = HttpServer::Request;
    using Response = HttpServer::Response;

    // What a head came to.
    struct Head {
        enum class Kind { incomplete, read, refused } kind = Kind::incomplete;
        std::optional<Response> refusal;  // refused: why
        bool headOnly = false;            // a HEAD request, refused or not: its answer goes without a body
        bool keepAlive = true;            // read: its client keeps the connection for more
        bool expectsContinue = false;     // read: its client waits for 100 Continue before its body
    };

    // `limits` and the stores of counts must outlive the reader; the addresses go with
    // each request.
    RequestReader(const HttpServer::Limits& limits, ConnectionSlots& slots, BodyShare::Budget& bodies,
                  std::string remoteAddress, std::string localAddress);
    ~RequestReader() { drop(); }
    RequestReader(const RequestReader&) = delete;
    RequestReader& operator=(const RequestReader&) = delete;

    // Reads a request's head, without the empty line that ends it, into `request`: its
    // method, path, query, headers and body length. Nothing when the head is sound, else
    // its refusal. `version` receives the protocol version ("HTTP/1.1" or "HTTP/1.0").
    static std::optional<Response> readHead(std::string_view head, Request& request, std::string& version);

    // How much to read from the client next, at most `most`: a body as far as it goes, and
    // otherwise a few KiB, so that requests a client sends ahead of their turn wait in
    // the kernel rather than here.
    std::size_t readSize(std::size_t most) const;
    // Keeps bytes from the client for the head to come (or the body of a request whose
    // head came with them).
    void append(std::string_view bytes) { input_.append(bytes); }
    // True while nothing of a next request has come.
    bool idle() const { return input_.empty(); }
    // Looks for a whole head in what was kept, passing over the empty lines before it;
    // `read` leaves the request in `request()`. A head longer than the limit is refused
    // with 431 as soon as that shows.
    Head takeHead();

    // A refusal from here on ends the request: its claim's, or the server's own when the
    // body does not fit in the budget or its file cannot be made or written (which the
    // claim is told of; the request then holds nothing any more).
    //
    // Begins the body of the request just read, in memory or written to a new file in
    // `spoolFolder`, counting `files` for its handler.
    std::optional<Response> beginBody(const std::string& spoolFolder, std::size_t files, Clock::time_point now);
    // Takes `bytes` just read from the client into the body being read, as far as it
    // goes; the rest is kept for the next head.
    std::optional<Response> takeBody(std::string_view bytes, Clock::time_point now);
    // The same with what came with the head.
    std::optional<Response> takeKeptBody(Clock::time_point now);
    // True once the body being read has come whole.
    bool whole() const { return bodyLeft_ == 0; }
    // The pace of the body being read, and by when it must have come whole.
    const BodyPace& pace() const { return pace_; }
    // Whether the request holds files of the quarter that such requests may take.
    bool holdsFiles() const { return spoolFd_ >= 0 || files_ > 0; }

    // The request being read.
    Request& request() { return request_; }
    // Hands on the whole request, its body in one buffer or its file closed, with its
    // share of the budget and the files counted for its handler; the reader is ready for
    // the next head.
    void handOver(Request& request, BodyShare& share, std::size_t& files);
    // Gives back all the request holds: its file (removed), its body and its share, the
    // files counted for its handler and its claim.
    void drop();
    // Lets go of buffer room kept for more than what is waiting in it.
    void trimBuffers();

private:
    std::optional<Response> take(std::string_view part, Clock::time_point now);
    std::optional<Response> keepInMemory(std::string_view bytes);
    std::optional<Response> keepInFile(std::string_view bytes);
    Response refuseAsServer(Response refusal);
    void joinPieces();
    void closeSpool();

    const HttpServer::Limits& limits_;
    ConnectionSlots& slots_;
    BodyShare::Budget& bodies_;
    std::string remoteAddress_;
    std::string localAddress_;
    std::string input_;   // read and not yet taken
    int emptyLines_ = 0;  // passed over before the request that comes next
    Request request_;
    BodyPace pace_;  // of the body, from its head's arrival
    std::uint64_t bodyLeft_ = 0;
    int spoolFd_ = -1;
    std::vector<std::string> pieces_;  // the body as it comes, while held in memory
    BodyShare share_;                  // of the pieces, then of the request's body
    std::size_t files_ = 0;            // counted for its handler with the slots, until handed on
};
