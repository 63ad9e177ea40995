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
#include <charconv>
#include <cstdio>
#include <exception>
#include <set>

namespace {

constexpr std::uint64_t kListenId = 0;
constexpr std::uint64_t kWakeId = 1;
constexpr std::size_t kReadSize = 64 * 1024;
// Reads of what a client turned out has sent, before its connection is closed.
constexpr int kLastReads = 4;
constexpr int kAcceptsPerRound = 8;      // connections taken per turn of the loop
constexpr std::size_t kSpareFiles = 64;  // kept free of connections for the stores' own files
// The heap is given back to the system once this many bytes of bodies have been freed, or
// a sixteenth of that once no body is held: thousands of bodies leave it in pieces the
// allocator would otherwise keep.
constexpr std::uint64_t kTrimBytes = 64 * 1024 * 1024;
// A body held in memory is taken in pieces of this size as its bytes come, so that one
// that has sent little holds little of the budget; a body of more than one piece is put
// together once whole.
constexpr std::uint64_t kBodyPiece = 16 * 1024;
// After its last answer a connection is read out for up to this long (within a stop's
// time) and this many bytes before it is closed: closing with unread input would reset
// it, and the client could lose the answer, a refusal sent before the body, say.
constexpr auto kDrainTime = std::chrono::seconds(2);
constexpr std::uint64_t kDrainBytes = 4 * 1024 * 1024;
constexpr auto kRoundTime = std::chrono::milliseconds(100);  // between rounds of the deadlines
constexpr int kEventsPerTurn = 256;
constexpr int kEmptyLines = 4;  // passed over before a request line
constexpr const char* kTooSlow = "The request took too long to arrive.";

const char* reasonPhrase(int status) {
    switch (status) {
        case 100:
            return "Continue";
        case 200:
            return "OK";
        case 400:
            return "Bad Request";
        case 404:
            return "Not Found";
        case 405:
            return "Method Not Allowed";
        case 408:
            return "Request Timeout";
        case 411:
            return "Length Required";
        case 413:
            return "Payload Too Large";
        case 429:
            return "Too Many Requests";
        case 431:
            return "Request Header Fields Too Large";
        case 500:
            return "Internal Server Error";
        case 503:
            return "Service Unavailable";
        case 505:
            return "HTTP Version Not Supported";
        default:
            return status < 500 ? "Bad Request" : "Internal Server Error";
    }
}

bool isTokenChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

std::string lower(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return result;
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// True when the comma-separated list `value` holds `token` (in lower case).
bool listHas(std::string_view value, std::string_view token) {
    while (!value.empty()) {
        const std::size_t comma = value.find(',');
        if (lower(trim(value.substr(0, comma))) == token) return true;
        if (comma == std::string_view::npos) break;
        value.remove_prefix(comma + 1);
    }
    return false;
}

std::string decode(std::string_view text) {
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        int value = 0;
        if (text[i] == '+') {
            result += ' ';
        } else if (text[i] == '%' && i + 2 < text.size() &&
                   std::from_chars(text.data() + i + 1, text.data() + i + 3, value, 16).ptr == text.data() + i + 3) {
            result += static_cast<char>(value);
            i += 2;
        } else {
            result += text[i];
        }
    }
    return result;
}

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

// The places and files the server's connections may take: all the files the process may
// open but a few kept for the stores' own.
ConnectionSlots::Limits slotLimits(const HttpServer::Limits& limits) {
    const std::size_t limit = fileLimit();
    const std::size_t files = limit > 2 * kSpareFiles ? limit - kSpareFiles : kSpareFiles;
    return {std::min(limits.connections, files), limits.connectionsPerAddress, files};
}

// The authority of an absolute-form target ("http://host:port/path?query"), which is
// then cut down to the path and query; nothing when the target is not in that form. An
// empty authority or one with user information is no authority: refused as malformed.
std::optional<std::string_view> cutAuthority(std::string_view& target) {
    const std::size_t scheme = target.starts_with('/') ? std::string_view::npos : target.find("://");
    if (scheme == std::string_view::npos ||
        (lower(target.substr(0, scheme)) != "http" && lower(target.substr(0, scheme)) != "https"))
        return std::nullopt;
    std::string_view rest = target.substr(scheme + 3);
    const std::size_t end = std::min(rest.find('/'), rest.find('?'));
    const std::string_view authority = rest.substr(0, end);
    rest.remove_prefix(authority.size());
    target = rest;
    return authority;
}

bool isAuthorityChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           std::string_view("-._~!$&'()*+,;=:[]%").find(c) != std::string_view::npos;
}

