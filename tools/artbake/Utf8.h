#pragma once
// UTF-8 text of the art sources (preview scenes, font recipes) as code points. A byte that
// does not begin a whole, well-formed sequence stands for itself (as a Latin-1 code point)
// and reading goes on with the next byte: a stray continuation byte, a lead byte whose
// sequence is broken off (by another byte or by the text's end), an overlong form, a
// UTF-16 surrogate and a code point above U+10FFFF all pass byte by byte.

#include <algorithm>
#include <cstddef>
#include <string>

namespace artbake {

// The length of the sequence that `lead` begins; 0 for a continuation byte or a byte
// that leads nothing in UTF-8.
inline std::size_t utf8LengthOf(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead < 0xC0 || lead >= 0xF8) return 0;
    return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
}

// The length of the well-formed sequence that begins at text[i], its code point stored in
// `code`; 0, and `code` left alone, when none begins there.
inline std::size_t utf8SequenceAt(const std::string& text, std::size_t i, char32_t& code) {
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};  // by length; below is overlong
    const auto byte = [&text, i](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
    const unsigned char lead = byte(0);
    const std::size_t length = utf8LengthOf(lead);
    if (length == 0 || length > text.size() - i) return 0;
    char32_t value = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(k) & 0xC0) != 0x80) return 0;
        value = value << 6 | (byte(k) & 0x3F);
    }
    const bool surrogate = value >= 0xD800 && value <= 0xDFFF;
    if (value < kSmallest[length] || surrogate || value > 0x10FFFF) return 0;
    code = value;
    return length;
}

inline std::u32string decodeUtf8(const std::string& text) {
    std::u32string out;
    for (std::size_t i = 0; i < text.size();) {
        char32_t code = static_cast<unsigned char>(text[i]);  // unless a sequence begins here
        i += std::max<std::size_t>(utf8SequenceAt(text, i, code), 1);
        out.push_back(code);
    }
    return out;
}

}  // namespace artbake
