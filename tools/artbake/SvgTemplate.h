#pragma once
// Expands the placeholders of a hand-written SVG drawing so that one drawing can give a
// whole animation or rotation sequence:
//   {{expr}}          the value of an arithmetic expression (see Expression.h)
//   {{@name}}         a colour of the shared palette, e.g. "#d83a3a"
//   {{for k a b}}...{{end}}   repeats the text for k = a, a+1, ..., b-1 (nestable)
//   {{choose expr w0 w1 ...}} the word the expression's value picks; "@name" words are
//                     palette colours
// Throws std::runtime_error for unbalanced loops, unknown names and bad expressions.

#include <map>
#include <string>
#include <string_view>

#include "Expression.h"

namespace artbake {

using Palette = std::map<std::string, std::string, std::less<>>;

class SvgTemplate {
public:
    static std::string expand(std::string_view text, const Variables& variables, const Palette& palette);

    // Shortest text for a coordinate: three decimals at most, no trailing zeros.
    static std::string formatNumber(double value);
};

}  // namespace artbake