// Why a request's head is refused, with its status; nothing when it is sound. Fills the
// request's method, target and headers as it goes.
std::optional<HttpServer::Response> parseHead(std::string_view head, HttpServer::Request& request,
                                              std::string& version) {
    const std::size_t lineEnd = head.find("\r\n");
    const std::string_view line = head.substr(0, lineEnd);
    const std::size_t space1 = line.find(' ');
    const std::size_t space2 = space1 == std::string_view::npos ? space1 : line.find(' ', space1 + 1);
    if (space2 == std::string_view::npos || line.find(' ', space2 + 1) != std::string_view::npos)
        return HttpServer::refusal(400, "The request line is malformed.");
    request.method = line.substr(0, space1);
    std::string_view target = line.substr(space1 + 1, space2 - space1 - 1);
    version = line.substr(space2 + 1);
    // A target may also be a whole URL: a client that takes the service for a proxy sends
    // one, and every server must take it. Its authority then stands for the host, and an
    // empty path for "/".
    const std::optional<std::string_view> authority = cutAuthority(target);
    if (authority && (authority->empty() || !std::all_of(authority->begin(), authority->end(), isAuthorityChar)))
        return HttpServer::refusal(400, "The request line is malformed.");
    std::string rooted;
    if (authority && !target.starts_with('/')) target = rooted = "/" + std::string(target);
    if (request.method.empty() || !std::all_of(request.method.begin(), request.method.end(), isTokenChar) ||
        !target.starts_with('/') || !version.starts_with("HTTP/"))
        return HttpServer::refusal(400, "The request line is malformed.");
    if (version != "HTTP/1.1" && version != "HTTP/1.0")
        return HttpServer::refusal(505, "This service speaks HTTP/1.1 only.");
    // Only visible ASCII: anything else must come percent-encoded.
    for (const unsigned char c : target)
        if (c <= ' ' || c >= 0x7f) return HttpServer::refusal(400, "The request line is malformed.");
    const std::size_t question = target.find('?');
    request.path = target.substr(0, question);
    request.query = question == std::string_view::npos ? std::string_view() : target.substr(question + 1);

    std::string_view rest = lineEnd == std::string_view::npos ? std::string_view() : head.substr(lineEnd + 2);
    while (!rest.empty()) {
        const std::size_t end = rest.find("\r\n");
        const std::string_view field = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 2);
        // Folded lines and space before the colon hide where a header ends.
        const std::size_t colon = field.find(':');
        if (colon == 0 || colon == std::string_view::npos ||
            !std::all_of(field.begin(), field.begin() + static_cast<long>(colon), isTokenChar))
            return HttpServer::refusal(400, "The request has a malformed header line.");
        // Bytes from 0x80 up are allowed in values (text in UTF-8, say); control bytes are not.
        const std::string_view value = trim(field.substr(colon + 1));
        for (const unsigned char c : value)
            if ((c < ' ' && c != '\t') || c == 0x7f)
                return HttpServer::refusal(400, "The request has a malformed header line.");
        request.headers.emplace_back(lower(field.substr(0, colon)), std::string(value));
    }
    // The target's authority replaces what Host says. An HTTP/1.1 request must still send
    // Host once, as without a whole URL (see `readFraming`).
    if (authority)
        for (auto& [name, value] : request.headers)
            if (name == "host") value = *authority;
    return std::nullopt;
}

