#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "engine/Strings.h"
#include "language/StringIds.h"
#include "language/TextTables.h"

namespace {

struct BuiltInTables {
    TextRow rows[kLanguageCount] = {};
    BuiltInTables() {
        fillTextRow(rows[0], englishTexts());
        fillTextRow(rows[0], englishCountryNames());
        fillTextRow(rows[1], germanTexts());
        fillTextRow(rows[1], germanCountryNames());
    }
};

const BuiltInTables& builtIn() {
    static const BuiltInTables tables;
    return tables;
}

std::u16string text(int language, int id) { return builtIn().rows[language][id]; }

// Reads "id<TAB>text" lines; "#" starts a comment line. Escapes: \t \n \\ \uXXXX.
std::vector<std::pair<int, std::u16string>> readQuotedTexts(const char* fileName) {
    std::ifstream in(std::string(TORVANE_SOURCE_DIR) + "/tests/language/" + fileName);
    EXPECT_TRUE(in) << fileName;
    std::vector<std::pair<int, std::u16string>> quotes;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        const auto tab = line.find('\t');
        EXPECT_NE(tab, std::string::npos) << line;
        if (tab == std::string::npos) continue;
        std::string decoded;
        for (std::size_t i = tab + 1; i < line.size(); ++i) {
            if (line[i] != '\\' || i + 1 == line.size()) {
                decoded += line[i];
                continue;
            }
            const char kind = line[++i];
            if (kind == 't')
                decoded += '\t';
            else if (kind == 'n')
                decoded += '\n';
            else if (kind == 'u') {
                decoded += static_cast<char>(std::stoi(line.substr(i + 1, 4), nullptr, 16));
                i += 4;
            } else
                decoded += kind;
        }
        quotes.emplace_back(std::stoi(line.substr(0, tab)), utf8ToWide(decoded));
    }
    return quotes;
}

// The printf conversions of a text, in order ("%s", "%d", "%.2lf"; "%%" left out).
std::vector<std::u16string> conversions(std::u16string_view text) {
    std::vector<std::u16string> found;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'%') continue;
        std::size_t end = i + 1;
        while (end < text.size() &&
               std::u16string_view(u"0123456789.-+ #lh").find(text[end]) != std::u16string_view::npos)
            ++end;
        if (end < text.size() && text[end] != u'%') found.emplace_back(text.substr(i, end - i + 1));
        i = end;
    }
    return found;
}

// German words written with "ae", "oe", "ue" or "ss" where the language wants ä, ö, ü
// or ß. Plain substring tests would flag good words ("Steuerung", "Duell", "Quelle"),
// so a vowel pair only counts outside the diphthongs eu/au/qu and the ending -uell,
// and "ss" only in stems that are always written with ß.
bool hasUmlautStandIn(std::u16string_view word) {
    static const std::set<std::u16string> allowed = {u"israel",  u"puerto", u"venezuela", u"aero",
                                                     u"michael", u"niue",   u"zuerst",    u"zueinander"};
    static const std::u16string_view eszettStems[] = {u"schliess", u"schiess", u"gross", u"heiss", u"weiss",
                                                      u"strasse",  u"fuss",    u"spass", u"gruss", u"massnahm"};
    std::u16string lower(word);
    for (char16_t& c : lower) {
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    }
    if (allowed.count(lower)) return false;
    for (std::u16string_view stem : eszettStems) {
        if (lower.find(stem) != std::u16string::npos) return true;
    }
    for (std::size_t i = 0; i + 1 < lower.size(); ++i) {
        const char16_t a = lower[i], b = lower[i + 1];
        if (b != u'e' || (a != u'a' && a != u'o' && a != u'u')) continue;
        const char16_t before = i > 0 ? lower[i - 1] : u' ';
        if (a == u'u' && (before == u'e' || before == u'a' || before == u'q')) continue;
        if (a == u'u' && lower.compare(i, 4, u"uell") == 0) continue;
        return true;
    }
    return false;
}

std::vector<std::u16string> words(std::u16string_view text) {
    std::vector<std::u16string> result;
    std::u16string current;
    for (char16_t c : text) {
        const bool letter = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c >= 0xC0;
        if (letter)
            current += c;
        else if (!current.empty())
            result.push_back(std::move(current)), current.clear();
    }
    if (!current.empty()) result.push_back(current);
    return result;
}

