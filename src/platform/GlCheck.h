#pragma once
// OpenGL reports a misused call only through glGetError, long after and far from the
// call, so debug and sanitizer builds look for an error after each of the drawing
// device's calls: GL_CHECK(call) runs the call, then reports any error with the call's
// text, function, file and line. Elsewhere GL_CHECK(call) is just the call, at no cost.
//
// The report goes to a reporter that a higher layer may set (the engine's fatal-error
// path); until then it is written to standard error and the process aborts.
#include <type_traits>

// The build may decide (sanitizer builds turn the checks on); else debug builds check.
#ifndef TORVANE_GL_CHECKS
#ifdef NDEBUG
#define TORVANE_GL_CHECKS 0
#else
#define TORVANE_GL_CHECKS 1
#endif
#endif

namespace GlCheck {
// Receives a failed call: the error's name ("GL_INVALID_ENUM"), the call as written, and
// where it was made. OpenGL's error is cleared; if the reporter returns, the program goes on.
using Reporter = void (*)(const char* error, const char* call, const char* function, const char* file, int line);

// Sets the reporter (null: the default one) and returns the one it replaces.
Reporter setReporter(Reporter reporter);

// Reports the error OpenGL holds after `call`, if there is one.
void afterCall(const char* call, const char* function, const char* file, int line);

// GL_CHECK's work: runs `call`, looks for an error, and gives back what the call returned.
template <class Call>
decltype(auto) checked(Call call, const char* text, const char* function, const char* file, int line) {
    if constexpr (std::is_void_v<decltype(call())>) {
        call();
        afterCall(text, function, file, line);
    } else {
        auto result = call();
        afterCall(text, function, file, line);
        return result;
    }
}
}  // namespace GlCheck

#if TORVANE_GL_CHECKS
#define GL_CHECK(call) GlCheck::checked([&]() -> decltype(auto) { return call; }, #call, __func__, __FILE__, __LINE__)
#else
#define GL_CHECK(call) call
#endif
