#include "platform/CrashHandler.h"

#include <execinfo.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>

namespace {

constexpr std::size_t kPathMax = 4096;
char dumpFile[kPathMax];
char logFile[kPathMax];
char logCopyFile[kPathMax];
constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};

void copyPath(char (&to)[kPathMax], const std::string& from) {
    std::size_t n = from.size() < kPathMax - 1 ? from.size() : 0;  // too long: no file
    std::memcpy(to, from.data(), n);
    to[n] = 0;
}

void put(int fd, const char* text) {
    std::size_t left = std::strlen(text);
    while (left > 0) {
        ssize_t n = write(fd, text, left);
        if (n <= 0) return;
        text += n;
        left -= static_cast<std::size_t>(n);
    }
}

void putNumber(int fd, std::uintptr_t value, unsigned base) {
    char digits[32];
    int i = 31;
    digits[i] = 0;
    do {
        digits[--i] = "0123456789abcdef"[value % base];
        value /= base;
    } while (value && i > 0);
    put(fd, digits + i);
}

const char* signalName(int sig) {
    switch (sig) {
        case SIGSEGV:
            return "SIGSEGV (segmentation fault)";
        case SIGBUS:
            return "SIGBUS (bus error)";
        case SIGILL:
            return "SIGILL (illegal instruction)";
        case SIGFPE:
            return "SIGFPE (arithmetic exception)";
        case SIGABRT:
            return "SIGABRT (abort)";
        default:
            return "unknown";
    }
}

void copyFile(const char* from, const char* to) {
    if (!from[0] || !to[0]) return;
    int in = open(from, O_RDONLY | O_CLOEXEC);
    if (in < 0) return;
    int out = open(to, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out >= 0) {
        char buffer[8192];
        ssize_t n;
        while ((n = read(in, buffer, sizeof buffer)) > 0)
            if (write(out, buffer, static_cast<std::size_t>(n)) != n) break;
        close(out);
    }
    close(in);
}

void writeReport(int sig, const siginfo_t* info) {
    if (!dumpFile[0]) return;
    int fd = open(dumpFile, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return;
    put(fd, "Crash report\nSignal: ");
    putNumber(fd, static_cast<std::uintptr_t>(sig), 10);
    put(fd, " ");
    put(fd, signalName(sig));
    put(fd, "\nCode: ");
    putNumber(fd, static_cast<std::uintptr_t>(static_cast<unsigned>(info ? info->si_code : 0)), 10);
    put(fd, "\nFault address: 0x");
    putNumber(fd, reinterpret_cast<std::uintptr_t>(info ? info->si_addr : nullptr), 16);
    put(fd, "\nBacktrace:\n");
    void* frames[64];
    int count = backtrace(frames, 64);
    backtrace_symbols_fd(frames, count, fd);
    close(fd);
}

void onCrash(int sig, siginfo_t* info, void*) {
    writeReport(sig, info);
    copyFile(logFile, logCopyFile);
    // SA_RESETHAND restored the default action; raising again makes it run when we
    // return, also for a signal sent by kill, where returning would just go on.
    raise(sig);
}

}  // namespace

namespace CrashHandler {

void install(const std::string& dumpPath) {
    copyPath(dumpFile, dumpPath);
    // backtrace() loads its unwinder on first use, which may allocate: do it now.
    void* warmUp[1];
    backtrace(warmUp, 1);

    static char alternateStack[64 * 1024];
    stack_t stack{};
    stack.ss_sp = alternateStack;
    stack.ss_size = sizeof alternateStack;
    sigaltstack(&stack, nullptr);

    struct sigaction action {};
    action.sa_sigaction = onCrash;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int sig : kSignals) sigaction(sig, &action, nullptr);
}

void setLogCopy(const std::string& logPath, const std::string& copyPath_) {
    copyPath(logFile, logPath);
    copyPath(logCopyFile, copyPath_);
}

}  // namespace CrashHandler
