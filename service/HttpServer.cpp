#include "HttpServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <malloc.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <set>

#include "AnswerWriter.h"
#include "HttpServerConnection.h"

namespace {

constexpr std::uint64_t kListenId = 0;
constexpr std::uint64_t kWakeId = 1;
constexpr std::size_t kReadSize = 64 * 1024;
constexpr int kAcceptsPerRound = 8;  // connections taken per turn of the loop
// Files kept from connections for the process's own: all it holds when the server is
// made and the four the server opens itself, and this many more for the stores' passing
// needs (a database's temporary file, say); and where the limit allows, at least
// `kSpareFiles` in all.
constexpr std::size_t kPassingFiles = 8;
constexpr std::size_t kSpareFiles = 64;
constexpr std::size_t kOwnFiles = 4;  // the listening socket, the epoll set, the wake-up and the reserve
// The heap is given back to the system once this many bytes of bodies have been freed, or
// a sixteenth of that once no body is held, and once the connections have fallen by this
// many from their peak since the last time: thousands of bodies or connections leave it in
// pieces the allocator would otherwise keep.
constexpr std::uint64_t kTrimBytes = 64 * 1024 * 1024;
constexpr std::size_t kTrimConnections = 256;
// Once its client has taken its last answer, a connection is read out for up to this long
// (within a stop's time) before it is closed (see `AnswerWriter::readOut`).
constexpr auto kDrainTime = std::chrono::seconds(2);
constexpr auto kRoundTime = std::chrono::milliseconds(100);  // between rounds of the deadlines
constexpr int kEventsPerTurn = 256;
constexpr const char* kTooSlow = "The request took too long to arrive.";
constexpr const char* kNoRoom = "The service has no room for more connections now; please try again shortly.";
constexpr std::string_view kContinue = "HTTP/1.1 100 Continue\r\n\r\n";

std::string addressOf(const sockaddr_storage& address) {
    char text[INET6_ADDRSTRLEN] = "";
    if (address.ss_family == AF_INET)
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in&>(address).sin_addr, text, sizeof text);
    else if (address.ss_family == AF_INET6)
        inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6&>(address).sin6_addr, text, sizeof text);
    return text;
}

// Each connection takes a file descriptor: the soft limit is raised as far as allowed.
std::size_t fileLimit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0) return 1024;
    if (limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
        getrlimit(RLIMIT_NOFILE, &limit);
    }
    return limit.rlim_cur == RLIM_INFINITY ? 1 << 20 : static_cast<std::size_t>(limit.rlim_cur);
}

// The files the process holds now, from the kernel's list of them (whose own descriptor
// is not counted); a guess when it cannot be read.
std::size_t filesHeld() {
    std::error_code ec;
    std::size_t held = 0;
    for (auto it = std::filesystem::directory_iterator("/proc/self/fd", ec); !ec && it != decltype(it)();
         it.increment(ec))
        ++held;
    return ec || held == 0 ? 2 * kPassingFiles : held - 1;
}

// The places and files the server's connections may take: all the files the process may
// open but those it holds itself and a few for the stores' passing needs.
ConnectionSlots::Limits slotLimits(const HttpServer::Limits& limits) {
    const std::size_t limit = fileLimit();
    const std::size_t kept = std::max(filesHeld() + kOwnFiles + kPassingFiles, std::min(kSpareFiles, limit / 2));
    const std::size_t files = limit > kept ? limit - kept : 0;
    return {std::min(limits.connections, files), limits.connectionsPerAddress, files};
}

}  // namespace

HttpServer::Response HttpServer::refusal(int status, const std::string& sentence) {
    Response response;
    response.status = status;
    response.contentType = "text/plain; charset=utf-8";
    response.body = sentence + "\n";
    return response;
}

HttpServer::HttpServer(Handler& handler, Limits limits)
    : handler_(handler), limits_(std::move(limits)), slots_(slotLimits(limits_)) {
    if (!limits_.clock) limits_.clock = Clock::now;
    wakeFd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    reserveFd_ = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
}

