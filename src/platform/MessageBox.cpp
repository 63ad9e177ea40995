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

#include "platform/Window.h"

namespace MessageBox {

namespace {
// The process showing a box, or 0: only a fork made while a box is being shown is the
// box's own child.
std::atomic<pid_t> boxOwner{0};
// How long the box being shown stays up unanswered (seconds).
std::atomic<unsigned> boxSeconds{0};

// Runs in every child right after fork (async-signal-safe calls only).
void onForkChild() {
    const pid_t owner = boxOwner.load();
    if (owner == 0) return;
    boxOwner.store(0);
    // The box dies with the program; a program that died before this line is seen here.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != owner) _exit(1);
    // The alarm's default action ends the box, and the program, seeing it gone, goes on
    // to its end. The alarm also outlives an exec (a helper program drawing the box).
    alarm(boxSeconds.load());
}

void prepareForBox(unsigned seconds) {
    static std::once_flag registered;
    std::call_once(registered, [] { pthread_atfork(nullptr, nullptr, onForkChild); });
    // The video layer turns these signals into a close request, which nothing reads any
    // more: left so, the program and its box would ignore them. The box's child inherits
    // the default too.
    signal(SIGTERM, SIG_DFL);
    signal(SIGINT, SIG_DFL);
    boxSeconds.store(seconds);
    boxOwner.store(getpid());
}

// Whether a box may open: only over the display of the process that started the video
// (a copy forked from it has nobody to answer a box), and never on the offscreen and
// dummy drivers, which have nobody to show one to.
bool boxCanBeSeen() {
    if (!Window::videoStartedHere()) return false;
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver && std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0;
}
}  // namespace

void showError(const std::string& title, const std::string& text, unsigned closeAfterSeconds) {
    if (text.rfind(title + ":", 0) == 0)
        std::fprintf(stderr, "%s\n", text.c_str());
    else
        std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    std::fflush(stderr);
    if (!boxCanBeSeen()) return;
    prepareForBox(closeAfterSeconds);
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title.c_str(), text.c_str(), nullptr);
    boxOwner.store(0);
}

}  // namespace MessageBox
