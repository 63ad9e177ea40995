#include "engine/ErrorManager.h"

#include <atomic>
#include <cstdlib>

#include "engine/ClassInfo.h"
#include "engine/Logger.h"
#include "engine/Qor.h"
#include "engine/Strings.h"
#include "engine/SystemHelpers.h"
#include "platform/GlCheck.h"
#include "platform/MessageBox.h"
#include "platform/ResultCode.h"

QOR_DEFINE_ROOT_CLASS(ErrorManager, nullptr)

namespace {
std::atomic<bool> reporting{false};

[[noreturn]] void showAndExit(const std::u16string& message) {
    MessageBox::showError("Error", wideToUtf8(message));
    std::exit(kFatalExitCode);
}

// An OpenGL error that the drawing device's checks find is a failed platform call.
void glCallFailed(const char* error, const char* call, const char* function, const char* file, int line) {
    reportFatal(formatString(u"Error: OpenGL %hs\n Statement: %hs\n Function: %hs()\n File: %s\n Line: %d", error, call,
                             function, utf8ToWide(getFileName(std::string_view(file))), line));
}
}  // namespace

ErrorManager::ErrorManager() {
    QOR_LOG("ErrorManager::ErrorManager", u"Starting...");
    GlCheck::setReporter(glCallFailed);
}

ClassInfo* ErrorManager::getClass() const { return &classInfo; }

void ErrorManager::error(const std::u16string& message) {
    // A second fatal error from inside this path (a failing screenshot, say) must not
    // start it again: it only shows its own message and ends the process.
    if (reporting.exchange(true)) showAndExit(message);
    logFrom("ErrorManager::error", message);
    if (qor) qor->bShutdown = 1;
    if (saveCrashScreenshot) saveCrashScreenshot(getCrashScreenshotPath());
    if (restoreDesktop) restoreDesktop();
    MessageBox::showError("Error", wideToUtf8(message));
    logFrom("ErrorManager::error", u"Forced exit.");
    if (qor && qor->pLogger) qor->logger().closeAndCopy();
    std::exit(kFatalExitCode);
}

void reportFatal(const std::u16string& message) {
    if (qor && qor->pErrorManager) qor->errors().error(message);
    // No reporter yet (or any more): still leave the message in the log when one exists.
    if (reporting.exchange(true)) showAndExit(message);
    logFrom("ErrorManager::error", message);
    if (qor && qor->pLogger) qor->logger().closeAndCopy();
    showAndExit(message);
}

void fatalErrorAt(const char* method, const char* file, int line, const std::u16string& message) {
    reportFatal(formatString(u"Error: %s\n Function: %s()\n File: %s\n Line: %d", message, utf8ToWide(method),
                             utf8ToWide(getFileName(std::string_view(file))), line));
}

void assertionFailedAt(const char* method, const char* file, int line, const char* statement) {
    reportFatal(formatString(u"Error: %s\n Statement: %s\n Function: %s()\n File: %s\n Line: %d", u"Assertion failed.",
                             utf8ToWide(statement), utf8ToWide(method), utf8ToWide(getFileName(std::string_view(file))),
                             line));
}

void callFailedAt(const char* method, const char* file, int line, std::int32_t result, const char* statement) {
    reportFatal(formatString(u"Error: %s\n Statement: %s\n Function: %s()\n File: %s\n Line: %d",
                             hresultToString(result), utf8ToWide(statement), utf8ToWide(method),
                             utf8ToWide(getFileName(std::string_view(file))), line));
}

std::u16string hresultToString(std::int32_t result) {
    if (result >= 0) return u"S_OK";
    return formatString(u"%hs (0x%08x)", ResultCode::name(result), static_cast<std::uint32_t>(result));
}
