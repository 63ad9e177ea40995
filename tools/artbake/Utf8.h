#pragma once
// UTF-8 text of the art sources (preview scenes, font recipes) as code points. Bytes that
// do not form a sequence pass through one by one; a sequence cut off by the text's end
// keeps the bits it has.

#include <string>

namespace artbake {

inline std::u32string decodeUtf8(const std::string& text) {
    const auto byte = [&text](size_t i) { return static_cast<unsigned char>(text[i]); };
    std::u32string out;
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = byte(i);
        int extra = c >= 0xF8 ? 0 : c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        char32_t code = extra == 0 ? c : c & (0x3F >> extra);
        for (int k = 1; k <= extra && i + k < text.size(); ++k) {
            if ((byte(i + k) & 0xC0) != 0x80) {  // not a continuation: the lead byte stands alone
                code = c;
                extra = 0;
                break;
            }
            code = code << 6 | (byte(i + k) & 0x3F);
        }
        out.push_back(code);
        i += 1 + extra;
    }
    return out;
}

}  // namespace artbake
