#pragma once
// The language choice at the first start: detection from the system's locale, the flag
// of each language (skins of the texture "languageFlags", one per ISO code below, in
// that order) and the screen of flags the player picks from.
#include <cstdint>
#include <string>
#include <string_view>

class ContextDialog;

class ContextLanguageSelect {
public:
    static constexpr std::uint32_t kClearColour = 0xFF001030u;
    static constexpr int kCell = 100;  // units between flags

    // ISO 639-1 codes; a code's position is its flag's skin index in "languageFlags".
    static constexpr const char16_t* kIsoCodes[] = {u"en", u"fr", u"de", u"it", u"es", u"ru", u"he", u"el",
                                                    u"pl", u"ro", u"pt", u"ja", u"ko", u"cs", u"nl"};

    // Fills `screen` with one flag per available language in a centred grid and parks
    // the pointer away from the flags.
    static void create(ContextDialog* screen);
    // The built-in language whose ISO code equals the system's exactly; 0 when none does.
    static std::int32_t autodetectLanguage();
    // The code's position in kIsoCodes (whole, case-sensitive); a code that is not there
    // is fatal.
    static std::int32_t isoCode2skinIndex(std::u16string_view isoCode);

private:
    // Rows of flags filled left to right, top to bottom, centred on the origin.
    static void placeInGrid(ContextDialog& screen);
};
