#pragma once
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "Curve.h"

// LineReader: the shared lexical layer of the recipe and score formats. Text
// is split into lines of whitespace-separated words; a word beginning with
// "#" starts a comment (a "#" inside a word, as in "f#4", does not);
// blank lines are skipped. Every conversion reports a ParseError naming the
// file and the line of the offending word.
class LineReader {
public:
    struct Line {
        int number = 0;                  // 1-based line in the file
        std::vector<std::string> words;  // never empty
    };

    LineReader(std::string fileName, std::string_view text);

    // The next non-blank line, or false at the end of the text.
    bool next(Line& line);
    // Puts the last line back so that the next call returns it again.
    void unread();

    const std::string& fileName() const { return fileName_; }
    [[noreturn]] void fail(const Line& line, const std::string& message) const;

    // Word `index` of the line as a number; fails when missing or malformed.
    double number(const Line& line, std::size_t index) const;
    double number(const Line& line, const std::string& word) const;
    // Fails unless the line has between min and max words after the keyword.
    void expectArgs(const Line& line, std::size_t min, std::size_t max) const;
    // Words from `from` on as a curve: either one plain number (a constant)
    // or breakpoints "time:value" with increasing times.
    Curve curve(const Line& line, std::size_t from, bool exponential) const;
    // Words from `from` on as key=value numbers, each key among `allowed`.
    std::map<std::string, double> keyValues(const Line& line, std::size_t from,
                                            const std::vector<std::string>& allowed) const;

private:
    std::string fileName_;
    std::vector<Line> lines_;
    std::size_t position_ = 0;
};
