#pragma once
// Arithmetic used by the art recipes and the SVG templates: numbers, named variables,
// + - * / %, comparisons (< <= > >= == != giving 1 or 0), unary minus, parentheses and a few functions (sin, cos, tan,
// sqrt, abs, min, max, floor, pow, clamp, mix). Angles are degrees in sin/cos/tan, as in SVG transforms.
//
// Errors (unknown variable, bad syntax) throw std::runtime_error naming the expression:
// recipes are our own sources, so a mistake should stop the build loudly.

#include <map>
#include <string>
#include <string_view>

namespace artbake {

using Variables = std::map<std::string, double, std::less<>>;

class Expression {
public:
    // Evaluates text with the given variables; "pi" is always known.
    static double evaluate(std::string_view text, const Variables& variables);
};

}  // namespace artbake
