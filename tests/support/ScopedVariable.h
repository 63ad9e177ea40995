#pragma once
// An environment variable set (or, for null, unset) for the holder's lifetime, then put
// back as it was: a test's own X server in DISPLAY, say, is no later test's display.
#include <cstdlib>
#include <optional>
#include <string>

class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : name(name) {
        if (const char* old = std::getenv(name)) previous = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedVariable() {
        if (previous)
            setenv(name, previous->c_str(), 1);
        else
            unsetenv(name);
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name;  // a string that outlives the holder (a literal)
    std::optional<std::string> previous;
};
