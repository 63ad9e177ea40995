#include "AnswerWriter.h"

#include <linux/sockios.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace {

constexpr std::size_t kReadSize = 64 * 1024;
// Reads of what a client turned out has sent, before its connection is closed at once.
constexpr int kLastReads = 4;
// The most a connection whose output has ended is read out for before its close.
constexpr std::uint64_t kReadOutBytes = 4 * 1024 * 1024;
// Buffer room kept for a connection between answers: thousands of them would otherwise
// each hold the capacity of their largest answer.
constexpr std::size_t kKeptRoom = 4 * 1024;

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

}  // namespace

AnswerWriter::AnswerWriter(int fd, const AnswerPace::Rules& rules) : fd_(fd), pace_(rules) {
    int backlog = kBacklog;
    paced_ = ::setsockopt(fd, IPPROTO_TCP, TCP_NOTSENT_LOWAT, &backlog, sizeof backlog) == 0;
}

std::string AnswerWriter::serialize(const Response& response, bool keepAlive, bool headOnly) {
    std::string out = "HTTP/1.1 " + std::to_string(response.status) + " " + reasonPhrase(response.status) + "\r\n";
    if (!response.contentType.empty()) out += "Content-Type: " + response.contentType + "\r\n";
    for (const auto& [name, value] : response.headers) out += name + ": " + value + "\r\n";
    out += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
    if (!keepAlive) out += "Connection: close\r\n";
    out += "\r\n";
    if (!headOnly) out += response.body;
    return out;
}

void AnswerWriter::turnAway(int fd, const Response& response) {
    endWith(fd, serialize(response, false, false));
    ::close(fd);
}

void AnswerWriter::add(const Response& response, bool keepAlive, bool headOnly, Clock::time_point now) {
    const std::string bytes = serialize(response, keepAlive, headOnly);
    owe(bytes.size(), now);
    if (!keepAlive) lastBytes_ = bytes.size();
    output_ += bytes;
}

void AnswerWriter::addInterim(std::string_view bytes, Clock::time_point now) {
    owe(bytes.size(), now);
    output_.append(bytes);
}

// Before the bytes are queued: what the client owes is what it has not taken of what the
// kernel has, and what is still queued.
void AnswerWriter::owe(std::size_t bytes, Clock::time_point now) {
    look(now);
    pace_.owe(bytes, written_ - taken_ + (output_.size() - sent_) + bytes, now);
}

bool AnswerWriter::flush(Clock::time_point now) {
    while (sent_ < output_.size()) {
        const ssize_t n = ::send(fd_, output_.data() + sent_, output_.size() - sent_, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
        if (n <= 0) return false;
        sent_ += static_cast<std::size_t>(n);
        written_ += static_cast<std::uint64_t>(n);
    }
    if (done()) {
        output_.clear();
        sent_ = 0;
        if (output_.capacity() > kKeptRoom) std::string().swap(output_);
    }
    // The kernel lets the writer on once less than half of its mark is left unsent; so
    // does this.
    backedUp_ = done() && paced_ && unsentInKernel() * 2 >= static_cast<std::uint64_t>(kBacklog);
    look(now);
    return true;
}

bool AnswerWriter::look(Clock::time_point now) {
    const std::uint64_t taken = written_ - std::min(unacknowledged(), written_);
    if (taken <= taken_) return false;
    pace_.took(taken - taken_, now);
    taken_ = taken;
    return true;
}

void AnswerWriter::sendLast(const Response& response, Clock::time_point now) {
    const std::string bytes = output_.substr(sent_) + serialize(response, false, false);
    owe(bytes.size() - (output_.size() - sent_), now);
    lastBytes_ = bytes.size();
    written_ += endWith(fd_, bytes);
    ended_ = true;
    output_.clear();
    sent_ = 0;
}

void AnswerWriter::endOutput() {
    ::shutdown(fd_, SHUT_WR);
    ended_ = true;
}

bool AnswerWriter::readOut() {
    bool clientEnded = false;
    readOut_ += drop(fd_, 1, clientEnded);
    return !clientEnded && readOut_ <= kReadOutBytes;
}

// A client that has left earlier answers unread and stopped taking them would not read a
// status sent after them either.
void AnswerWriter::close(Clock::time_point now) {
    const bool stalled = !look(now) && now >= stalledAt();
    if (stalled && unacknowledged() > lastBytes_ + (ended_ ? 1 : 0)) {
        const linger reset{1, 0};
        ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    }
    ::close(fd_);
}

// What comes after the close still resets the connection, but on most systems its client
// can still read what came before. Returns the bytes sent.
std::size_t AnswerWriter::endWith(int fd, std::string_view bytes) {
    const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    ::shutdown(fd, SHUT_WR);
    bool ended = false;
    drop(fd, kLastReads, ended);
    return sent > 0 ? static_cast<std::size_t>(sent) : 0;
}

std::uint64_t AnswerWriter::drop(int fd, int reads, bool& ended) {
    char buffer[kReadSize];
    std::uint64_t read = 0;
    for (int i = 0; i < reads; ++i) {
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n > 0) {
            read += static_cast<std::uint64_t>(n);
            continue;
        }
        ended = n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR);
        break;
    }
    return read;
}

// A TCP socket counts the bytes not yet acknowledged; another kind (a socket pair) those
// its peer has not yet read.
std::uint64_t AnswerWriter::unacknowledged() const {
    int bytes = 0;
    return ::ioctl(fd_, SIOCOUTQ, &bytes) == 0 && bytes > 0 ? static_cast<std::uint64_t>(bytes) : 0;
}

std::uint64_t AnswerWriter::unsentInKernel() const {
    int bytes = 0;
    return ::ioctl(fd_, SIOCOUTQNSD, &bytes) == 0 && bytes > 0 ? static_cast<std::uint64_t>(bytes) : 0;
}
