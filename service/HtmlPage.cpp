#include "HtmlPage.h"

#include "Utf8Text.h"

namespace {
constexpr std::string_view kStyle = R"css(
body { margin: 0; background: #0d2238; color: #eef3f8; font: 16px/1.5 "DejaVu Sans", "Liberation Sans", sans-serif; }
main { max-width: 56em; margin: 0 auto; padding: 1.5em 1em 3em; }
h1 { font-size: 1.9em; margin: 0 0 .6em; color: #ffd66b; }
h2 { font-size: 1.3em; margin: 1.6em 0 .4em; color: #ffd66b; border-bottom: 1px solid #35557a; }
a { color: #9fd0ff; }
table { border-collapse: collapse; width: 100%; }
table.scores { table-layout: fixed; }
table.scores .rank { width: 3em; }
table.scores .country { width: 15em; }
table.scores .rating { width: 7em; }
table.scores .date { width: 7em; white-space: nowrap; }
th, td { text-align: left; padding: .25em .6em; border-bottom: 1px solid #23405f; }
th { color: #b8c9da; font-weight: normal; }
td.number, th.number { text-align: right; font-variant-numeric: tabular-nums; }
td.name { overflow-wrap: anywhere; }
p.empty { color: #b8c9da; font-style: italic; }
nav { margin-bottom: 1em; }
kbd { background: #23405f; border-radius: 3px; padding: 0 .35em; }
)css";
}  // namespace

std::string HtmlPage::wrap(std::string_view title, std::string_view body) {
    const std::string escaped = Utf8Text::escapeHtml(title);
    std::string page =
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>";
    page += escaped;
    page += "</title>\n<style>";
    page += kStyle;
    page += "</style>\n</head>\n<body>\n<main>\n<h1>";
    page += escaped;
    page += "</h1>\n";
    page += body;
    page += "</main>\n</body>\n</html>\n";
    return page;
}
