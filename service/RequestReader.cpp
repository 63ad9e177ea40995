#include "RequestReader.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

constexpr int kEmptyLines = 4;  // passed over before a request line
// A body held in memory is taken in pieces of this size as its bytes come, so that one
// that has sent little holds little of the budget; a body of more than one piece is put
// together once whole.
constexpr std::uint64_t kBodyPiece = 16 * 1024;
// Buffer room kept for a connection between requests: thousands of them would otherwise
// each hold the capacity of their largest read. Heads are read in pieces of that size.
constexpr std::size_t kKeptRoom = 4 * 1024;

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
    if (authority && !target.starts_with('/')) {
        // Appended rather than concatenated: GCC 12 at -O3 warns of an overlapping copy
        // in the operator's inlined insert, which no input can bring about.
        rooted.append(1, '/').append(target);
        target = rooted;
    }
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

RequestReader::RequestReader(const HttpServer::Limits& limits, ConnectionSlots& slots, BodyShare::Budget& bodies,
                             std::string remoteAddress, std::string localAddress)
    : limits_(limits),
      slots_(slots),
      bodies_(bodies),
      remoteAddress_(std::move(remoteAddress)),
      localAddress_(std::move(localAddress)) {}

std::optional<HttpServer::Response> RequestReader::readHead(std::string_view head, Request& request,
                                                            std::string& version) {
    std::optional<Response> refused = parseHead(head, request, version);
    if (!refused) refused = readFraming(request, version);
    return refused;
}

std::size_t RequestReader::readSize(std::size_t most) const {
    return static_cast<std::size_t>(std::min<std::uint64_t>(most, bodyLeft_ > 0 ? bodyLeft_ : kKeptRoom));
}

// Some clients send a line break after a body, beyond its length: a few empty lines
// before a request line are passed over. Any more are read as its request line. The head
// may be `longestHead` long before the empty line that ends it, whose first three bytes
// may already be here.
RequestReader::Head RequestReader::takeHead() {
    Head head;
    while (input_.starts_with("\r\n") && emptyLines_ < kEmptyLines) {
        input_.erase(0, 2);
        ++emptyLines_;
    }
    if (input_.empty()) return head;
    const std::size_t end = input_.find("\r\n\r\n");
    if (end == std::string::npos && input_.size() <= limits_.longestHead + 3) return head;
    head.kind = Head::Kind::refused;
    if (end == std::string::npos || end > limits_.longestHead) {
        head.refusal = HttpServer::refusal(431, "The request's head is too large.");
        return head;
    }
    request_ = Request{};
    request_.remoteAddress = remoteAddress_;
    request_.localAddress = localAddress_;
    emptyLines_ = 0;
    std::string version;
    head.refusal = readHead(std::string_view(input_).substr(0, end), request_, version);
    input_.erase(0, end + 4);
    // Also a refusal of a HEAD request goes without its body.
    head.headOnly = request_.method == "HEAD";
    if (head.refusal) return head;
    head.kind = Head::Kind::read;
    const std::string* connection = request_.header("connection");
    head.keepAlive =
        connection ? !listHas(*connection, "close") && (version == "HTTP/1.1" || listHas(*connection, "keep-alive"))
                   : version == "HTTP/1.1";
    const std::string* expect = request_.header("expect");
    head.expectsContinue =
        expect && lower(*expect) == "100-continue" && request_.contentLength > 0 && version == "HTTP/1.1";
    return head;
}

std::optional<HttpServer::Response> RequestReader::beginBody(const std::string& spoolFolder, std::size_t files,
                                                             Clock::time_point now) {
    files_ = files;
    slots_.handlerFilesTaken(files);
    if (!spoolFolder.empty()) {
        std::string pattern = spoolFolder + "/.upload-XXXXXX";
        spoolFd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
        // Out of files is want of room, not a fault of the disk.
        if (spoolFd_ < 0 && (errno == EMFILE || errno == ENFILE))
            return refuseAsServer(HttpServer::busy("Too many requests are being received; please try again later."));
        if (spoolFd_ < 0) {
            std::fprintf(stderr, "torvane_service: cannot write a request body into %s\n", spoolFolder.c_str());
            return refuseAsServer(HttpServer::refusal(500, "The request could not be taken; please try again later."));
        }
        slots_.bodyFileOpened();
        request_.bodyFile = pattern;
    }
    bodyLeft_ = request_.contentLength;
    pace_ = BodyPace(limits_.body, now, request_.contentLength);
    return std::nullopt;
}

