#include "CountryNames.h"

#include <map>

#include "language/StringIds.h"
#include "language/TextTables.h"

namespace {

std::string toUtf8(const char16_t* text) {
    std::string out;
    for (const char16_t* p = text; *p; ++p) {
        char32_t c = *p;
        if (c >= 0xD800 && c <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (p[1] - 0xDC00);
            ++p;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// The code of a country's string id is the two letters after "COUNTRY" in its name.
std::map<std::string, std::string, std::less<>> buildTable() {
    std::map<int, std::string> codes;
    for (const StringIdName& id : stringIdNames()) {
        const std::string name = toUtf8(id.name);
        if (name.size() == 9 && name.starts_with("COUNTRY")) codes[id.id] = name.substr(7);
    }
    std::map<std::string, std::string, std::less<>> table;
    for (const TextEntry& entry : englishCountryNames())
        if (auto code = codes.find(entry.id); code != codes.end()) table[code->second] = toUtf8(entry.text);
    return table;
}

}  // namespace

std::string CountryNames::englishName(std::string_view code) {
    static const auto table = buildTable();
    const auto found = table.find(code);
    return found == table.end() ? std::string() : found->second;
}