// The body's length from the framing headers; a refusal when it is ambiguous or absent.
std::optional<HttpServer::Response> readFraming(HttpServer::Request& request, const std::string& version) {
    int hosts = 0;
    bool transferEncoding = false;
    std::optional<std::string_view> length;
    for (const auto& [name, value] : request.headers) {
        if (name == "host") ++hosts;
        if (name == "transfer-encoding") transferEncoding = true;
        if (name != "content-length") continue;
        // A list of lengths ("5, 5") counts as its items, each compared with the others.
        std::string_view items = value;
        while (true) {
            const std::size_t comma = items.find(',');
            const std::string_view item = trim(items.substr(0, comma));
            if (item.empty() || !std::all_of(item.begin(), item.end(), [](char c) { return c >= '0' && c <= '9'; }))
                return HttpServer::refusal(400, "The request has an invalid Content-Length.");
            if (length && *length != item)
                return HttpServer::refusal(400, "The request has conflicting Content-Length headers.");
            length = item;
            if (comma == std::string_view::npos) break;
            items.remove_prefix(comma + 1);
        }
    }
    if (hosts > 1 || (hosts == 0 && version == "HTTP/1.1"))
        return HttpServer::refusal(400, "The request must name its host once.");
    if (transferEncoding && length)
        return HttpServer::refusal(400, "The request gives both Transfer-Encoding and Content-Length.");
    if (transferEncoding) return HttpServer::refusal(411, "The request must give its Content-Length.");
    if (length) {
        const auto [end, ec] = std::from_chars(length->data(), length->data() + length->size(), request.contentLength);
        if (ec != std::errc()) return HttpServer::refusal(400, "The request has an invalid Content-Length.");
    }
    return std::nullopt;
}

}  // namespace

struct HttpServer::Connection {
    enum class Phase { Head, Body, Handling, Answering, Draining };

    std::uint64_t id = 0;
    int fd = -1;
    std::string remoteAddress;
    std::string localAddress;
    Phase phase = Phase::Head;
    Clock::time_point deadline;
    BodyPace pace;      // of the body, from its head's arrival
    std::string input;  // read and not yet taken
    std::string output;
    std::size_t sent = 0;
    Request request;
    bool head = false;   // a HEAD request: the answer goes without its body
    int emptyLines = 0;  // passed over before the request that comes next
    bool keepAlive = true;
    int served = 0;
    int spoolFd = -1;
    std::vector<std::string> pieces;  // the body as it comes, while held in memory
    BodyShare share;                  // of the pieces, then of the request's body
    std::size_t files = 0;            // counted for its handler in `slots_`, until it is dispatched
    std::uint64_t bodyLeft = 0;
    std::uint64_t drained = 0;
    bool watched = false;      // in the epoll set
    std::uint32_t events = 0;  // what epoll watches for
};

const std::string* HttpServer::Request::header(std::string_view lowerName) const {
    for (const auto& [name, value] : headers)
        if (name == lowerName) return &value;
    return nullptr;
}

std::optional<std::string> HttpServer::Request::param(std::string_view name) const {
    std::string_view rest = query;
    while (!rest.empty()) {
        const std::size_t amp = rest.find('&');
        const std::string_view pair = rest.substr(0, amp);
        const std::size_t equals = pair.find('=');
        if (decode(pair.substr(0, equals)) == name)
            return equals == std::string_view::npos ? std::string() : decode(pair.substr(equals + 1));
        if (amp == std::string_view::npos) break;
        rest.remove_prefix(amp + 1);
    }
    return std::nullopt;
}

HttpServer::Response HttpServer::refusal(int status, const std::string& sentence) {
    Response response;
    response.status = status;
    response.contentType = "text/plain; charset=utf-8";
    response.body = sentence + "\n";
    return response;
}

