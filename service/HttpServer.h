#pragma once
// An HTTP/1.1 server: one thread reads and writes every connection without blocking
// (epoll), and a pool of workers runs the handler on requests that have arrived whole. A
// slow client therefore holds a socket, never a worker, and every connection has total
// deadlines: for a request's head (which also ends idle keep-alive connections), for its
// body, and for taking its answers; a body that stops coming is cut off as soon as it has
// been silent for a while (by default as long as a head may take), and one that falls too
// far behind the pace its deadline asks of it, or comes under a least rate, soon after its
// grace (see `BodyPace`). Answers have a pace too, and a deadline that grows with their
// length: a client that takes them at that pace, however its window steps, reads them
// whole, and its connection waits for its next request only once it has (see
// `AnswerPace`). A large body can be written to a file as it arrives.
//
// Hostile traffic is bounded too: one address (an IPv6 /64) may hold only so many
// connections; when the connections or the files run short, the connections that only
// wait give way to new ones, then new ones that have sent nothing, then bodies that have
// fallen well behind their pace and answers whose clients have stopped taking them, then
// heads, the oldest first, never a body or an answer that keeps its pace (see
// `ConnectionSlots`); a client pushed out while it sends a request, or turned away, hears
// 503 with Retry-After where it can still read it. A client that leaves its answers
// unread has no further request taken once the kernel holds a little of them, nor more
// of what it sent read than a few KiB, and is reset when it is closed, so that the kernel
// drops what it holds for it (see `AnswerWriter`). The connections take only the files the
// process does not hold itself; spool files count against them, and at the open-file
// limit the server neither spins nor drops what it has; the files a handler opens are
// counted before its request is taken.
// Bodies held in memory have a budget of their own, taken in small pieces as their bytes
// come, and requests waiting for a worker a bound: over any of these the client is told
// to try again later (503 with Retry-After). A request whose client has reset its
// connection is dropped unrun.
//
// A stop takes no new request: requests waiting for a worker are told at once to try
// again later, unrun, and the handler is told to answer those on workers within 1.5 s
// (`Handler::stopping`). Their answers are still sent and their connections read out
// before they close, so that nothing done goes unanswered, but only until 2 s after the
// stop: then every connection is closed, whatever its client does, and `run` returns as
// soon as its workers are free (at once, when the handler keeps to its time).
//
// Framing is strict: a request whose length is ambiguous (Content-Length headers that
// differ, Transfer-Encoding beside Content-Length, folded header lines and the like) is
// answered with 400 and its connection closed; a body in chunks is refused with 411.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "AnswerPace.h"
#include "BodyPace.h"
#include "BodyShare.h"
#include "ConnectionSlots.h"

class HttpServer {
public:
    using Clock = std::chrono::steady_clock;

    class Claim;

    struct Request {
        std::string method;
        std::string path;                                          // the target up to any "?"
        std::string query;                                         // after the "?", undecoded
        std::vector<std::pair<std::string, std::string>> headers;  // names in lower case
        std::string remoteAddress;
        std::string localAddress;
        std::uint64_t contentLength = 0;
        std::string body;              // the body, unless it went to `bodyFile`
        std::string bodyFile;          // the file the body was written to; removed after the handler
        std::shared_ptr<Claim> claim;  // the admission's, held as long as the request

        // The value of the header `lowerName`; null when absent.
        const std::string* header(std::string_view lowerName) const;
        // The decoded value of the query parameter `name`; nothing when absent.
        std::optional<std::string> param(std::string_view name) const;
    };

    struct Response {
        int status = 200;
        std::string contentType;
        std::string body;
        std::vector<std::pair<std::string, std::string>> headers;
        bool close = false;  // close the connection once answered
    };

    // What a handler holds for a request from its head on (room in a store, a count
    // against its client), told how the request fares: on the server's thread, or on the
    // worker when its handler throws. It is released before the request's answer is
    // handed on to be sent, or when the request is dropped, so that a client that asks
    // again once answered finds it given back.
    class Claim {
    public:
        virtual ~Claim() = default;
        // `bytes` of the body have come in all, and are about to be kept; a refusal ends
        // the request with it instead.
        virtual std::optional<Response> bodyArrived(std::uint64_t bytes) = 0;
        // The server has turned the request away for reasons of its own (short of room,
        // stopping, a failed disk, a handler that threw), not for anything its client did.
        virtual void refusedByServer() = 0;
    };