HttpServer::~HttpServer() {
    finish();
    if (wakeFd_ >= 0) ::close(wakeFd_);
    if (reserveFd_ >= 0) ::close(reserveFd_);
}

HttpServer::Response HttpServer::busy(const std::string& sentence) {
    Response response = refusal(503, sentence);
    response.headers.emplace_back("Retry-After", "1");
    return response;
}

int HttpServer::bind(const std::string& host, int port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return -1;
    for (addrinfo* a = found; a && listenFd_ < 0; a = a->ai_next) {
        const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) continue;
        // Only a quick restart may rebind; the port is never shared with another process.
        int yes = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        if (::bind(fd, a->ai_addr, a->ai_addrlen) == 0 && ::listen(fd, SOMAXCONN) == 0)
            listenFd_ = fd;
        else
            ::close(fd);
    }
    ::freeaddrinfo(found);
    if (listenFd_ < 0) return -1;
    sockaddr_storage bound{};
    socklen_t size = sizeof bound;
    ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&bound), &size);
    return ntohs(bound.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6&>(bound).sin6_port
                                             : reinterpret_cast<sockaddr_in&>(bound).sin_port);
}

void HttpServer::stop() {
    // No worker takes another request from here on: a backlog is dropped, not worked off.
    {
        std::lock_guard lock(jobsMutex_);
        workersStopping_ = true;
    }
    jobsSignal_.notify_all();
    // The stop's times count from the first ask, however late the loop takes it up.
    const Clock::time_point asked = now();
    Clock::rep unasked = kNotAsked;
    if (stopAsked_.compare_exchange_strong(unasked, asked.time_since_epoch().count())) {
        stopping_ = true;
        handler_.stopping(asked + kStopAnswerTime);
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeFd_, &one, sizeof one);
}

bool HttpServer::run() {
    if (stopping_) return true;
    if (!start()) return false;
    bool served = true;
    while (served && !over()) served = turn(kRoundTime);
    finish();
    return served;
}

bool HttpServer::start() {
    if (listenFd_ < 0 || wakeFd_ < 0) return false;
    epollFd_ = ::epoll_create1(EPOLL_CLOEXEC);
    if (epollFd_ < 0) return false;
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.u64 = kListenId;
    ::epoll_ctl(epollFd_, EPOLL_CTL_ADD, listenFd_, &event);
    event.data.u64 = kWakeId;
    ::epoll_ctl(epollFd_, EPOLL_CTL_ADD, wakeFd_, &event);
    for (std::size_t i = 0; i < limits_.workers; ++i) workers_.emplace_back([this] { work(); });
    return true;
}

bool HttpServer::turn(std::chrono::milliseconds wait) {
    epoll_event events[kEventsPerTurn];
    const int count = ::epoll_wait(epollFd_, events, kEventsPerTurn, static_cast<int>(wait.count()));
    if (count < 0 && errno != EINTR) return false;
    // Before the events, so that none of them starts a request after the stop.
    if (stopping_ && !stopped_) beginStop();
    for (int i = 0; i < count; ++i) handleEvent(events[i].data.u64, events[i].events);
    if (now() >= nextRound_) {
        // Answers handed on since the wake-up was last read go out before any deadline
        // ends their connections.
        collectAnswers();
        followAnswers();
        expire();
        trimMemory();
        if (acceptPaused_ && !stopped_) pauseAccepting(false);
        nextRound_ = now() + kRoundTime;
    }
    return true;
}

