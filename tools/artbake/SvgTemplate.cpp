#include "SvgTemplate.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace artbake {

namespace {

constexpr std::string_view kOpen = "{{";
constexpr std::string_view kClose = "}}";

std::string trimmed(std::string_view s) {
    size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string_view::npos) return {};
    size_t b = s.find_last_not_of(" \t\r\n");
    return std::string(s.substr(a, b - a + 1));
}

// Finds the "{{end}}" that closes a loop whose body starts at `from`, skipping nested loops.
size_t findLoopEnd(std::string_view text, size_t from) {
    int depth = 1;
    size_t pos = from;
    while ((pos = text.find(kOpen, pos)) != std::string_view::npos) {
        size_t close = text.find(kClose, pos);
        if (close == std::string_view::npos) break;
        std::string tag = trimmed(text.substr(pos + 2, close - pos - 2));
        if (tag.rfind("for ", 0) == 0)
            ++depth;
        else if (tag == "end" && --depth == 0)
            return pos;
        pos = close + 2;
    }
    throw std::runtime_error("template: a {{for}} has no matching {{end}}");
}

// "choose <expr> <word0> <word1> ...": the word the expression's value picks (clamped to
// the list); a word starting with '@' is a palette colour.
std::string choose(const std::string& tag, const Variables& variables, const Palette& palette) {
    std::istringstream words(tag.substr(7));
    std::string expression, word;
    std::vector<std::string> choices;
    words >> expression;
    while (words >> word) choices.push_back(word);
    if (choices.empty()) throw std::runtime_error("template: '" + tag + "' has nothing to choose from");
    long index = std::lround(Expression::evaluate(expression, variables));
    std::string picked =
        choices[static_cast<size_t>(std::clamp<long>(index, 0, static_cast<long>(choices.size()) - 1))];
    if (picked[0] != '@') return picked;
    auto found = palette.find(picked.substr(1));
    if (found == palette.end()) throw std::runtime_error("template: no palette colour '" + picked.substr(1) + "'");
    return found->second;
}

}  // namespace

std::string SvgTemplate::formatNumber(double value) {
    if (std::fabs(value) < 0.0005) value = 0.0;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.3f", value);
    std::string s(buffer);
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    return s == "-0" ? "0" : s;
}

std::string SvgTemplate::expand(std::string_view text, const Variables& variables, const Palette& palette) {
    std::string out;
    out.reserve(text.size());
    size_t pos = 0;
    while (pos < text.size()) {
        size_t open = text.find(kOpen, pos);
        if (open == std::string_view::npos) {
            out.append(text.substr(pos));
            break;
        }
        out.append(text.substr(pos, open - pos));
        size_t close = text.find(kClose, open);
        if (close == std::string_view::npos) throw std::runtime_error("template: '{{' without '}}'");
        std::string tag = trimmed(text.substr(open + 2, close - open - 2));
        pos = close + 2;
        if (tag.rfind("for ", 0) == 0) {
            char name[64] = {};
            char from[128] = {};
            char to[128] = {};
            if (std::sscanf(tag.c_str(), "for %63s %127s %127s", name, from, to) != 3)
                throw std::runtime_error("template: bad loop '" + tag + "'");
            size_t end = findLoopEnd(text, pos);
            std::string_view body = text.substr(pos, end - pos);
            long first = std::lround(Expression::evaluate(from, variables));
            long last = std::lround(Expression::evaluate(to, variables));
            Variables inner = variables;
            for (long k = first; k < last; ++k) {
                inner[name] = static_cast<double>(k);
                out += expand(body, inner, palette);
            }
            pos = text.find(kClose, end) + 2;
        } else if (tag.rfind("choose ", 0) == 0) {
            out += choose(tag, variables, palette);
        } else if (tag == "end") {
            throw std::runtime_error("template: {{end}} without {{for}}");
        } else if (!tag.empty() && tag[0] == '@') {
            auto found = palette.find(tag.substr(1));
            if (found == palette.end()) throw std::runtime_error("template: no palette colour '" + tag.substr(1) + "'");
            out += found->second;
        } else {
            out += formatNumber(Expression::evaluate(tag, variables));
        }
    }
    return out;
}

}  // namespace artbake
