#include "runtime/WindowShell.h"

#include <SDL.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/Logger.h"
#include "engine/Qor.h"
#include "engine/Strings.h"
#include "engine/SystemHelpers.h"
#include "inputaudio/WMhooks.h"
#include "platform/CrashHandler.h"
#include "platform/InstanceLock.h"
#include "platform/SystemClock.h"
#include "platform/Window.h"
#include "render/Context.h"

bool restartRequested = false;

namespace {
ApplicationFactory applicationFactory = nullptr;
Application* application = nullptr;  // owned; exists exactly while the engine object does

constexpr int kInitialX = 50;
constexpr int kInitialY = 50;
constexpr int kInitialSize = 100;
constexpr std::uint32_t kForegroundWaitMs = 100;
// How long the page's opener is watched for an early end (one that found no browser).
constexpr int kOpenerWatchMs = 1000;
constexpr int kOpenerPollMs = 10;

void storeCommandLine(int argc, char** argv) {
    std::vector<std::u16string> parameters;
    for (int i = 1; i < argc; ++i) parameters.push_back(utf8ToWide(argv[i]));
    setCommandLine(getFileName(utf8ToWide(argc > 0 ? argv[0] : "")), std::move(parameters));
}
}  // namespace

namespace WindowShell {

std::u16string resolveAddress(const std::u16string& address) {
    // Web addresses and absolute paths stay; a document name ("readme.htm") lies beside
    // the program.
    if (address.find(u"://") != std::u16string::npos || address.starts_with(u'/')) return address;
    return getApplicationFolder() + address;
}

// A child process opens the page; the game has already closed. Neither a shell nor an
// unbounded wait: the address is one argument. The log has ended by now, so these lines
// are added to its file: which command ran, and whether it started and how it ended if
// it did so at once, for a player whose page did not open.
void openPage(const std::u16string& address) {
    const std::u16string logPath = Logger::getLogPath();
    std::string target = wideToUtf8(resolveAddress(address));
    std::string program = "xdg-open";
    Logger::appendAfterEnd("WindowShell::openPage", formatString(u"Running: %hs \"%hs\"", program, target), logPath);
    char* argv[] = {program.data(), target.data(), nullptr};
    pid_t pid = -1;
    const int error = posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv, environ);
    if (error != 0) {
        Logger::appendAfterEnd("WindowShell::openPage",
                               formatString(u"It could not be started: %hs.", std::strerror(error)), logPath);
        return;
    }
    int status = 0;
    for (int waited = 0; waited < kOpenerWatchMs; waited += kOpenerPollMs) {
        if (waitpid(pid, &status, WNOHANG) == pid) {
            const std::u16string how =
                WIFEXITED(status)
                    ? formatString(u"It started (process %d) and ended with status %d%s.", pid, WEXITSTATUS(status),
                                   WEXITSTATUS(status) == 0 ? u"" : u": the page was not opened")
                    : formatString(u"It started (process %d) and was ended by signal %d.", pid, WTERMSIG(status));
            Logger::appendAfterEnd("WindowShell::openPage", how, logPath);
            return;
        }
        sleepMilliseconds(kOpenerPollMs);
    }
    Logger::appendAfterEnd("WindowShell::openPage", formatString(u"It started (process %d) and is running.", pid),
                           logPath);
}

bool isAlreadyRunning() {
    // A lock in the data folder that the system drops when its holder dies: nothing a
    // dead copy left behind (its error box, say) can block a start.
    const std::u16string path = getDataFolder() + kBuildName + u".lock";
    int error = 0;
    switch (InstanceLock::acquire(wideToUtf8(path), error)) {
        case InstanceLock::Result::kAcquired:
            return false;
        case InstanceLock::Result::kHeldByOther:
            std::fprintf(stderr, "%s is already running (it holds %s).\n", wideToUtf8(kBuildName).c_str(),
                         wideToUtf8(path).c_str());
            return true;
        case InstanceLock::Result::kUnavailable:
            break;
    }
    // Better a second copy than none at all.
    std::fprintf(stderr, "Cannot lock %s (%s); not checking for another running copy.\n", wideToUtf8(path).c_str(),
                 std::strerror(error));
    return false;
}

void setApplicationFactory(ApplicationFactory factory) { applicationFactory = factory; }

void createQOR(Window& window) {
    new Qor(nullptr, &window);
    application = applicationFactory();
    QOR_LOG("createQOR", u"Entering game loop.");
}

void deleteQOR() {
    if (qor) QOR_LOG("deleteQOR", u"QOR shutting down...");
    // The application still uses engine services while it saves the user's files.
    delete application;
    application = nullptr;
    delete qor;
    qor = nullptr;
}

bool tick(Window& window) {
    if (!qor) {
        if (!window.hasInputFocus()) {
            sleepMilliseconds(kForegroundWaitMs);
            return true;
        }
        createQOR(window);
    }
    qor->frame(application->scene());
    // A quit request wins over a restart request of the same frame.
    if (application->quitRequested()) return false;
    if (restartRequested) {
        deleteQOR();
        restartRequested = false;
    }
    return true;
}

void onClose() {
    if (!application) return;
    const std::u16string address = application->pageToOpen();
    deleteQOR();
    if (!address.empty()) openPage(address);
}

int run(int argc, char** argv, ApplicationFactory factory) {
    setApplicationFactory(factory);
    CrashHandler::install(wideToUtf8(getCrashDumpPath()));
    storeCommandLine(argc, argv);
    if (isAlreadyRunning()) return 0;
    if (!Window::initVideo()) {
        std::fprintf(stderr, "No display: %s\n", SDL_GetError());
        return 0;
    }
    Window window;
    if (!window.create(wideToUtf8(kWindowTitle), kInitialX, kInitialY, kInitialSize, kInitialSize)) {
        Window::shutdownVideo();
        return 0;
    }
    WMhooks hooks;
    for (;;) {
        if (!window.dispatchOneEvent(hooks) && !tick(window)) hooks.closeRequested();
        if (hooks.bCloseRequested) break;
    }
    onClose();
    window.destroy();
    Window::shutdownVideo();
    return 0;
}

}  // namespace WindowShell