void HttpServer::handleEvent(std::uint64_t id, std::uint32_t events) {
    if (id == kListenId) {
        if (!stopped_) accept();
    } else if (id == kWakeId) {
        std::uint64_t ignored = 0;
        [[maybe_unused]] const ssize_t n = ::read(wakeFd_, &ignored, sizeof ignored);
        collectAnswers();
    } else if (const auto found = connections_.find(id); found != connections_.end()) {
        Connection& c = *found->second;
        // A reset connection can take no answer: what it sent is not worth reading, and
        // what it asked is dropped. Only a connection being read out after its answer goes
        // on reading, since its client has closed in turn.
        const bool gone = (events & (EPOLLHUP | EPOLLERR)) != 0;
        const Phase phase = c.phase;
        if (gone && phase != Phase::Draining)
            close(c);
        else if (phase != Phase::Handling && (gone || (events & EPOLLIN)))
            readFrom(c);
        // Reading may have closed it.
        if (connections_.count(id) && (events & EPOLLOUT)) flush(c);
    }
}

// From the stop on nothing new is taken: the listening socket closes, requests waiting
// for a worker are told to come back (nothing of them was run), and connections owed no
// answer close. A request on a worker keeps its connection until its answer is sent, and
// an answer is sent and read out, until the stop's end.
void HttpServer::beginStop() {
    stopped_ = true;
    stopEnd_ = Clock::time_point(Clock::duration(stopAsked_.load())) + kStopTime;
    if (listenFd_ >= 0) ::close(listenFd_);
    listenFd_ = -1;
    std::deque<Job> unrun;
    {
        std::lock_guard lock(jobsMutex_);
        unrun.swap(jobs_);
    }
    std::set<std::uint64_t> unanswered;
    for (Job& job : unrun) {
        if (job.request.claim) job.request.claim->refusedByServer();
        release(job);
        unanswered.insert(job.id);
    }
    // Answering or closing a connection ends no other.
    std::vector<Connection*> all;
    for (auto& [id, c] : connections_) all.push_back(c.get());
    for (Connection* c : all) {
        c->keepAlive = false;
        if (unanswered.count(c->id)) {
            Response later = busy("The service is stopping; please try again shortly.");
            later.close = true;
            answer(*c, std::move(later));
        } else if (c->phase == Phase::Head || c->phase == Phase::Body) {
            // A body cut short by the stop is no fault of its client's.
            if (c->reader.request().claim) c->reader.request().claim->refusedByServer();
            close(*c);
        } else {
            // A connection whose request is on a worker has had no deadline until now.
            c->deadline = c->phase == Phase::Handling ? stopEnd_ : std::min(c->deadline, stopEnd_);
        }
    }
}

// The deadline `deadline`, or the stop's end when that comes first.
HttpServer::Clock::time_point HttpServer::capped(Clock::time_point deadline) const {
    return stopped_ ? std::min(deadline, stopEnd_) : deadline;
}

// Ends a run: the workers finish what they hold, and every connection and request left
// is dropped. Nothing is answered any more.
void HttpServer::finish() {
    {
        std::lock_guard lock(jobsMutex_);
        workersStopping_ = true;
    }
    jobsSignal_.notify_all();
    for (std::thread& worker : workers_) worker.join();
    workers_.clear();
    std::deque<Job> dropped;
    {
        std::lock_guard lock(jobsMutex_);
        dropped.swap(jobs_);
    }
    for (Job& job : dropped) release(job);
    // Nothing is sent any more, as if every client had stopped reading for good; nor is
    // the clock read, which may be gone with the run.
    while (!connections_.empty()) end(*connections_.begin()->second, Clock::time_point::max());
    if (epollFd_ >= 0) ::close(epollFd_);
    if (listenFd_ >= 0) ::close(listenFd_);
    listenFd_ = epollFd_ = -1;
}

// Takes a few of the waiting connections at a time, so that a flood of new connections
// cannot crowd out the requests on those already open: they wait in the kernel's queue
// meanwhile, and the ones their clients have already reset cost little once taken.
void HttpServer::accept() {
    for (int taken = 0; taken < kAcceptsPerRound && !stopping_ && acceptOne(); ++taken) {
    }
}