std::optional<HttpServer::Response> HttpServer::readHead(std::string_view head, Request& request,
                                                         std::string& version) {
    std::optional<Response> refused = parseHead(head, request, version);
    if (!refused) refused = readFraming(request, version);
    return refused;
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

void HttpServer::BodyShare::take(BodyBudget& budget, std::uint64_t bytes) {
    budget_ = &budget;
    bytes_ += bytes;
    budget.held += bytes;
}

HttpServer::BodyShare& HttpServer::BodyShare::operator=(BodyShare&& other) noexcept {
    if (this != &other) {
        release();
        budget_ = std::exchange(other.budget_, nullptr);
        bytes_ = std::exchange(other.bytes_, 0);
    }
    return *this;
}

void HttpServer::BodyShare::release() {
    if (!budget_) return;
    budget_->held -= bytes_;
    budget_->freed += bytes_;
    budget_ = nullptr;
    bytes_ = 0;
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
    if (!stopping_.exchange(true)) handler_.stopping(now() + kStopAnswerTime);
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
        const Connection::Phase phase = c.phase;
        if (gone && phase != Connection::Phase::Draining)
            close(c);
        else if (phase != Connection::Phase::Handling && (gone || (events & EPOLLIN)))
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
    stopEnd_ = now() + kStopTime;
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
        } else if (c->phase == Connection::Phase::Head || c->phase == Connection::Phase::Body) {
            // A body cut short by the stop is no fault of its client's.
            if (c->request.claim) c->request.claim->refusedByServer();
            close(*c);
        } else {
            // A connection whose request is on a worker has had no deadline until now.
            c->deadline = c->phase == Connection::Phase::Handling ? stopEnd_ : std::min(c->deadline, stopEnd_);
        }
    }
}

// The deadline `time` from now, or the stop's end when that comes first.
HttpServer::Clock::time_point HttpServer::deadlineIn(Clock::duration time) const {
    return stopped_ ? std::min(now() + time, stopEnd_) : now() + time;
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
    while (!connections_.empty()) close(*connections_.begin()->second);
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
        if (refused >= 0)
            turnAway(refused, busy("The service has no room for more connections now; please try again shortly."));
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
        return turnAway(fd, refusal(429, "This address has too many connections open; please try again later."));
    if (room.verdict == ConnectionSlots::Verdict::full)
        return turnAway(fd, busy("The service has no room for more connections now; please try again shortly."));
    // Answers are small and written in pieces: without this, delayed
    // acknowledgements hold each one back for tens of milliseconds.
    int yes = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    auto c = std::make_unique<Connection>();
    c->id = nextId_++;
    c->fd = fd;
    c->remoteAddress = std::move(remoteAddress);
    c->localAddress = std::move(localAddress);
    c->deadline = now() + limits_.headTime;
    Connection& added = *c;
    connections_.emplace(c->id, std::move(c));
    slots_.opened(added.id, added.remoteAddress, now());
    watch(added);
    // A head that came with the connection is read now: heads give way to newcomers at
    // once, and one taken later in this turn must find this a request, not an empty head.
    readFrom(added);
}

// Carries out `room`'s verdict when a connection is to give way: one that only waits is
// owed nothing and is closed; one reading a request is cut off as for its own slowness,
// as one left to lapse is (its claim is not told otherwise). False when nobody is to give
// way.
bool HttpServer::giveWay(const ConnectionSlots::Room& room) {
    using Verdict = ConnectionSlots::Verdict;
    if (room.verdict != Verdict::idleGivesWay && room.verdict != Verdict::slowGivesWay) return false;
    Connection& c = *connections_.at(room.id);
    // After what is still owed of an interim answer (100 Continue).
    if (room.verdict == Verdict::slowGivesWay)
        sendLast(c.fd, c.output.substr(c.sent) + serialize(refusal(408, kTooSlow), false, false));
    close(c);
    return true;
}

// Tells a client that is not taken why, and closes its connection.
void HttpServer::turnAway(int fd, const Response& response) {
    sendLast(fd, serialize(response, false, false));
    ::close(fd);
}

// Sends `bytes` as the last a connection hears, ends its output, and reads what its client
// has sent so far: a close with input unread would reset the connection, and the client
// could lose what it was told. What comes after the close still resets it, but on most
// systems its client can still read what came before.
void HttpServer::sendLast(int fd, std::string_view bytes) {
    ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    ::shutdown(fd, SHUT_WR);
    char buffer[kReadSize];
    for (int i = 0; i<kLastReads&& ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT)> 0; ++i) {
    }
}

