#pragma once
// The frame every page of the service shares: document head, style sheet, title.
#include <string>
#include <string_view>

class HtmlPage {
public:
    // A complete UTF-8 document. `title` is plain text (escaped here); `body` is HTML.
    static std::string wrap(std::string_view title, std::string_view body);
};
