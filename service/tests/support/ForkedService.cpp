#include "support/ForkedService.h"

#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "SqliteScoreStore.h"
#include "WebService.h"

namespace {

// How long a command may take before the child is taken for hung: far beyond any turn,
// even under the sanitizers on a busy machine.
constexpr int kPatienceMs = 20000;

bool readWhole(int fd, void* into, std::size_t size) {
    pollfd readable{fd, POLLIN, 0};
    return ::poll(&readable, 1, kPatienceMs) == 1 && ::recv(fd, into, size, MSG_WAITALL) == static_cast<ssize_t>(size);
}

// Sends `size` bytes at `data` in one message, with `fd` beside them when it is one.
bool sendWith(int control, const void* data, std::size_t size, int fd) {
    alignas(cmsghdr) char space[CMSG_SPACE(sizeof fd)] = {};
    iovec part{const_cast<void*>(data), size};
    msghdr message{};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    if (fd >= 0) {
        message.msg_control = space;
        message.msg_controllen = sizeof space;
        cmsghdr* header = CMSG_FIRSTHDR(&message);
        header->cmsg_level = SOL_SOCKET;
        header->cmsg_type = SCM_RIGHTS;
        header->cmsg_len = CMSG_LEN(sizeof fd);
        std::memcpy(CMSG_DATA(header), &fd, sizeof fd);
    }
    return ::sendmsg(control, &message, MSG_NOSIGNAL) == static_cast<ssize_t>(size);
}

}  // namespace

ForkedService::ForkedService(const Options& options) {
    std::string pattern = (std::filesystem::temp_directory_path() / "torvane-forked-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) return;
    folder_ = pattern;
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
        ::close(ends[0]);
        serve(ends[1], folder_, options);
    }
    ::close(ends[1]);
    control_ = ends[0];
    long long port = 0;
    if (pid_ > 0 && readWhole(control_, &port, sizeof port)) port_ = static_cast<int>(port);
}

ForkedService::~ForkedService() {
    if (pid_ > 0 && fate_.empty()) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    if (control_ >= 0) ::close(control_);
    std::error_code ec;
    if (!folder_.empty()) std::filesystem::remove_all(folder_, ec);
}

// Only the standard streams and the control socket stay open in the child, so that the
// files it counts against its limit are the service's own. It leaves by `_exit`, once
// its service and stores are gone: the test's own exit handlers are not its to run.
void ForkedService::serve(int control, const std::filesystem::path& folder, const Options& options) noexcept {
    if (control > 3) ::close_range(3, static_cast<unsigned>(control) - 1, 0);
    ::close_range(static_cast<unsigned>(control) + 1, ~0u, 0);
    const rlimit limit{options.files, options.files};
    ::setrlimit(RLIMIT_NOFILE, &limit);
    {
        HttpServer::Clock::time_point now = HttpServer::Clock::now();
        HttpServer::Limits limits = options.limits;
        limits.workers = 0;
        limits.clock = [&now] { return now; };
        SqliteScoreStore scores((folder / "scores.sqlite3").string());
        CrashReportStore crashes(folder / "crashreports", options.crashes);
        WebService service(scores, crashes, limits);
        long long port = service.bind("127.0.0.1", 0);
        if (port <= 0 || !service.server().start()) port = 0;
        if (::send(control, &port, sizeof port, MSG_NOSIGNAL) == sizeof port && port > 0)
            obey(control, service.server(), now);
    }
    ::_exit(0);
}