// Tells the slots where `c` stands. A head is read from its connection's accept or its
// last answer; a connection between requests that has sent nothing of the next only
// waits, as does one read out after its answer.
void HttpServer::place(Connection& c) {
    switch (c.phase) {
        case Connection::Phase::Head:
            if (c.input.empty() && c.served > 0)
                slots_.waiting(c.id);
            else
                slots_.readingHead(c.id, c.deadline - limits_.headTime);
            break;
        case Connection::Phase::Body:
            slots_.readingBody(c.id, c.pace, c.spoolFd >= 0 || c.files > 0);
            break;
        case Connection::Phase::Draining:
            slots_.waiting(c.id);
            break;
        case Connection::Phase::Handling:
        case Connection::Phase::Answering:
            slots_.busy(c.id);
            break;
    }
}

void HttpServer::placeIfOpen(std::uint64_t id) {
    if (const auto found = connections_.find(id); found != connections_.end()) place(*found->second);
}

void HttpServer::watch(Connection& c) {
    const bool reading = c.phase == Connection::Phase::Head || c.phase == Connection::Phase::Body ||
                         c.phase == Connection::Phase::Draining;
    // While a worker has its request, a connection is watched only for its end: a reset
    // shows that its client has gone (EPOLLHUP), whereas the end of its input (EPOLLRDHUP,
    // reported once) may be a client that waits for its answer.
    const bool handling = c.phase == Connection::Phase::Handling;
    const std::uint32_t wanted =
        (reading ? EPOLLIN : 0u) | (c.sent < c.output.size() ? EPOLLOUT : 0u) | (handling ? EPOLLRDHUP | EPOLLET : 0u);
    if (c.watched && c.events == wanted) return;
    epoll_event event{};
    event.events = wanted;
    event.data.u64 = c.id;
    ::epoll_ctl(epollFd_, c.watched ? EPOLL_CTL_MOD : EPOLL_CTL_ADD, c.fd, &event);
    c.watched = true;
    c.events = wanted;
}

void HttpServer::readFrom(Connection& c) {
    char buffer[kReadSize];
    const ssize_t n = ::recv(c.fd, buffer, sizeof buffer, 0);
    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) return close(c);
    if (n < 0) return;
    receive(c, std::string_view(buffer, static_cast<std::size_t>(n)));
}

// Takes what has come, and places the connection where that leaves it.
void HttpServer::receive(Connection& c, std::string_view bytes) {
    if (c.phase == Connection::Phase::Draining) {
        c.drained += bytes.size();
        if (c.drained > kDrainBytes) close(c);
        return;
    }
    const std::uint64_t id = c.id;
    if (c.phase == Connection::Phase::Body) {
        const std::size_t taken = static_cast<std::size_t>(std::min<std::uint64_t>(c.bodyLeft, bytes.size()));
        c.input.append(bytes.substr(taken));
        if (takeBody(c, bytes.substr(0, taken))) takeInput(c);
    } else {
        c.input.append(bytes);
        takeInput(c);
    }
    placeIfOpen(id);
}

// Works through what has been read: a head, then its body, as far as they have come.
// False when the connection was closed or is closing.
bool HttpServer::takeInput(Connection& c) {
    if (c.phase == Connection::Phase::Head) {
        // Some clients send a line break after a body, beyond its length: a few empty lines
        // before a request line are passed over. Any more are read as its request line.
        while (c.input.starts_with("\r\n") && c.emptyLines < kEmptyLines) {
            c.input.erase(0, 2);
            ++c.emptyLines;
        }
    }
    if (c.phase == Connection::Phase::Head && !c.input.empty()) {
        // The head may be `longestHead` long before the empty line that ends it, whose
        // first three bytes may already be here.
        const std::size_t end = c.input.find("\r\n\r\n");
        if (end == std::string::npos && c.input.size() <= limits_.longestHead + 3) return true;
        if (end == std::string::npos || end > limits_.longestHead) {
            Response refused = refusal(431, "The request's head is too large.");
            refused.close = true;
            answer(c, std::move(refused));
            return false;
        }
        if (!startRequest(c, end)) return false;
    }
    if (c.phase == Connection::Phase::Body && !c.input.empty() && c.bodyLeft > 0) {
        const std::size_t taken = static_cast<std::size_t>(std::min<std::uint64_t>(c.bodyLeft, c.input.size()));
        const std::string body = c.input.substr(0, taken);
        c.input.erase(0, taken);
        releaseBuffers(c);
        if (!takeBody(c, body)) return false;
    } else if (c.phase == Connection::Phase::Body && c.bodyLeft == 0) {
        return dispatch(c);
    }
    releaseBuffers(c);
    return true;
}

