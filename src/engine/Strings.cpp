#include "engine/Strings.h"

#include <cstddef>
#include <cstdint>
#include <utility>

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool isContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Decodes the sequence whose lead byte is bytes[pos] and appends its unit(s) to `out`.
// Returns how many bytes were used. An ill-formed sequence uses only its maximal valid
// prefix (at least the lead byte) and appends one U+FFFD, so the byte that broke it is
// looked at again as a possible lead. A sequence cut off by the end of the input uses
// everything that is left.
std::size_t decodeOne(std::string_view bytes, std::size_t pos, std::u16string& out) {
    const auto lead = static_cast<unsigned char>(bytes[pos]);
    if (lead < 0x80) {
        out.push_back(lead);
        return 1;
    }
    std::size_t length = 0;
    std::uint32_t cp = 0;
    // Bounds of the second byte rule out overlong forms and code points above 10FFFF
    // without decoding them first. ED keeps its full range: the surrogate halves it
    // encodes are accepted so that wideToUtf8 output always converts back.
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        cp = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        cp = lead & 0x07;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        out.push_back(kReplacement);  // stray continuation byte or a lead that is never valid
        return 1;
    }
    std::size_t used = 1;
    for (; used < length; ++used) {
        if (pos + used >= bytes.size()) {
            out.push_back(kReplacement);
            return used;
        }
        const auto b = static_cast<unsigned char>(bytes[pos + used]);
        const bool inRange = used == 1 ? (b >= low && b <= high) : isContinuation(b);
        if (!inRange) {
            out.push_back(kReplacement);
            return used;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp >= 0x10000) {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 | (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 | (cp & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(cp));
    }
    return used;
}

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }

bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void appendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

template <class Char>
std::basic_string<Char> fileNameOf(std::basic_string_view<Char> path) {
    const Char separators[] = {Char('\\'), Char('/'), Char(0)};
    const std::size_t cut = path.find_last_of(separators);
    if (cut == std::basic_string_view<Char>::npos) return std::basic_string<Char>(path);
    return std::basic_string<Char>(path.substr(cut + 1));
}

}  // namespace

void replaceAll(std::u16string& text, std::u16string_view from, std::u16string_view to) {
    if (from.empty()) return;
    std::size_t hit = text.find(from);
    if (hit == std::u16string::npos) return;
    // Built afresh rather than replaced in place, so many hits stay linear in time.
    std::u16string result;
    result.reserve(text.size());
    std::size_t start = 0;
    while (hit != std::u16string::npos) {
        result.append(text, start, hit - start);
        result.append(to);
        start = hit + from.size();
        hit = text.find(from, start);
    }
    result.append(text, start, std::u16string::npos);
    text = std::move(result);
}

void trim(std::u16string& text) {
    constexpr std::u16string_view blanks = u" \t\r\n";
    const std::size_t last = text.find_last_not_of(blanks);
    if (last == std::u16string::npos) {
        text.clear();
        return;
    }
    text.erase(last + 1);
    text.erase(0, text.find_first_not_of(blanks));
}

std::u16string getFileName(std::u16string_view path) { return fileNameOf(path); }

std::string getFileName(std::string_view path) { return fileNameOf(path); }

std::vector<std::u16string> splitString(std::u16string_view text) {
    std::vector<std::u16string> lines;
    std::size_t start = 0;
    for (std::size_t lf = text.find(u'\n'); lf != std::u16string_view::npos; lf = text.find(u'\n', start)) {
        std::size_t end = lf;
        if (end > start && text[end - 1] == u'\r') --end;
        lines.emplace_back(text.substr(start, end - start));
        start = lf + 1;
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

std::u16string copyWideString(std::u16string_view text) { return std::u16string(text.substr(0, text.find(u'\0'))); }

std::u16string utf8ToWide(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    for (std::size_t pos = 0; pos < bytes.size();) pos += decodeOne(bytes, pos, out);
    return out;
}

std::u16string makeWideString(const char* text) { return text ? utf8ToWide(text) : std::u16string(); }

std::string wideToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (isHighSurrogate(c) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            const char16_t next = text[++i];
            appendUtf8(out, 0x10000 + ((std::uint32_t(c) - 0xD800) << 10) + (next - 0xDC00));
        } else {
            appendUtf8(out, c);  // lone surrogate halves too, as three bytes
        }
    }
    return out;
}

std::u16string toLowerAscii(std::u16string_view text) {
    std::u16string out(text);
    for (char16_t& c : out) {
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + (u'a' - u'A'));
    }
    return out;
}