// Until the test closes its end.
void ForkedService::obey(int control, HttpServer& server, HttpServer::Clock::time_point& now) {
    Command command{};
    int fd = -1;
    while (receive(control, command, fd)) {
        long long reply = 1;
        switch (command.op) {
            case Op::turn:
                for (long long i = 0; i < command.argument && reply; ++i)
                    reply = server.turn(std::chrono::milliseconds(0));
                break;
            case Op::advance:
                now += std::chrono::milliseconds(command.argument);
                break;
            case Op::work:
                for (long long i = 0; i < command.argument && server.workOne(); ++i) {
                }
                break;
            case Op::adopt: {
                std::string address(static_cast<std::size_t>(std::clamp(command.argument, 0LL, 64LL)), '\0');
                if (::recv(control, address.data(), address.size(), MSG_WAITALL) !=
                    static_cast<ssize_t>(address.size()))
                    return;
                reply = fd >= 0;
                if (fd >= 0) server.adopt(fd, address, "127.0.0.1");
                break;
            }
            case Op::stop:
                server.stop();
                break;
            case Op::over:
                reply = server.over();
                break;
        }
        if (::send(control, &reply, sizeof reply, MSG_NOSIGNAL) != sizeof reply) return;
    }
}

// A file that cannot be taken in for want of room in the child's table is dropped by the
// kernel on its way (the message comes without it).
bool ForkedService::receive(int control, Command& command, int& fd) {
    fd = -1;
    alignas(cmsghdr) char space[CMSG_SPACE(sizeof fd)];
    iovec part{&command, sizeof command};
    msghdr message{};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    message.msg_control = space;
    message.msg_controllen = sizeof space;
    if (::recvmsg(control, &message, MSG_WAITALL | MSG_CMSG_CLOEXEC) != sizeof command) return false;
    if (const cmsghdr* header = CMSG_FIRSTHDR(&message);
        header && header->cmsg_level == SOL_SOCKET && header->cmsg_type == SCM_RIGHTS)
        std::memcpy(&fd, CMSG_DATA(header), sizeof fd);
    return true;
}

bool ForkedService::ask(Command command, long long& reply, int fd, std::string_view text) {
    if (!fate_.empty() || control_ < 0) return false;
    if (sendWith(control_, &command, sizeof command, fd) &&
        (text.empty() || sendWith(control_, text.data(), text.size(), -1)) && readWhole(control_, &reply, sizeof reply))
        return true;
    reap();
    return false;
}

// A child that does not close its end in time is taken for hung.
void ForkedService::reap() {
    int status = 0;
    char c = 0;
    pollfd readable{control_, POLLIN, 0};
    if (::poll(&readable, 1, kPatienceMs) != 1 || ::recv(control_, &c, 1, MSG_PEEK | MSG_DONTWAIT) != 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status, 0);
        fate_ = "hung";
        return;
    }
    const pid_t ended = ::waitpid(pid_, &status, 0);
    if (ended != pid_)
        fate_ = "lost";
    else if (WIFSIGNALED(status))
        fate_ = "killed by signal " + std::to_string(WTERMSIG(status));
    else
        fate_ = "exited with " + std::to_string(WEXITSTATUS(status));
}

// The child leaves once its end of the control socket is closed.
bool ForkedService::finish() {
    if (fate_.empty() && control_ >= 0) {
        ::shutdown(control_, SHUT_WR);
        reap();
    }
    return fate_ == "exited with 0";
}

bool ForkedService::turn(int times) {
    long long reply = 0;
    return ask({Op::turn, times}, reply) && reply != 0;
}

bool ForkedService::advance(std::chrono::milliseconds by) {
    long long reply = 0;
    return ask({Op::advance, by.count()}, reply);
}

bool ForkedService::work(int most) {
    long long reply = 0;
    return ask({Op::work, most}, reply);
}

bool ForkedService::adopt(int fd, const std::string& remoteAddress, bool& taken) {
    long long reply = 0;
    const bool asked = ask({Op::adopt, static_cast<long long>(remoteAddress.size())}, reply, fd, remoteAddress);
    ::close(fd);
    taken = reply != 0;
    return asked;
}

bool ForkedService::stop() {
    long long over = 0;
    if (!ask({Op::stop, 0}, over)) return false;
    for (int round = 0; round <= 30; ++round) {
        if (!turn(3) || !ask({Op::over, 0}, over)) return false;
        if (over != 0) return true;
        if (!advance(std::chrono::milliseconds(100))) return false;
    }
    return false;
}
