#include "runtime/WindowShell.h"

#include <SDL.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

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

void openInBrowser(const std::u16string& address) {
    // A child process opens the page; the game has already closed its window. Neither a
    // shell nor a wait: the address is one argument, and the game ends at once.
    const std::string utf8 = wideToUtf8(WindowShell::resolveAddress(address));
    const char* argv[] = {"xdg-open", utf8.c_str(), nullptr};
    if (fork() == 0) {
        execvp(argv[0], const_cast<char* const*>(argv));
        _exit(127);
    }
}

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
    if (!address.empty()) openInBrowser(address);
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
