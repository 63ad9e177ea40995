#pragma once
// The countries the player can name in the network set-up: one row per country text of
// the language (row r is the text COUNTRYNONE + r), each with its ISO 3166-1 alpha-2
// code ("--" for none) and the latitude and longitude of its capital in degrees.
#include <cstdint>

class CountryTable {
public:
    static constexpr int kRows = 241;

    struct Row {
        const char16_t* code;  // two upper-case letters, or "--"
        float latitude;        // degrees, north positive
        float longitude;       // degrees, east positive
    };
    static const Row kRow[kRows];
};