// Takes one waiting connection; false when none is left or none can be taken. At the
// file limit the listening socket stays readable: the reserve lets one waiting client in
// to be turned away at once. Without it, and at any other failure (the kernel short of memory,
// say), the socket is left out of the epoll set until the next round of deadlines, so
// that the loop does not spin.
bool HttpServer::acceptOne() {
    sockaddr_storage remote{};
    socklen_t size = sizeof remote;
    const int fd = ::accept4(listenFd_, reinterpret_cast<sockaddr*>(&remote), &size, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd >= 0) {
        sockaddr_storage local{};
        size = sizeof local;
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &size);
        admitConnection(fd, addressOf(remote), addressOf(local));
        return true;
    }
    if (errno == EINTR || errno == ECONNABORTED) return true;
    if (errno == EAGAIN || errno == EWOULDBLOCK) return false;  // none left
    if ((errno == EMFILE || errno == ENFILE) && reserveFd_ >= 0) {
        ::close(reserveFd_);
        const int refused = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (refused >= 0) AnswerWriter::turnAway(refused, busy(kNoRoom));
        reserveFd_ = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        if (refused >= 0 && reserveFd_ >= 0) return true;
    }
    pauseAccepting(true);
    return false;
}

// Nothing is accepted once a stop has been asked, so nothing is adopted either.
void HttpServer::adopt(int fd, std::string remoteAddress, std::string localAddress) {
    if (stopping_)
        ::close(fd);
    else
        admitConnection(fd, std::move(remoteAddress), std::move(localAddress));
}

void HttpServer::pauseAccepting(bool paused) {
    if (paused == acceptPaused_) return;
    if (!paused && reserveFd_ < 0) reserveFd_ = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.u64 = kListenId;
    ::epoll_ctl(epollFd_, paused ? EPOLL_CTL_DEL : EPOLL_CTL_ADD, listenFd_, &event);
    acceptPaused_ = paused;
}

// A connection over its address's limit, or for which nobody gives way, hears why and is
// closed at once.
void HttpServer::admitConnection(int fd, std::string remoteAddress, std::string localAddress) {
    ConnectionSlots::Room room = slots_.roomForConnection(remoteAddress, now());
    while (giveWay(room)) room = slots_.roomForConnection(remoteAddress, now());
    if (room.verdict == ConnectionSlots::Verdict::addressFull)
        return AnswerWriter::turnAway(
            fd, refusal(429, "This address, or its network, has too many connections open; please try again later."));
    if (room.verdict == ConnectionSlots::Verdict::full) return AnswerWriter::turnAway(fd, busy(kNoRoom));
    // Answers are small and written in pieces: without this, delayed
    // acknowledgements hold each one back for tens of milliseconds.
    int yes = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    const std::uint64_t id = nextId_++;
    slots_.opened(id, remoteAddress);
    auto c = std::make_unique<Connection>(*this, id, fd, std::move(remoteAddress), std::move(localAddress));
    c->deadline = now() + limits_.headTime;
    Connection& added = *connections_.emplace(id, std::move(c)).first->second;
    watch(added);
    // A head that came with the connection is read now: empty connections give way to
    // newcomers at once, and one taken later in this turn must find this a request.
    readFrom(added);
}

// Carries out `room`'s verdict when a connection is to give way: one reading a request
// (or empty, about to read one) is pushed out for want of room and hears so, as a
// newcomer turned away does, after what is still owed of an interim answer (100
// Continue); one that only waits is owed nothing and is closed; one being answered has
// stopped taking its answer, and gets nothing more. The slots know what a client of an
// answer had taken at the last look: one that has taken more since keeps its place, filed
// anew. A body so pushed out had fallen behind its pace, so its claim is not told
// otherwise: it counts as one left to lapse. True when the slots are to be asked again.
bool HttpServer::giveWay(const ConnectionSlots::Room& room) {
    if (room.verdict != ConnectionSlots::Verdict::givesWay) return false;
    Connection& c = *connections_.at(room.id);
    if (follow(c)) return true;
    if (readsRequest(c)) c.writer.sendLast(busy(kNoRoom), now());
    close(c);
    return true;
}