    // How a request's body is taken: refused before any of it is read, held in memory
    // (`spoolFolder` empty), or written to a new file in `spoolFolder` as it arrives.
    // A `claim`, when given, goes with the request until it is answered or dropped.
    // `files` is how many descriptors the handler may hold at once for the request: they
    // are counted against the open-file budget from its head until it is answered or
    // dropped.
    struct Admission {
        std::optional<Response> refusal;
        std::string spoolFolder;
        std::shared_ptr<Claim> claim;
        std::size_t files = 0;
    };

    class Handler {
    public:
        virtual ~Handler() = default;
        // On the server's thread once a request's head has arrived: must not block.
        virtual Admission admit(const Request& head) = 0;
        // On a worker, with the whole request. A throw, of anything, fails the request
        // with 500 as the server's own refusal (`Claim::refusedByServer`).
        virtual Response handle(Request& request) = 0;
        // Once, from the thread that calls `stop`: the requests on workers must be
        // answered by `deadline` for their answers to go out, so a handler that waits for
        // something (a database's lock, say) ends the wait by then.
        virtual void stopping(Clock::time_point deadline) { (void)deadline; }
    };

    // From a stop: the handler's time to answer the requests on workers, and the time
    // after which every connection is closed.
    static constexpr std::chrono::milliseconds kStopAnswerTime{1500};
    static constexpr std::chrono::milliseconds kStopTime{2000};

    struct Limits {
        std::size_t workers = 64;
        std::size_t connections = 10000;            // open at once; lowered to what the file limit allows
        std::chrono::milliseconds headTime{10000};  // from the end of the last answer (or accept)
        // A body's deadline from its length, and when one that comes too slowly is cut off
        // with 408 before it: once silent for a while, once too far behind the pace its
        // deadline asks of it, or once under a least rate while off that pace (`BodyPace`),
        // so that a trickle holds its connection and what it has sent only briefly.
        BodyPace::Rules body;
        // The pace at which a client is asked to take its answers, when it has stopped
        // taking them, and by when it must have taken them, which grows with their length
        // (`AnswerPace`).
        AnswerPace::Rules answer;
        std::size_t longestHead = 16 * 1024;
        int requestsPerConnection = 1000;
        std::size_t connectionsPerAddress = 64;        // open at once from one address; 0: no limit
        std::size_t queuedRequests = 1024;             // whole requests waiting for a worker
        std::uint64_t bodyMemory = 256 * 1024 * 1024;  // bytes held in memory for bodies at once
        std::function<Clock::time_point()> clock;      // read for every deadline; the steady clock when empty
    };

    HttpServer(Handler& handler, Limits limits);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Binds to `host` and `port` (0: a free port). Returns the port, or -1 on failure.
    int bind(const std::string& host, int port);
    // Serves until `stop`; false when the server failed on its own.
    bool run();
    // Ends `run` once the requests on workers are answered, kStopTime at the latest, or
    // makes a `run` still to come return at once; from any thread.
    void stop();

    // The loop turned by hand on the calling thread, for tests and fuzz targets: `run` is
    // `start`, then `turn` until `over`, then the end of the run, which the destructor
    // also does. `start` is false when the loop cannot be set up.
    bool start();
    // Waits up to `wait` for events and handles them; every 100 ms of the clock, ends the
    // connections past their deadlines. False when the loop failed.
    bool turn(std::chrono::milliseconds wait);
    // True once stopped and every connection is answered and closed.
    bool over() const { return stopped_ && connections_.empty(); }
    // Runs the request that has waited longest on the calling thread, as a worker would;
    // its answer is sent by a later `turn`. False when none waits or the server is stopping.
    bool workOne();
    // Takes `fd`, the server's end of a connection made some other way (a socket pair,
    // say), as if the listening socket had just accepted it from `remoteAddress` on
    // `localAddress`: it counts against its address and the server's limits as any
    // other, and is closed at once when it does not fit or a stop has been asked. `fd`
    // must be non-blocking; it is the server's from then on. Between turns of the loop.
    void adopt(int fd, std::string remoteAddress, std::string localAddress);

    // One line of plain text with a status: how every refusal is answered.
    static Response refusal(int status, const std::string& sentence);
    // A 503 with one line and Retry-After: the server is short of room, not the request wrong.
    static Response busy(const std::string& sentence);