std::optional<HttpServer::Response> RequestReader::takeBody(std::string_view bytes, Clock::time_point now) {
    const std::size_t taken = static_cast<std::size_t>(std::min<std::uint64_t>(bodyLeft_, bytes.size()));
    input_.append(bytes.substr(taken));
    return take(bytes.substr(0, taken), now);
}

std::optional<HttpServer::Response> RequestReader::takeKeptBody(Clock::time_point now) {
    const std::size_t taken = static_cast<std::size_t>(std::min<std::uint64_t>(bodyLeft_, input_.size()));
    const std::string part = input_.substr(0, taken);
    input_.erase(0, taken);
    trimBuffers();
    return take(part, now);
}

// Takes the next bytes of the body once its claim has let them in.
std::optional<HttpServer::Response> RequestReader::take(std::string_view part, Clock::time_point now) {
    if (part.empty()) return std::nullopt;
    bodyLeft_ -= part.size();
    const std::uint64_t received = request_.contentLength - bodyLeft_;
    std::optional<Response> refused = request_.claim ? request_.claim->bodyArrived(received) : std::nullopt;
    if (!refused) refused = spoolFd_ < 0 ? keepInMemory(part) : keepInFile(part);
    if (!refused) pace_.arrived(received, now);
    return refused;
}

// Adds bytes to a body held in memory. Each piece takes its room in the budget when the
// first of its bytes comes; one that does not fit is refused with 503.
std::optional<HttpServer::Response> RequestReader::keepInMemory(std::string_view bytes) {
    std::uint64_t kept = request_.contentLength - bodyLeft_ - bytes.size();
    while (!bytes.empty()) {
        if (kept % kBodyPiece == 0) {
            const std::uint64_t size = std::min(kBodyPiece, request_.contentLength - kept);
            if (bodies_.held + size > limits_.bodyMemory)
                return refuseAsServer(
                    HttpServer::busy("Too many requests are being received; please try again later."));
            share_.take(bodies_, size);
            pieces_.emplace_back().reserve(static_cast<std::size_t>(size));
        }
        const std::size_t part =
            static_cast<std::size_t>(std::min<std::uint64_t>(bytes.size(), kBodyPiece - kept % kBodyPiece));
        pieces_.back().append(bytes.substr(0, part));
        bytes.remove_prefix(part);
        kept += part;
    }
    return std::nullopt;
}

std::optional<HttpServer::Response> RequestReader::keepInFile(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(spoolFd_, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            std::fprintf(stderr, "torvane_service: cannot write a request body to %s\n", request_.bodyFile.c_str());
            return refuseAsServer(HttpServer::refusal(500, "The request could not be taken; please try again later."));
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return std::nullopt;
}

// The server turns the request away for reasons of its own: its claim hears of it, and
// all it holds goes back at once.
HttpServer::Response RequestReader::refuseAsServer(Response refusal) {
    if (request_.claim) request_.claim->refusedByServer();
    drop();
    return refusal;
}

void RequestReader::handOver(Request& request, BodyShare& share, std::size_t& files) {
    closeSpool();
    joinPieces();
    request = std::move(request_);
    request_ = Request{};
    share = std::move(share_);
    files = std::exchange(files_, 0);
}

// Puts a body held in memory into one buffer of its length; a body of one piece is
// that piece.
void RequestReader::joinPieces() {
    std::string& body = request_.body;
    if (pieces_.size() == 1) {
        body = std::move(pieces_.front());
    } else if (!pieces_.empty()) {
        body.reserve(static_cast<std::size_t>(request_.contentLength));
        for (const std::string& piece : pieces_) body += piece;
    }
    std::vector<std::string>().swap(pieces_);
}

void RequestReader::drop() {
    bodyLeft_ = 0;
    closeSpool();
    if (!request_.bodyFile.empty()) ::unlink(request_.bodyFile.c_str());
    request_ = Request{};
    std::vector<std::string>().swap(pieces_);
    share_.release();
    slots_.handlerFilesGiven(std::exchange(files_, 0));
}

void RequestReader::closeSpool() {
    if (spoolFd_ < 0) return;
    ::close(spoolFd_);
    spoolFd_ = -1;
    slots_.bodyFileClosed();
}

void RequestReader::trimBuffers() {
    if (input_.empty() && input_.capacity() > kKeptRoom) std::string().swap(input_);
}
