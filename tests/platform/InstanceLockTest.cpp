#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/InstanceLock.h"
#include "support/TempFolder.h"

namespace {
// The lock belongs to a process, so every taker here is a child of the test: its exit
// status is the result of its acquire().
int acquireInChild(const std::string& path) {
    const pid_t child = fork();
    if (child == 0) {
        int error = 0;
        _exit(static_cast<int>(InstanceLock::acquire(path, error)));
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

constexpr int kAcquired = static_cast<int>(InstanceLock::Result::kAcquired);
constexpr int kHeldByOther = static_cast<int>(InstanceLock::Result::kHeldByOther);
}  // namespace

TEST(InstanceLockTest, WhatADeadHolderLeftBehindNeverBlocksTheNextStart) {
    TempFolder folder;
    const std::string path = folder.file("game.lock");
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    // A copy that holds the lock and has a child of its own (an error box, say) that
    // lives on after it.
    const pid_t holder = fork();
    if (holder == 0) {
        int error = 0;
        if (InstanceLock::acquire(path, error) != InstanceLock::Result::kAcquired) _exit(1);
        const pid_t leftover = fork();
        if (leftover == 0) {
            pause();
            _exit(0);
        }
        if (write(ready[1], &leftover, sizeof leftover) != sizeof leftover) _exit(1);
        pause();
        _exit(0);
    }
    pid_t leftover = -1;
    ASSERT_EQ(read(ready[0], &leftover, sizeof leftover), static_cast<ssize_t>(sizeof leftover));
    EXPECT_EQ(acquireInChild(path), kHeldByOther);
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    EXPECT_EQ(kill(leftover, 0), 0);  // still there
    EXPECT_EQ(acquireInChild(path), kAcquired);
    kill(leftover, SIGKILL);
    close(ready[0]);
    close(ready[1]);
}