    // One connection served by hand on the calling thread, without the event loop and the
    // workers, for the tests and fuzz targets of the connection reader. `fd` is the
    // server's end of a connected socket pair, non-blocking, to which the answers are
    // written; it is the session's from then on. The server must not `run` meanwhile.
    class Session {
    public:
        Session(HttpServer& server, int fd);
        ~Session();  // as if the client had closed the connection
        Session(const Session&) = delete;
        Session& operator=(const Session&) = delete;

        // Takes `bytes` as one read from the client, and handles and answers every request
        // that has arrived whole. False once the service has closed the connection.
        bool receive(std::string_view bytes);

    private:
        HttpServer& server_;
        std::uint64_t id_;
    };

private:
    // Where a connection stands: reading a request's head or body, waiting for its
    // handler, sending its answer, or read out after its last answer before its close.
    enum class Phase { Head, Body, Handling, Answering, Draining };
    struct Connection;

    struct Job {
        std::uint64_t id = 0;  // the connection's
        Request request;
        BodyShare share;
        std::size_t files = 0;  // counted for its handler with the slots
    };

    // The loop.
    void handleEvent(std::uint64_t id, std::uint32_t events);
    void beginStop();
    void finish();
    void accept();
    bool acceptOne();
    void admitConnection(int fd, std::string remoteAddress, std::string localAddress);
    bool giveWay(const ConnectionSlots::Room& room);
    static bool readsRequest(const Connection& c);
    void place(Connection& c);
    void enter(Connection& c, Phase phase);
    void pauseAccepting(bool paused);
    void watch(Connection& c);
    void close(Connection& c);
    void end(Connection& c, Clock::time_point at);
    void trimMemory();
    void followAnswers();
    bool follow(Connection& c);
    void expire();
    Clock::time_point now() const { return limits_.clock(); }
    Clock::time_point capped(Clock::time_point deadline) const;
    // Requests, as their reader finds them.
    void readFrom(Connection& c);
    void receive(Connection& c, std::string_view bytes);
    bool takeInput(Connection& c);
    bool startRequest(Connection& c, bool expectsContinue);
    bool roomForBody(Connection& c, bool spooled, std::size_t files);
    bool bodyTaken(Connection& c, std::optional<Response> refusal);
    bool refuse(Connection& c, Response response);
    void refuseAsServer(Connection& c, Response response);
    bool dispatch(Connection& c);
    // The workers, and their answers as their writer sends them.
    void dropJob(std::uint64_t id);
    bool nextJob(Job& job);
    void release(Job& job);
    void work();
    Response run(Job job);
    void post(std::uint64_t id, Response response);
    void collectAnswers();
    void answer(Connection& c, Response response);
    void flush(Connection& c);

    Handler& handler_;
    Limits limits_;
    int listenFd_ = -1;
    int epollFd_ = -1;
    int wakeFd_ = -1;                     // eventfd: answers are ready, or stop was asked
    std::atomic<bool> stopping_ = false;  // asked to stop, from any thread
    static constexpr Clock::rep kNotAsked = std::numeric_limits<Clock::rep>::max();
    std::atomic<Clock::rep> stopAsked_ = kNotAsked;  // when, first, since the clock's epoch
    bool stopped_ = false;                           // the loop has taken the stop up: nothing new is taken
    Clock::time_point stopEnd_{};                    // once stopped: every connection is closed by then
    Clock::time_point nextRound_{};                  // of the deadlines

    // Who holds a connection's place and the files counted for spool files and handlers.
    ConnectionSlots slots_;
    int reserveFd_ = -1;               // given up at the file limit to accept and turn away at once
    bool acceptPaused_ = false;        // the listening socket is out of the epoll set
    BodyShare::Budget bodies_;         // of the bodies held in memory
    std::size_t peakConnections_ = 0;  // open at once since the heap was last trimmed
    // After the slots and the budget, which each connection's reader counts with.
    std::map<std::uint64_t, std::unique_ptr<Connection>> connections_;
    std::uint64_t nextId_ = 2;  // 0 and 1 stand for the listening socket and the wake-up

    std::mutex jobsMutex_;
    std::condition_variable jobsSignal_;
    std::deque<Job> jobs_;
    bool workersStopping_ = false;
    std::mutex answersMutex_;
    std::vector<std::pair<std::uint64_t, Response>> answers_;
    std::vector<std::thread> workers_;
};
