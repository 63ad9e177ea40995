#pragma once
// A text in a fixed-size byte field: UTF-8 ended by a NUL, never cut inside a
// character. Fields of 32 and 16 bytes name the build and the version in the header of
// the user-data container.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "engine/Strings.h"

template <std::size_t N>
struct FixedString {
    static_assert(N >= 1);

    // Stores `text`: while its UTF-8 form is longer than N - 1 bytes, the last
    // character is dropped (a surrogate pair as a whole). Bytes after the NUL are left as they are.
    void assign(std::u16string_view text) {
        std::string utf8 = wideToUtf8(text);
        while (utf8.size() > N - 1 && !text.empty()) {
            text.remove_suffix(1);
            // Half of a surrogate pair is no character: it goes with its other half.
            if (!text.empty() && text.back() >= 0xD800 && text.back() <= 0xDBFF) text.remove_suffix(1);
            utf8 = wideToUtf8(text);
        }
        std::memcpy(bytes, utf8.c_str(), utf8.size() + 1);
    }

    std::uint8_t bytes[N] = {};
};

using FixedString32 = FixedString<32>;
using FixedString16 = FixedString<16>;