// Whether `c` is reading a request: one begun, or the first, for which it was accepted.
bool HttpServer::readsRequest(const Connection& c) {
    return c.phase == Phase::Body || (c.phase == Phase::Head && (!c.reader.idle() || c.served == 0));
}

// Tells the slots where `c` stands. While its client has not taken all it was sent of its
// answers, it is still being answered, whatever else it does meanwhile but send a body:
// its next head begins only once the last answer is taken whole. A connection between
// requests that has sent nothing of the next only waits, as does one read out after its
// answer; a new one that has sent nothing is empty.
void HttpServer::place(Connection& c) {
    const bool between = c.phase == Phase::Head || c.phase == Phase::Draining;
    if (c.phase == Phase::Answering || (between && c.writer.owes()))
        slots_.answering(c.id, c.writer.stalledAt());
    else if (c.phase == Phase::Head && !c.reader.idle())
        slots_.readingHead(c.id, c.deadline - limits_.headTime);
    else if (c.phase == Phase::Head && c.served == 0)
        slots_.empty(c.id);
    else if (between)
        slots_.waiting(c.id);
    else if (c.phase == Phase::Body)
        slots_.readingBody(c.id, c.reader.pace(), c.reader.holdsFiles());
    else
        slots_.busy(c.id);
}

// Every change of phase goes through here, so that the connection has the phase's
// deadline, and the slots know where it stands before anything it does next asks them
// for room. Between requests, or read out before its close, a connection has its answers'
// deadline while its client has not taken them all; then the head's time (an idle
// connection is closed at its end) or the read-out's runs, from when it took the last byte.
void HttpServer::enter(Connection& c, Phase phase) {
    c.phase = phase;
    if (phase == Phase::Head || phase == Phase::Draining) {
        const Clock::duration wait = phase == Phase::Head ? Clock::duration(limits_.headTime) : kDrainTime;
        c.deadline = capped(c.writer.owes() ? c.writer.deadline() : now() + wait);
    } else if (phase == Phase::Body) {
        c.deadline = c.reader.pace().deadline();
    } else if (phase == Phase::Answering) {
        c.deadline = capped(c.writer.deadline());
    }
    place(c);
}

void HttpServer::watch(Connection& c) {
    const bool reading = c.phase == Phase::Head || c.phase == Phase::Body || c.phase == Phase::Draining;
    // While a worker has its request, a connection is watched only for its end: a reset
    // shows that its client has gone (EPOLLHUP), whereas the end of its input (EPOLLRDHUP,
    // reported once) may be a client that waits for its answer.
    const bool handling = c.phase == Phase::Handling;
    const bool writing = c.phase == Phase::Answering ? c.writer.waitsOnClient() : !c.writer.done();
    const std::uint32_t wanted =
        (reading ? EPOLLIN : 0u) | (writing ? EPOLLOUT : 0u) | (handling ? EPOLLRDHUP | EPOLLET : 0u);
    if (c.watched && c.events == wanted) return;
    epoll_event event{};
    event.events = wanted;
    event.data.u64 = c.id;
    ::epoll_ctl(epollFd_, c.watched ? EPOLL_CTL_MOD : EPOLL_CTL_ADD, c.fd, &event);
    c.watched = true;
    c.events = wanted;
}

// A body is read as far as it goes, a head a few KiB at a time: what a client sends ahead
// of its turn waits in the kernel, not in the service's memory. A connection read out
// before its close reads only to drop what it reads.
void HttpServer::readFrom(Connection& c) {
    if (c.phase == Phase::Draining) {
        if (!c.writer.readOut()) close(c);
        return;
    }
    char buffer[kReadSize];
    const ssize_t n = ::recv(c.fd, buffer, c.reader.readSize(sizeof buffer), 0);
    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) return close(c);
    if (n < 0) return;
    receive(c, std::string_view(buffer, static_cast<std::size_t>(n)));
}

