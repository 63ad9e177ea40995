#include "engine/TextScan.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <string>

namespace {
bool isSpace(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

std::size_t skipSpace(std::u16string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i])) ++i;
    return i;
}
}  // namespace

int hexDigitValue(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

std::optional<std::int32_t> scanInt(std::u16string_view text) {
    std::size_t i = skipSpace(text);
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    const std::size_t digits = i;
    long long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        value = std::min(value * 10 + (text[i] - u'0'), static_cast<long long>(INT_MAX) + 1);
    if (i == digits) return std::nullopt;
    if (negative) value = -value;
    return static_cast<std::int32_t>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

std::optional<std::uint32_t> scanHex(std::u16string_view text) {
    std::size_t i = skipSpace(text);
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    if (i + 1 < text.size() && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X') && i + 2 < text.size() &&
        hexDigitValue(text[i + 2]) >= 0)
        i += 2;
    const std::size_t digits = i;
    std::uint64_t value = 0;
    for (; i < text.size() && hexDigitValue(text[i]) >= 0; ++i)
        value = std::min<std::uint64_t>(value * 16 + static_cast<unsigned>(hexDigitValue(text[i])), 0xFFFFFFFFull);
    if (i == digits) return std::nullopt;
    const auto result = static_cast<std::uint32_t>(value);
    return negative ? 0u - result : result;
}

std::optional<double> scanDouble(std::u16string_view text) {
    std::size_t i = skipSpace(text);
    if (i < text.size() && text[i] == u'+' && !(i + 1 < text.size() && text[i + 1] == u'-')) ++i;
    // Numbers are ASCII; anything else ends the scan anyway.
    std::string narrow;
    for (; i < text.size() && text[i] < 0x80 && narrow.size() < 512; ++i) narrow.push_back(static_cast<char>(text[i]));
    double value = 0.0;
    const auto [end, error] = std::from_chars(narrow.data(), narrow.data() + narrow.size(), value);
    if (end == narrow.data()) return std::nullopt;
    // Out of range: from_chars leaves the value alone; scanf gives infinity or zero.
    if (error == std::errc::result_out_of_range) {
        const bool negativeNumber = !narrow.empty() && narrow[0] == '-';
        std::size_t e = narrow.find_first_of("eE");
        const bool tiny = e != std::string::npos && e + 1 < narrow.size() && narrow[e + 1] == '-';
        value = tiny ? 0.0 : HUGE_VAL;
        if (negativeNumber) value = -value;
    }
    return value;
}
