#include "platform/MessageBox.h"

#include <SDL.h>
#include <pthread.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace MessageBox {

namespace {
// The process showing a box, or 0: only a fork made while a box is being shown is the
// box's own child.
std::atomic<pid_t> boxOwner{0};

// Runs in every child right after fork (async-signal-safe calls only).
void onForkChild() {
    const pid_t owner = boxOwner.load();
    if (owner == 0) return;
    boxOwner.store(0);
    // The box dies with the program; a program that died before this line is seen here.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != owner) _exit(1);
}

void prepareForBox() {
    static std::once_flag registered;
    std::call_once(registered, [] { pthread_atfork(nullptr, nullptr, onForkChild); });
    // The video layer turns these signals into a close request, which nothing reads any
    // more: left so, the program and its box would ignore them. The box's child inherits
    // the default too.
    signal(SIGTERM, SIG_DFL);
    signal(SIGINT, SIG_DFL);
    boxOwner.store(getpid());
}
}  // namespace

void showError(const std::string& title, const std::string& text) {
    if (text.rfind(title + ":", 0) == 0)
        std::fprintf(stderr, "%s\n", text.c_str());
    else
        std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    std::fflush(stderr);
    // The offscreen and dummy video drivers have nobody to show a box to.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || !std::strcmp(driver, "offscreen") || !std::strcmp(driver, "dummy")) return;
    prepareForBox();
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title.c_str(), text.c_str(), nullptr);
    boxOwner.store(0);
}

}  // namespace MessageBox
