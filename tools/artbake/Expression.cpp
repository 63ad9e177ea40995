#include "Expression.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <vector>

namespace artbake {

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

// A small recursive-descent parser over the expression text; it evaluates while it parses.
class Parser {
public:
    Parser(std::string_view text, const Variables& variables) : text(text), variables(variables) {}

    double parseAll() {
        double value = parseComparison();
        skipBlanks();
        if (pos != text.size()) fail("unexpected '" + std::string(text.substr(pos, 1)) + "'");
        return value;
    }

private:
    std::string_view text;
    const Variables& variables;
    size_t pos = 0;

    [[noreturn]] void fail(const std::string& what) const {
        throw std::runtime_error("expression '" + std::string(text) + "': " + what);
    }

    void skipBlanks() {
        while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos]))) ++pos;
    }

    bool accept(char c) {
        skipBlanks();
        if (pos < text.size() && text[pos] == c) {
            ++pos;
            return true;
        }
        return false;
    }

    // Comparisons give 1 or 0, so drawings can switch parts on and off.
    double parseComparison() {
        double value = parseSum();
        skipBlanks();
        if (pos + 1 < text.size() && text[pos + 1] == '=' &&
            std::string_view("<>=!").find(text[pos]) != std::string_view::npos) {
            char op = text[pos];
            pos += 2;
            double rhs = parseSum();
            switch (op) {
                case '<':
                    return value <= rhs;
                case '>':
                    return value >= rhs;
                case '=':
                    return value == rhs;
                default:
                    return value != rhs;
            }
        }
        if (accept('<')) return value < parseSum();
        if (accept('>')) return value > parseSum();
        return value;
    }

    double parseSum() {
        double value = parseProduct();
        for (;;) {
            if (accept('+'))
                value += parseProduct();
            else if (accept('-'))
                value -= parseProduct();
            else
                return value;
        }
    }

    double parseProduct() {
        double value = parseUnary();
        for (;;) {
            if (accept('*')) {
                value *= parseUnary();
            } else if (accept('/')) {
                value /= parseUnary();
            } else if (accept('%')) {
                double divisor = parseUnary();
                value = value - divisor * std::floor(value / divisor);
            } else {
                return value;
            }
        }
    }

    double parseUnary() {
        if (accept('-')) return -parseUnary();
        if (accept('+')) return parseUnary();
        return parsePrimary();
    }

    double parsePrimary() {
        skipBlanks();
        if (accept('(')) {
            double value = parseComparison();
            if (!accept(')')) fail("missing ')'");
            return value;
        }
        if (pos < text.size() && (std::isdigit(static_cast<unsigned char>(text[pos])) || text[pos] == '.'))
            return parseNumber();
        if (pos < text.size() && (std::isalpha(static_cast<unsigned char>(text[pos])) || text[pos] == '_'))
            return parseName();
        fail("expected a value");
    }

    double parseNumber() {
        size_t start = pos;
        while (pos < text.size() &&
               (std::isdigit(static_cast<unsigned char>(text[pos])) || text[pos] == '.' || text[pos] == 'e'))
            ++pos;
        std::string digits(text.substr(start, pos - start));
        char* end = nullptr;
        double value = std::strtod(digits.c_str(), &end);
        if (end == digits.c_str() || *end != '\0') fail("bad number '" + digits + "'");
        return value;
    }

    double parseName() {
        size_t start = pos;
        while (pos < text.size() && (std::isalnum(static_cast<unsigned char>(text[pos])) || text[pos] == '_')) ++pos;
        std::string name(text.substr(start, pos - start));
        if (accept('(')) return callFunction(name);
        if (name == "pi") return std::numbers::pi;
        auto found = variables.find(name);
        if (found == variables.end()) fail("unknown variable '" + name + "'");
        return found->second;
    }

    double callFunction(const std::string& name) {
        std::vector<double> args;
        if (!accept(')')) {
            do {
                args.push_back(parseComparison());
            } while (accept(','));
            if (!accept(')')) fail("missing ')' after the arguments of " + name);
        }
        auto need = [&](size_t count) {
            if (args.size() != count) fail(name + " takes " + std::to_string(count) + " arguments");
        };
        if (name == "sin") {
            need(1);
            return std::sin(args[0] * kDegree);
        }
        if (name == "cos") {
            need(1);
            return std::cos(args[0] * kDegree);
        }
        if (name == "tan") {
            need(1);
            return std::tan(args[0] * kDegree);
        }
        if (name == "sqrt") {
            need(1);
            return std::sqrt(args[0]);
        }
        if (name == "abs") {
            need(1);
            return std::fabs(args[0]);
        }
        if (name == "floor") {
            need(1);
            return std::floor(args[0]);
        }
        if (name == "min") {
            need(2);
            return std::min(args[0], args[1]);
        }
        if (name == "max") {
            need(2);
            return std::max(args[0], args[1]);
        }
        if (name == "pow") {
            need(2);
            return std::pow(args[0], args[1]);
        }
        if (name == "clamp") {
            need(3);
            return std::clamp(args[0], args[1], args[2]);
        }
        if (name == "mix") {
            need(3);
            return args[0] + (args[1] - args[0]) * args[2];
        }
        // A repeatable pseudo-random value in [0, 1) from an integer seed, for scattering
        // sparkles and snow without any state: the same seed always gives the same value.
        if (name == "hash") {
            need(1);
            auto x = static_cast<unsigned long long>(std::llround(args[0] * 977.0)) * 0x9E3779B97F4A7C15ull;
            x ^= x >> 29;
            x *= 0xBF58476D1CE4E5B9ull;
            x ^= x >> 32;
            return static_cast<double>(x & 0xFFFFFF) / 16777216.0;
        }
        fail("unknown function '" + name + "'");
    }
};

}  // namespace

double Expression::evaluate(std::string_view text, const Variables& variables) {
    return Parser(text, variables).parseAll();
}

}  // namespace artbake