// The characters that the fonts' code page 1252 can draw: Latin-1 and the extras at
// 0x80..0x9F of that code page.
bool drawableInCodePage(char16_t c) {
    static const std::u16string_view extras = u"€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ";
    return (c >= 0x20 && c < 0x7F) || (c >= 0xA0 && c <= 0xFF) || extras.find(c) != std::u16string_view::npos;
}

TEST(TextTables, BuiltInTablesAreComplete) {
    EXPECT_FALSE(findMissingText(builtIn().rows).has_value());
    EXPECT_EQ(englishCountryNames().size(), 240u);
    EXPECT_EQ(germanCountryNames().size(), 240u);
    for (const auto names : {englishCountryNames(), germanCountryNames()}) {
        for (const TextEntry& entry : names) {
            EXPECT_GE(entry.id, StringId::COUNTRYAF);
            EXPECT_LE(entry.id, StringId::COUNTRYZW);
            EXPECT_NE(entry.text[0], u'\0') << "country " << entry.id;
        }
    }
}

TEST(TextTables, MissingTextIsFoundFirstInEnglishThenGerman) {
    TextRow rows[kLanguageCount] = {};
    const std::vector<TextEntry> all = [] {
        std::vector<TextEntry> entries;
        for (int id = 0; id < kStringIdCount; ++id) entries.push_back({id, u"x"});
        return entries;
    }();
    fillTextRow(rows[0], all);
    fillTextRow(rows[1], all);
    EXPECT_FALSE(findMissingText(rows).has_value());

    rows[1][17] = nullptr;
    rows[1][3] = nullptr;
    auto missing = findMissingText(rows);
    ASSERT_TRUE(missing.has_value());
    EXPECT_EQ(missing->language, 1);
    EXPECT_EQ(missing->id, 3);

    rows[0][888] = nullptr;
    missing = findMissingText(rows);
    ASSERT_TRUE(missing.has_value());
    EXPECT_EQ(missing->language, 0);
    EXPECT_EQ(missing->id, 888);
}

TEST(TextTables, FillIgnoresIdsOutsideTheTable) {
    TextRow row = {};
    const TextEntry entries[] = {{-1, u"a"}, {kStringIdCount, u"b"}, {5, u"c"}, {5, u"d"}};
    fillTextRow(row, entries);
    EXPECT_EQ(std::u16string(row[5]), u"d");
    EXPECT_EQ(std::count(std::begin(row), std::end(row), nullptr), kStringIdCount - 1);
}

TEST(TextTables, QuotedEnglishTextsAreExact) {
    const auto quotes = readQuotedTexts("quoted_texts.txt");
    EXPECT_GT(quotes.size(), 300u);
    for (const auto& [id, quoted] : quotes) {
        ASSERT_TRUE(id >= 0 && id < kStringIdCount) << id;
        EXPECT_EQ(text(0, id), quoted) << "id " << id;
    }
}

TEST(TextTables, QuotedGermanTextsAreExact) {
    const auto quotes = readQuotedTexts("quoted_texts_german.txt");
    EXPECT_GT(quotes.size(), 80u);
    for (const auto& [id, quoted] : quotes) {
        ASSERT_TRUE(id >= 0 && id < kStringIdCount) << id;
        EXPECT_EQ(text(1, id), quoted) << "id " << id;
    }
}

TEST(TextTables, MetaTextsAndSeparators) {
    EXPECT_EQ(text(0, StringId::NULL_), u"");
    EXPECT_EQ(text(1, StringId::NULL_), u"");
    EXPECT_EQ(text(0, StringId::DIK_NONE), u"");
    EXPECT_EQ(text(1, StringId::DIK_NONE), u"");
    EXPECT_EQ(text(0, StringId::LANGUAGEREADINGORDER), u"LTR");
    EXPECT_EQ(text(1, StringId::LANGUAGEREADINGORDER), u"LTR");
    EXPECT_EQ(text(0, StringId::THOUSANDSEPARATOR), u",");
    EXPECT_EQ(text(1, StringId::THOUSANDSEPARATOR), u" ");
    EXPECT_EQ(text(1, StringId::LANGUAGENAME), u"Deutsch");
    EXPECT_EQ(text(0, StringId::TORVANE2), text(1, StringId::TORVANE2));
    EXPECT_EQ(text(0, StringId::COPYRIGHT), text(1, StringId::COPYRIGHT));
}