// Takes what has come. A connection between requests is reading a head from its first
// byte on, before that head asks for anything.
void HttpServer::receive(Connection& c, std::string_view bytes) {
    if (c.phase == Phase::Body) {
        if (bodyTaken(c, c.reader.takeBody(bytes, now()))) takeInput(c);
        return;
    }
    c.reader.append(bytes);
    place(c);
    takeInput(c);
}

// Works through what has been read: a head, then its body, as far as they have come.
// False when the connection was closed or is closing.
bool HttpServer::takeInput(Connection& c) {
    if (c.phase == Phase::Head) {
        const RequestReader::Head head = c.reader.takeHead();
        c.reader.trimBuffers();
        if (head.kind == RequestReader::Head::Kind::incomplete) return true;
        c.headOnly = head.headOnly;
        if (head.kind == RequestReader::Head::Kind::refused) return refuse(c, std::move(*head.refusal));
        c.keepAlive = head.keepAlive;
        if (!startRequest(c, head.expectsContinue)) return false;
    }
    return c.phase != Phase::Body || bodyTaken(c, c.reader.takeKeptBody(now()));
}

// Lets the request whose head has just been read in, or refuses it.
bool HttpServer::startRequest(Connection& c, bool expectsContinue) {
    Admission admission = handler_.admit(c.reader.request());
    if (admission.refusal) return refuse(c, std::move(*admission.refusal));
    c.reader.request().claim = std::move(admission.claim);
    if (!roomForBody(c, !admission.spoolFolder.empty(), admission.files)) return false;
    if (std::optional<Response> failed = c.reader.beginBody(admission.spoolFolder, admission.files, now()))
        return refuse(c, std::move(*failed));
    enter(c, Phase::Body);
    if (expectsContinue) {
        const std::uint64_t id = c.id;
        c.writer.addInterim(kContinue, now());
        flush(c);
        if (!connections_.count(id)) return false;
    }
    return true;
}

// Whether the request fits: its spool file and its handler's `files` within their share
// of the open-file budget, once the connections that give way for them have (see
// `ConnectionSlots`), and a body held in memory within the bodies' budget as it stands
// (the memory is taken as the body's bytes come). Answers 503 otherwise.
bool HttpServer::roomForBody(Connection& c, bool spooled, std::size_t files) {
    const std::size_t needed = (spooled ? 1 : 0) + files;
    ConnectionSlots::Room room = slots_.roomForFiles(needed, c.id, now());
    while (giveWay(room)) room = slots_.roomForFiles(needed, c.id, now());
    const bool fits = room.verdict == ConnectionSlots::Verdict::fits &&
                      (spooled || bodies_.held + c.reader.request().contentLength <= limits_.bodyMemory);
    if (!fits) refuseAsServer(c, busy("Too many requests are being received; please try again later."));
    return fits;
}

// Answers with `response` and closes the connection once it is sent: what is left of
// the request would otherwise be taken for the next one. False, for the callers to pass on.
bool HttpServer::refuse(Connection& c, Response response) {
    response.close = true;
    answer(c, std::move(response));
    return false;
}

// Ends the request with a refusal the server decided for reasons of its own, which its
// claim hears of, and gives back at once what it holds.
void HttpServer::refuseAsServer(Connection& c, Response response) {
    if (c.reader.request().claim) c.reader.request().claim->refusedByServer();
    c.reader.drop();
    refuse(c, std::move(response));
}

// Carries out what taking bytes of a body came to: a refusal ends the request, and the
// whole request goes to a worker. False when the connection was closed or is closing.
bool HttpServer::bodyTaken(Connection& c, std::optional<Response> refusal) {
    if (refusal) return refuse(c, std::move(*refusal));
    if (c.reader.whole()) return dispatch(c);
    place(c);
    return true;
}

