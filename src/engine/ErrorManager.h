#pragma once
// Fatal error reporting. Two tiers run through the program:
//  - Outside data that is bad, or a missing optional thing, is logged and answered with
//    a safe value by the code that meets it.
//  - A broken invariant or a failed platform call is fatal: QOR_FATAL, QOR_ASSERT and
//    QOR_CHECK build the message (naming the method, the source file and line) and hand
//    it to ErrorManager::error, which logs it, saves a screenshot and a copy of the log
//    as crash files, gives the desktop its display back, shows the message and ends the
//    process with exit status 255. None of them returns. OpenGL errors that the drawing
//    device's checks find (debug and sanitizer builds) take the same path once an
//    ErrorManager has been made.
//
// The fatal path never recurses: a fatal error raised while one is being reported goes
// straight to the message and the exit. It works before the engine exists and during
// its teardown.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "engine/Format.h"

class ClassInfo;

class ErrorManager {
public:
    ErrorManager();
    virtual ClassInfo* getClass() const;
    virtual ~ErrorManager() = default;

    static ClassInfo classInfo;

    // Reports a fully formatted message; does not return.
    [[noreturn]] void error(const std::u16string& message);

    // What a fatal error asks of the display, which lives in a layer above this one: the
    // graphics service sets these while it exists (saving the crash screenshot to the
    // given path, giving the desktop its display mode back) and clears them when it goes.
    std::function<void(const std::u16string& path)> saveCrashScreenshot;
    std::function<void()> restoreDesktop;
};

// The exit status of a fatal error.
inline constexpr int kFatalExitCode = 255;

// Ends the program with `message`, through the engine's error reporter when it exists.
[[noreturn]] void reportFatal(const std::u16string& message);

// "Error: %s\n Function: %s()\n File: %s\n Line: %d"
[[noreturn]] void fatalErrorAt(const char* method, const char* file, int line, const std::u16string& message);
// "Error: Assertion failed.\n Statement: %s\n Function: %s()\n File: %s\n Line: %d"
[[noreturn]] void assertionFailedAt(const char* method, const char* file, int line, const char* statement);
// The same form as an assertion, with the result code's text in place of the first line.
[[noreturn]] void callFailedAt(const char* method, const char* file, int line, std::int32_t result,
                               const char* statement);

// "S_OK" for a code that is not negative, else "<name> (0x%08x)".
std::u16string hresultToString(std::int32_t result);

#define QOR_FATAL(method, ...) fatalErrorAt(method, __FILE__, __LINE__, formatString(__VA_ARGS__))
#define QOR_ASSERT(method, condition) \
    ((condition) ? static_cast<void>(0) : assertionFailedAt(method, __FILE__, __LINE__, #condition))
#define QOR_CHECK(method, call)                                                                  \
    do {                                                                                         \
        const std::int32_t qorCheckResult = static_cast<std::int32_t>(call);                     \
        if (qorCheckResult < 0) callFailedAt(method, __FILE__, __LINE__, qorCheckResult, #call); \
    } while (0)
