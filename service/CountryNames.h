#pragma once
// English country names by their two-letter code, from the game's own language data.
#include <string>
#include <string_view>

class CountryNames {
public:
    // The name for `code` ("DE" gives "Germany"); "--" and unknown codes give an empty
    // string. UTF-8.
    static std::string englishName(std::string_view code);
};
