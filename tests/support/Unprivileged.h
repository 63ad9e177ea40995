#pragma once
// Checks where file permissions matter. Root reads and writes whatever the modes say,
// so as root such a check runs in a forked child that drops to the user "nobody"; as any
// other user it runs in a forked child as it is. The (temporary) folders the check uses
// are handed to that user first.
#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

class Unprivileged {
public:
    Unprivileged() {
        if (geteuid() != 0) {
            uid = geteuid();
            gid = getegid();
            return;
        }
        const passwd* user = getpwnam("nobody");
        if (!user) {
            why = "running as root and there is no user 'nobody' to drop to";
            return;
        }
        uid = user->pw_uid;
        gid = user->pw_gid;
    }

    // Empty when checks can run; else why not (for GTEST_SKIP).
    const std::string& unavailable() const { return why; }

    // Hands `path` and everything below it to the user.
    void handOver(const std::filesystem::path& path) const {
        std::error_code ignored;
        lchown(path.c_str(), uid, gid);
        for (const auto& entry : std::filesystem::recursive_directory_iterator(path, ignored))
            lchown(entry.path().c_str(), uid, gid);
    }

    // Runs `check` as the user in a child process; its text, empty when it passed.
    std::string run(const std::function<std::string()>& check) const {
        int pipeEnds[2];
        if (pipe(pipeEnds) != 0) return "no pipe";
        const pid_t child = fork();
        if (child == 0) {
            close(pipeEnds[0]);
            std::string result = "could not drop to the unprivileged user";
            if (geteuid() != 0 || (setgroups(0, nullptr) == 0 && setgid(gid) == 0 && setuid(uid) == 0))
                result = check();
            const ssize_t ignored = write(pipeEnds[1], result.data(), result.size());
            (void)ignored;
            _exit(0);
        }
        close(pipeEnds[1]);
        std::string result;
        char buffer[512];
        for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) result.append(buffer, std::size_t(n));
        close(pipeEnds[0]);
        int status = 0;
        waitpid(child, &status, 0);
        if (!WIFEXITED(status)) return "the check ended abnormally: " + result;
        return result;
    }

private:
    uid_t uid = 0;
    gid_t gid = 0;
    std::string why;
};