bool HttpServer::startRequest(Connection& c, std::size_t headEnd) {
    c.request = Request{};
    c.request.remoteAddress = c.remoteAddress;
    c.request.localAddress = c.localAddress;
    c.emptyLines = 0;
    std::string version;
    std::optional<Response> refused = readHead(std::string_view(c.input).substr(0, headEnd), c.request, version);
    c.input.erase(0, headEnd + 4);
    // Also a refusal of a HEAD request goes without its body.
    c.head = c.request.method == "HEAD";
    if (refused) {
        refused->close = true;
        answer(c, std::move(*refused));
        return false;
    }
    const std::string* connection = c.request.header("connection");
    c.keepAlive = connection
                      ? !listHas(*connection, "close") && (version == "HTTP/1.1" || listHas(*connection, "keep-alive"))
                      : version == "HTTP/1.1";
    Admission admission = handler_.admit(c.request);
    if (admission.refusal) {
        // The unread body would otherwise be taken for the next request.
        admission.refusal->close = true;
        answer(c, std::move(*admission.refusal));
        return false;
    }
    c.request.claim = std::move(admission.claim);
    if (!roomForBody(c, !admission.spoolFolder.empty(), admission.files)) return false;
    c.files = admission.files;
    slots_.handlerFilesTaken(c.files);
    if (!admission.spoolFolder.empty()) {
        std::string pattern = admission.spoolFolder + "/.upload-XXXXXX";
        c.spoolFd = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (c.spoolFd < 0) {
            std::fprintf(stderr, "torvane_service: cannot write a request body into %s\n",
                         admission.spoolFolder.c_str());
            refuseAsServer(c, refusal(500, "The request could not be taken; please try again later."));
            return false;
        }
        slots_.bodyFileOpened();
        c.request.bodyFile = pattern;
    }
    c.phase = Connection::Phase::Body;
    c.bodyLeft = c.request.contentLength;
    c.pace = BodyPace(limits_.body, now(), c.request.contentLength);
    c.deadline = c.pace.deadline();
    const std::string* expect = c.request.header("expect");
    if (expect && lower(*expect) == "100-continue" && c.bodyLeft > 0 && version == "HTTP/1.1") {
        const std::uint64_t id = c.id;
        c.output.append("HTTP/1.1 100 Continue\r\n\r\n");
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
                      (spooled || bodies_.held + c.request.contentLength <= limits_.bodyMemory);
    if (!fits) refuseAsServer(c, busy("Too many requests are being received; please try again later."));
    return fits;
}

// Ends the request with a refusal the server decided for reasons of its own, which its
// claim hears of, and gives back at once what it holds.
void HttpServer::refuseAsServer(Connection& c, Response response) {
    if (c.request.claim) c.request.claim->refusedByServer();
    dropRequest(c);
    response.close = true;
    answer(c, std::move(response));
}

// Takes the next bytes of the body, once its claim has let them in; dispatches the
// request once it is whole. False when the connection was closed or is closing.
bool HttpServer::takeBody(Connection& c, std::string_view bytes) {
    if (bytes.empty()) return true;
    c.bodyLeft -= bytes.size();
    if (c.request.claim) {
        if (std::optional<Response> refused = c.request.claim->bodyArrived(c.request.contentLength - c.bodyLeft)) {
            refused->close = true;
            answer(c, std::move(*refused));
            return false;
        }
    }
    if (!(c.spoolFd < 0 ? keepInMemory(c, bytes) : keepInFile(c, bytes))) return false;
    c.pace.arrived(c.request.contentLength - c.bodyLeft, now());
    return c.bodyLeft > 0 || dispatch(c);
}

// Adds bytes to a body held in memory. Each piece takes its room in the budget when the
// first of its bytes comes; one that does not fit is refused with 503.
bool HttpServer::keepInMemory(Connection& c, std::string_view bytes) {
    std::uint64_t kept = c.request.contentLength - c.bodyLeft - bytes.size();
    while (!bytes.empty()) {
        if (kept % kBodyPiece == 0) {
            const std::uint64_t size = std::min(kBodyPiece, c.request.contentLength - kept);
            if (bodies_.held + size > limits_.bodyMemory) {
                refuseAsServer(c, busy("Too many requests are being received; please try again later."));
                return false;
            }
            c.share.take(bodies_, size);
            c.pieces.emplace_back().reserve(static_cast<std::size_t>(size));
        }
        const std::size_t part =
            static_cast<std::size_t>(std::min<std::uint64_t>(bytes.size(), kBodyPiece - kept % kBodyPiece));
        c.pieces.back().append(bytes.substr(0, part));
        bytes.remove_prefix(part);
        kept += part;
    }
    return true;
}

bool HttpServer::keepInFile(Connection& c, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(c.spoolFd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            std::fprintf(stderr, "torvane_service: cannot write a request body to %s\n", c.request.bodyFile.c_str());
            refuseAsServer(c, refusal(500, "The request could not be taken; please try again later."));
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Queues the whole request for a worker, or answers 503 when the queue is full. The
// refused connection is closed: an overloaded server had better not go on with the
// requests it may have pipelined behind. False when the connection was closed.
bool HttpServer::dispatch(Connection& c) {
    if (c.spoolFd >= 0) {
        ::close(c.spoolFd);
        c.spoolFd = -1;
        slots_.bodyFileClosed();
    }
    std::unique_lock lock(jobsMutex_);
    if (jobs_.size() >= limits_.queuedRequests) {
        lock.unlock();
        refuseAsServer(c, busy("The service is busy; please try again shortly."));
        return false;
    }
    joinPieces(c);
    jobs_.push_back(Job{c.id, std::move(c.request), std::move(c.share), std::exchange(c.files, 0)});
    lock.unlock();
    jobsSignal_.notify_one();
    c.request = Request{};
    c.phase = Connection::Phase::Handling;
    watch(c);
    return true;
}

// Puts a body held in memory into one buffer of its length; a body of one piece is
// that piece.
void HttpServer::joinPieces(Connection& c) {
    std::string& body = c.request.body;
    if (c.pieces.size() == 1) {
        body = std::move(c.pieces.front());
    } else if (!c.pieces.empty()) {
        body.reserve(static_cast<std::size_t>(c.request.contentLength));
        for (const std::string& piece : c.pieces) body += piece;
    }
    std::vector<std::string>().swap(c.pieces);
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
    {
        std::lock_guard lock(jobsMutex_);
        if (workersStopping_ || jobs_.empty()) return false;
        job = std::move(jobs_.front());
        jobs_.pop_front();
    }
    const std::uint64_t id = job.id;
    post(id, run(std::move(job)));
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
    if (c.phase == Connection::Phase::Body) dropRequest(c);
    ++c.served;
    if (response.close || c.served >= limits_.requestsPerConnection) c.keepAlive = false;
    c.output += serialize(response, c.keepAlive, std::exchange(c.head, false));
    c.phase = Connection::Phase::Answering;
    c.deadline = deadlineIn(limits_.answerTime);
    flush(c);
}

// The answer's status line and headers, and its body unless it answers a HEAD request.
std::string HttpServer::serialize(const Response& response, bool keepAlive, bool head) {
    std::string out = "HTTP/1.1 " + std::to_string(response.status) + " " + reasonPhrase(response.status) + "\r\n";
    if (!response.contentType.empty()) out += "Content-Type: " + response.contentType + "\r\n";
    for (const auto& [name, value] : response.headers) out += name + ": " + value + "\r\n";
    out += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
    if (!keepAlive) out += "Connection: close\r\n";
    out += "\r\n";
    if (!head) out += response.body;
    return out;
}

void HttpServer::flush(Connection& c) {
    while (c.sent < c.output.size()) {
        const ssize_t n = ::send(c.fd, c.output.data() + c.sent, c.output.size() - c.sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
        if (n <= 0) return close(c);
        c.sent += static_cast<std::size_t>(n);
    }
    if (c.sent == c.output.size()) {
        c.output.clear();
        c.sent = 0;
        releaseBuffers(c);
        if (c.phase == Connection::Phase::Answering && !c.keepAlive) {
            ::shutdown(c.fd, SHUT_WR);
            c.phase = Connection::Phase::Draining;
            c.deadline = deadlineIn(kDrainTime);
        } else if (c.phase == Connection::Phase::Answering) {
            c.phase = Connection::Phase::Head;
            c.deadline = now() + limits_.headTime;
            watch(c);
            // A request sent before this answer went out is waiting in the input, and may
            // take the connection on to its body or its answer.
            const std::uint64_t id = c.id;
            takeInput(c);
            return placeIfOpen(id);
        }
    }
    watch(c);
    place(c);
}

void HttpServer::close(Connection& c) {
    ::close(c.fd);  // also leaves the epoll set
    dropRequest(c);
    // Nobody is left to take its answer.
    if (c.phase == Connection::Phase::Handling) dropJob(c.id);
    slots_.closed(c.id);
    connections_.erase(c.id);
}

// Gives back what a request that no worker has taken holds: its spool file, its body's
// memory, the files counted for its handler and the handler's claim.
void HttpServer::dropRequest(Connection& c) {
    if (c.spoolFd >= 0) {
        ::close(c.spoolFd);
        c.spoolFd = -1;
        slots_.bodyFileClosed();
    }
    if (!c.request.bodyFile.empty()) ::unlink(c.request.bodyFile.c_str());
    c.request = Request{};
    std::vector<std::string>().swap(c.pieces);
    c.share.release();
    slots_.handlerFilesGiven(std::exchange(c.files, 0));
}

// A connection between requests keeps no buffers: thousands of them would otherwise each
// hold the capacity of their largest read.
void HttpServer::releaseBuffers(Connection& c) {
    constexpr std::size_t kKept = 4 * 1024;
    if (c.input.empty() && c.input.capacity() > kKept) std::string().swap(c.input);
    if (c.output.empty() && c.output.capacity() > kKept) std::string().swap(c.output);
}

void HttpServer::trimMemory() {
    const std::uint64_t freed = bodies_.freed;
    if (freed < kTrimBytes && (freed < kTrimBytes / 16 || bodies_.held > 0)) return;
    bodies_.freed = 0;
    ::malloc_trim(0);
}

// Ends connections past their deadline, and bodies that have stopped coming or come too
// slowly. A client that sent part of a request hears why; an idle keep-alive connection
// is just closed. A connection whose request is on a worker has a deadline only once
// stopped.
void HttpServer::expire() {
    const Clock::time_point now = this->now();
    std::vector<Connection*> late;
    for (auto& [id, c] : connections_)
        if (((c->phase != Connection::Phase::Handling || stopped_) && now >= c->deadline) ||
            (c->phase == Connection::Phase::Body && now >= c->pace.lapse()))
            late.push_back(c.get());
    for (Connection* c : late) {
        const bool midRequest =
            c->phase == Connection::Phase::Body || (c->phase == Connection::Phase::Head && !c->input.empty());
        if (midRequest && c->output.empty()) {
            Response timeout = refusal(408, kTooSlow);
            timeout.close = true;
            answer(*c, std::move(timeout));  // closes it once written, or at its answer's deadline
        } else {
            close(*c);
        }
    }
}

HttpServer::Session::Session(HttpServer& server, int fd) : server_(server), id_(server.nextId_++) {
    auto c = std::make_unique<Connection>();
    c->id = id_;
    c->fd = fd;
    c->remoteAddress = c->localAddress = "127.0.0.1";
    c->deadline = server.now() + server.limits_.headTime;
    server.slots_.opened(id_, c->remoteAddress, server.now());
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
    while (true) {
        Job job;
        {
            std::lock_guard lock(server_.jobsMutex_);
            if (server_.jobs_.empty()) break;
            job = std::move(server_.jobs_.front());
            server_.jobs_.pop_front();
        }
        const std::uint64_t id = job.id;
        Response response = server_.run(std::move(job));
        if (const auto c = server_.connections_.find(id); c != server_.connections_.end())
            server_.answer(*c->second, std::move(response));
    }
    return server_.connections_.count(id_) != 0;
}
