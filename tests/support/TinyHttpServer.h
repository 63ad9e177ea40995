#pragma once
// A one-thread HTTP server on 127.0.0.1 (a free port) for tests of the request worker:
// it answers every connection with the same raw reply (status line, headers and body as
// given), or keeps the connection open without a word when the reply is empty. It keeps
// the last request's bytes (headers and the Content-Length body).
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

class TinyHttpServer {
public:
    explicit TinyHttpServer(std::string reply_) : reply(std::move(reply_)) {
        listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof(a));
        socklen_t n = sizeof(a);
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&a), &n);
        port = ntohs(a.sin_port);
        ::listen(listener, 8);
        worker = std::thread([this] { serve(); });
    }
    ~TinyHttpServer() {
        stop = true;
        worker.join();
        ::close(listener);
    }
    // "127.0.0.1:port", as the request's host.
    std::u16string host() const {
        const std::string h = "127.0.0.1:" + std::to_string(port);
        return std::u16string(h.begin(), h.end());
    }
    std::string lastRequest() {
        std::lock_guard lock(mutex);
        return request;
    }
    // A whole reply of `status` carrying `body`.
    static std::string response(int status, const std::string& body) {
        return "HTTP/1.1 " + std::to_string(status) + " X\r\nContent-Length: " + std::to_string(body.size()) +
               "\r\nConnection: close\r\n\r\n" + body;
    }

    int port = 0;

private:
    bool waitReadable(int fd) {
        pollfd p{fd, POLLIN, 0};
        while (!stop)
            if (::poll(&p, 1, 50) > 0) return true;
        return false;
    }
    void serve() {
        while (waitReadable(listener)) {
            const int c = ::accept(listener, nullptr, nullptr);
            if (c < 0) continue;
            readRequest(c);
            if (reply.empty()) {
                while (!stop) {  // silent: hold the connection until the client gives up
                    char b[256];
                    pollfd p{c, POLLIN, 0};
                    if (::poll(&p, 1, 50) > 0 && ::recv(c, b, sizeof b, 0) <= 0) break;
                }
            } else {
                for (std::size_t sent = 0; sent < reply.size();) {
                    const ssize_t n = ::send(c, reply.data() + sent, reply.size() - sent, MSG_NOSIGNAL);
                    if (n <= 0) break;
                    sent += static_cast<std::size_t>(n);
                }
            }
            ::close(c);
        }
    }
    void readRequest(int c) {
        std::string bytes;
        char b[4096];
        std::size_t wanted = std::string::npos;
        while (bytes.size() < wanted && waitReadable(c)) {
            const ssize_t n = ::recv(c, b, sizeof b, 0);
            if (n <= 0) break;
            bytes.append(b, static_cast<std::size_t>(n));
            const std::size_t end = bytes.find("\r\n\r\n");
            if (end == std::string::npos) continue;
            const std::size_t at = bytes.find("Content-Length: ");
            wanted = end + 4 + (at < end ? std::stoul(bytes.substr(at + 16)) : 0);
        }
        std::lock_guard lock(mutex);
        request = bytes;
    }

    std::string reply;
    int listener = -1;
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::string request;
    std::thread worker;
};
