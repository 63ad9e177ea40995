#include "AnswerWriter.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace {

constexpr std::size_t kReadSize = 64 * 1024;
// Reads of what a client turned out has sent, before its connection is closed.
constexpr int kLastReads = 4;
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

bool AnswerWriter::flush() {
    while (sent_ < output_.size()) {
        const ssize_t n = ::send(fd_, output_.data() + sent_, output_.size() - sent_, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return true;
        if (n <= 0) return false;
        sent_ += static_cast<std::size_t>(n);
    }
    output_.clear();
    sent_ = 0;
    if (output_.capacity() > kKeptRoom) std::string().swap(output_);
    return true;
}

void AnswerWriter::sendLast(const Response& response) {
    endWith(fd_, output_.substr(sent_) + serialize(response, false, false));
}

// What comes after the close still resets the connection, but on most systems its client
// can still read what came before.
void AnswerWriter::endWith(int fd, std::string_view bytes) {
    ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    ::shutdown(fd, SHUT_WR);
    char buffer[kReadSize];
    for (int i = 0; i<kLastReads&& ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT)> 0; ++i) {
    }
}
