#pragma once
#include <stdexcept>
#include <string>

// ParseError: a mistake in a recipe or score, with the file and line where it
// was found so that the author can fix it ("file:line: message").
class ParseError : public std::runtime_error {
public:
    ParseError(const std::string& file, int line, const std::string& message)
        : std::runtime_error(file + ":" + std::to_string(line) + ": " + message), line_(line) {}

    int line() const { return line_; }

private:
    int line_;
};