TEST(TextTables, PlaceholdersMatchBetweenLanguages) {
    for (int id = 0; id < kStringIdCount; ++id) {
        EXPECT_EQ(conversions(text(0, id)), conversions(text(1, id))) << "id " << id;
    }
    EXPECT_EQ(conversions(text(0, StringId::IOS_QRLEGAL2)), (std::vector<std::u16string>{u"%s", u"%s"}));
    EXPECT_EQ(conversions(text(0, StringId::ERRORMINVERSIONCLIENT)), (std::vector<std::u16string>{u"%s", u"%.2lf"}));
}

TEST(TextTables, LineBreaksOnlyInTheLanguageNoteAndRatingTips) {
    for (int language = 0; language < kLanguageCount; ++language) {
        for (int id = 0; id < kStringIdCount; ++id) {
            const bool breaks = text(language, id).find(u'|') != std::u16string::npos;
            const bool expected = id == StringId::CHANGELANGUAGETEXT || id >= StringId::IOS_RATINGTIPCLASSICWAR;
            EXPECT_EQ(breaks, expected) << "language " << language << " id " << id;
        }
    }
    // The rating tips: an opening line, then 4, 4, 4, 2 and 5 lines of advice.
    const int adviceLines[] = {4, 4, 4, 2, 5};
    for (int tip = 0; tip < 5; ++tip) {
        for (int language = 0; language < kLanguageCount; ++language) {
            const std::u16string tipText = text(language, StringId::IOS_RATINGTIPCLASSICWAR + tip);
            EXPECT_EQ(std::count(tipText.begin(), tipText.end(), u'|'), adviceLines[tip]) << tip;
        }
    }
}

TEST(TextTables, ControlCharactersOnlyWhereTheFontsExpectThem) {
    const std::set<int> english = {StringId::BACK,   StringId::NEXT,     StringId::CANCEL,    StringId::QUIT,
                                   StringId::DIK_UP, StringId::DIK_LEFT, StringId::DIK_RIGHT, StringId::DIK_DOWN};
    const std::set<int> german = {StringId::DIK_UP, StringId::DIK_LEFT, StringId::DIK_RIGHT, StringId::DIK_DOWN,
                                  StringId::DIK_NUMLOCK};
    for (int language = 0; language < kLanguageCount; ++language) {
        const std::set<int>& allowed = language == 0 ? english : german;
        for (int id = 0; id < kStringIdCount; ++id) {
            const std::u16string t = text(language, id);
            const bool control = std::any_of(t.begin(), t.end(), [](char16_t c) { return c < 32; });
            EXPECT_EQ(control, allowed.count(id) == 1) << "language " << language << " id " << id;
        }
    }
}

TEST(TextTables, EveryCharacterIsDrawableInCodePage1252) {
    for (int language = 0; language < kLanguageCount; ++language) {
        for (int id = 0; id < kStringIdCount; ++id) {
            for (char16_t c : text(language, id)) {
                EXPECT_TRUE(c < 32 || drawableInCodePage(c))
                    << "language " << language << " id " << id << " code point " << static_cast<int>(c);
            }
        }
    }
}

TEST(TextTables, UmlautStandInsAreRecognised) {
    for (std::u16string_view bad : {u"waehlen", u"Laenge", u"fuer", u"zurueck", u"Groesse", u"schliessen", u"Schiessen",
                                    u"moeglich", u"Spass", u"uebernehmen", u"Geraet"}) {
        EXPECT_TRUE(hasUmlautStandIn(bad)) << std::string(bad.begin(), bad.end());
    }
    for (std::u16string_view good : {u"Steuerung", u"Feuer", u"neue", u"Duell", u"aktuell", u"Quelle", u"dauert",
                                     u"Abenteuer", u"Israel", u"Puerto", u"wählen", u"schließen", u"müssen"}) {
        EXPECT_FALSE(hasUmlautStandIn(good)) << std::string(good.begin(), good.end());
    }
}

TEST(TextTables, GermanUsesUmlautsNotStandIns) {
    for (int id = 0; id < kStringIdCount; ++id) {
        for (const std::u16string& word : words(text(1, id))) {
            EXPECT_FALSE(hasUmlautStandIn(word)) << "id " << id << ": " << wideToUtf8(word);
        }
    }
}

}  // namespace
