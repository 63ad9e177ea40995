#include "LineReader.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <sstream>

#include "ParseError.h"

LineReader::LineReader(std::string fileName, std::string_view text) : fileName_(std::move(fileName)) {
    std::istringstream in{std::string(text)};
    std::string raw;
    int number = 0;
    while (std::getline(in, raw)) {
        ++number;
        // A comment is a word starting with "#", so that sharps ("f#4") stay notes.
        for (std::size_t i = 0; i < raw.size(); ++i)
            if (raw[i] == '#' && (i == 0 || std::isspace(static_cast<unsigned char>(raw[i - 1])))) {
                raw.resize(i);
                break;
            }
        std::istringstream words(raw);
        Line line{number, {}};
        for (std::string w; words >> w;) line.words.push_back(w);
        if (!line.words.empty()) lines_.push_back(std::move(line));
    }
}

bool LineReader::next(Line& line) {
    if (position_ >= lines_.size()) return false;
    line = lines_[position_++];
    return true;
}

void LineReader::unread() {
    if (position_ > 0) --position_;
}

void LineReader::fail(const Line& line, const std::string& message) const {
    throw ParseError(fileName_, line.number, message);
}

double LineReader::number(const Line& line, const std::string& word) const {
    double value = 0.0;
    const char* first = word.data();
    const char* last = first + word.size();
    if (first != last && *first == '+') ++first;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || !std::isfinite(value)) fail(line, "'" + word + "' is not a number");
    return value;
}

double LineReader::number(const Line& line, std::size_t index) const {
    if (index >= line.words.size())
        fail(line, "'" + line.words[0] + "' needs a number as argument " + std::to_string(index));
    return number(line, line.words[index]);
}

void LineReader::expectArgs(const Line& line, std::size_t min, std::size_t max) const {
    const std::size_t args = line.words.size() - 1;
    if (args < min || args > max) {
        std::string range = std::to_string(min);
        if (max != min) range += max > 100 ? " or more" : " to " + std::to_string(max);
        fail(line, "'" + line.words[0] + "' takes " + range + " argument(s), got " + std::to_string(args));
    }
}

Curve LineReader::curve(const Line& line, std::size_t from, bool exponential) const {
    if (from >= line.words.size()) fail(line, "'" + line.words[0] + "' needs a value or time:value points");
    if (from + 1 == line.words.size() && line.words[from].find(':') == std::string::npos)
        return Curve(number(line, from));
    std::vector<Curve::Point> points;
    for (std::size_t i = from; i < line.words.size(); ++i) {
        const std::string& w = line.words[i];
        const auto colon = w.find(':');
        if (colon == std::string::npos) fail(line, "'" + w + "' is not a time:value point");
        const Curve::Point p{number(line, w.substr(0, colon)), number(line, w.substr(colon + 1))};
        if (p.time < 0.0) fail(line, "point '" + w + "' has a negative time");
        if (!points.empty() && p.time < points.back().time) fail(line, "point '" + w + "' goes back in time");
        points.push_back(p);
    }
    return Curve(std::move(points), exponential);
}

std::map<std::string, double> LineReader::keyValues(const Line& line, std::size_t from,
                                                    const std::vector<std::string>& allowed) const {
    std::map<std::string, double> values;
    for (std::size_t i = from; i < line.words.size(); ++i) {
        const std::string& w = line.words[i];
        const auto eq = w.find('=');
        if (eq == std::string::npos) fail(line, "'" + w + "' is not key=value");
        const std::string key = w.substr(0, eq);
        if (std::find(allowed.begin(), allowed.end(), key) == allowed.end())
            fail(line, "unknown key '" + key + "' for '" + line.words[0] + "'");
        values[key] = number(line, w.substr(eq + 1));
    }
    return values;
}