// Queues the whole request for a worker, or answers 503 when the queue is full. The
// refused connection is closed: an overloaded server had better not go on with the
// requests it may have pipelined behind. False when the connection was closed.
bool HttpServer::dispatch(Connection& c) {
    std::unique_lock lock(jobsMutex_);
    if (jobs_.size() >= limits_.queuedRequests) {
        lock.unlock();
        refuseAsServer(c, busy("The service is busy; please try again shortly."));
        return false;
    }
    Job& job = jobs_.emplace_back();
    job.id = c.id;
    c.reader.handOver(job.request, job.share, job.files);
    lock.unlock();
    jobsSignal_.notify_one();
    enter(c, Phase::Handling);
    watch(c);
    return true;
}

// Takes a request whose connection has gone out of the queue, unless a worker has it.
void HttpServer::dropJob(std::uint64_t id) {
    Job dropped;
    {
        std::lock_guard lock(jobsMutex_);
        const auto found = std::find_if(jobs_.begin(), jobs_.end(), [id](const Job& job) { return job.id == id; });
        if (found == jobs_.end()) return;
        dropped = std::move(*found);
        jobs_.erase(found);
    }
    release(dropped);
}

// Gives back all that a request taken off the connection holds: its spool file, the
// files counted for its handler, its body and its part of the bodies' budget, and its
// claim. Done before its answer is handed on (or at once when it is dropped), never left
// to the job's end: a client that asks again as soon as it is answered must find its
// claim and room free.
void HttpServer::release(Job& job) {
    if (!job.request.bodyFile.empty()) ::unlink(job.request.bodyFile.c_str());
    slots_.handlerFilesGiven(std::exchange(job.files, 0));
    job.share.release();
    job.request = Request{};
}

