#pragma once
// Text from uploads: made safe to store and to show.
#include <string>
#include <string_view>

class Utf8Text {
public:
    // `bytes` with every ill-formed UTF-8 sequence (overlong forms, surrogates, code
    // points above U+10FFFF, stray or missing continuation bytes) replaced by U+FFFD, and
    // control characters below U+0020 by a space, so that a stored name is one line of
    // valid text.
    static std::string sanitize(std::string_view bytes);
    // `text` for HTML element content and quoted attribute values: & < > " ' escaped.
    static std::string escapeHtml(std::string_view text);
};