void HttpServer::work() {
    while (true) {
        Job job;
        {
            std::unique_lock lock(jobsMutex_);
            jobsSignal_.wait(lock, [this] { return workersStopping_ || !jobs_.empty(); });
            if (workersStopping_) return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        const std::uint64_t id = job.id;
        post(id, run(std::move(job)));
    }
}

bool HttpServer::workOne() {
    Job job;
    if (!nextJob(job)) return false;
    const std::uint64_t id = job.id;
    post(id, run(std::move(job)));
    return true;
}

// Takes the request that has waited longest, unless none waits or the server is stopping.
bool HttpServer::nextJob(Job& job) {
    std::lock_guard lock(jobsMutex_);
    if (workersStopping_ || jobs_.empty()) return false;
    job = std::move(jobs_.front());
    jobs_.pop_front();
    return true;
}

// Handles a request, and gives back all it holds before its answer is returned. A
// handler that throws, whatever it throws, fails its request alone, as a fault of the
// service's own that its claim hears of: the worker goes on.
HttpServer::Response HttpServer::run(Job job) {
    const auto failed = [&job](const char* why) {
        std::fprintf(stderr, "torvane_service: a request for %s failed: %s\n", job.request.path.c_str(), why);
        if (job.request.claim) job.request.claim->refusedByServer();
        return refusal(500, "The request could not be handled; please try again later.");
    };
    Response response;
    try {
        response = handler_.handle(job.request);
    } catch (const std::exception& e) {
        response = failed(e.what());
    } catch (...) {
        response = failed("it threw something other than an exception");
    }
    release(job);
    return response;
}

// Hands a worker's answer to the loop, and wakes it to send the answer.
void HttpServer::post(std::uint64_t id, Response response) {
    {
        std::lock_guard lock(answersMutex_);
        answers_.emplace_back(id, std::move(response));
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeFd_, &one, sizeof one);
}

void HttpServer::collectAnswers() {
    std::vector<std::pair<std::uint64_t, Response>> ready;
    {
        std::lock_guard lock(answersMutex_);
        ready.swap(answers_);
    }
    for (auto& [id, response] : ready) {
        const auto found = connections_.find(id);
        if (found != connections_.end()) answer(*found->second, std::move(response));
    }
}

void HttpServer::answer(Connection& c, Response response) {
    // A request refused while its body came is done with: what it holds goes back now,
    // not once its connection has been read out.
    if (c.phase == Phase::Body) c.reader.drop();
    ++c.served;
    if (response.close || c.served >= limits_.requestsPerConnection) c.keepAlive = false;
    c.writer.add(response, c.keepAlive, std::exchange(c.headOnly, false), now());
    enter(c, Phase::Answering);
    flush(c);
}

// An answer is sent once the kernel has it all and holds little of it unsent: until then
// its connection takes no further request, so that a client that leaves its answers
// unread cannot have more of them piled up. Then a connection is read out before its
// close, or, kept alive, goes on to the request its client may have sent meanwhile.
void HttpServer::flush(Connection& c) {
    if (!c.writer.flush(now())) return close(c);
    if (c.phase == Phase::Answering && c.writer.waitsOnClient()) {
        place(c);  // its client may have taken more
    } else if (c.phase == Phase::Answering && !c.keepAlive) {
        c.writer.endOutput();
        enter(c, Phase::Draining);
    } else if (c.phase == Phase::Answering) {
        enter(c, Phase::Head);
        watch(c);
        takeInput(c);
        return;
    }
    watch(c);
}

void HttpServer::close(Connection& c) { end(c, now()); }

// Closes `c` as at `at`, and drops all it holds.
void HttpServer::end(Connection& c, Clock::time_point at) {
    c.writer.close(at);  // also leaves the epoll set
    c.reader.drop();
    // Nobody is left to take its answer.
    if (c.phase == Phase::Handling) dropJob(c.id);
    slots_.closed(c.id);
    connections_.erase(c.id);
}

void HttpServer::trimMemory() {
    const std::uint64_t freed = bodies_.freed;
    peakConnections_ = std::max(peakConnections_, connections_.size());
    const bool bodiesGone = freed >= kTrimBytes || (freed >= kTrimBytes / 16 && bodies_.held == 0);
    if (!bodiesGone && peakConnections_ < connections_.size() + kTrimConnections) return;
    bodies_.freed = 0;
    peakConnections_ = connections_.size();
    ::malloc_trim(0);
}

// Files what the clients still owed answers have taken since the last round, so that one
// that has stopped taking them gives way at the cap, and one that has taken all only
// waits.
void HttpServer::followAnswers() {
    for (auto& [id, c] : connections_) follow(*c);
}

// Looks at what the client of `c` has taken of its answers; true when it has taken more,
// and then files it anew. Once it has taken all, a connection between requests, or read
// out before its close, begins to wait for what comes next.
bool HttpServer::follow(Connection& c) {
    if (!c.writer.owes() || !c.writer.look(now())) return false;
    enter(c, c.phase);  // once all is taken, the wait for what comes next begins
    return true;
}

// Ends connections past their deadline, and bodies that have stopped coming or come too
// slowly. A client that sent part of a request hears why; an idle keep-alive connection
// is just closed. A connection whose request is on a worker has a deadline only once
// stopped.
void HttpServer::expire() {
    const Clock::time_point now = this->now();
    std::vector<Connection*> late;
    for (auto& [id, c] : connections_)
        if (((c->phase != Phase::Handling || stopped_) && now >= c->deadline) ||
            (c->phase == Phase::Body && now >= c->reader.pace().lapse()))
            late.push_back(c.get());
    for (Connection* c : late) {
        const bool midRequest = c->phase == Phase::Body || (c->phase == Phase::Head && !c->reader.idle());
        if (midRequest && c->writer.done())
            refuse(*c, refusal(408, kTooSlow));  // closes it once written, or at its answer's deadline
        else
            close(*c);
    }
}
