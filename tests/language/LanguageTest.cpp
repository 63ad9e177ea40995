#include <gtest/gtest.h>

#include <string>

#include "language/ExtraTexts.h"
#include "language/Language.h"

namespace {

std::u16string str(const char16_t* text) { return text; }

TEST(Language, StartsWithoutALanguageAndAnswersBadLookupsWithTheEmptyText) {
    const Language language(u"");
    EXPECT_EQ(language.currentLanguage, -1);
    EXPECT_EQ(language.rightToLeft, 0);
    // Before setLanguage there is no current table; the lookup must not index row -1.
    EXPECT_EQ(str(language.getString(StringId::CONFIRM)), u"");
    EXPECT_EQ(str(language.getString(StringId::CONFIRM)), u"");
}

TEST(Language, OtherLanguagesAreReadableByIndexBeforeTheChoice) {
    const Language language(u"");
    EXPECT_EQ(str(language.getString(0, StringId::LANGUAGEISOCODE)), u"en");
    EXPECT_EQ(str(language.getString(1, StringId::LANGUAGEISOCODE)), u"de");
    EXPECT_EQ(str(language.getString(0, StringId::LANGUAGECODEPAGE)), u"1252");
    EXPECT_EQ(str(language.getString(1, StringId::LANGUAGECODEPAGE)), u"1252");
    EXPECT_EQ(str(language.getString(2, StringId::LANGUAGEISOCODE)), u"");
    EXPECT_EQ(str(language.getString(-1, StringId::LANGUAGEISOCODE)), u"");
    EXPECT_EQ(str(language.getString(1, kStringIdCount)), u"");
}

TEST(Language, AvailabilityFollowsTheMask) {
    EXPECT_TRUE(Language::isLanguageAvailable(7, u""));
    EXPECT_TRUE(Language::isLanguageAvailable(-1, u""));
    EXPECT_FALSE(Language::isLanguageAvailable(7, u"11"));
    EXPECT_FALSE(Language::isLanguageAvailable(-1, u"11"));
    EXPECT_TRUE(Language::isLanguageAvailable(1, u"01"));
    EXPECT_FALSE(Language::isLanguageAvailable(0, u"01"));
    EXPECT_FALSE(Language::isLanguageAvailable(1, u"1x"));
    EXPECT_FALSE(Language::isLanguageAvailable(1, u"1"));
    EXPECT_TRUE(Language(u"10").isLanguageAvailable(0));
    EXPECT_FALSE(Language(u"10").isLanguageAvailable(1));
}

int chosen(const std::u16string& mask, int requested) {
    Language language(mask);
    language.setLanguage(requested);
    return language.currentLanguage;
}

TEST(Language, SetLanguageFallsBackToEnglish) {
    EXPECT_EQ(chosen(u"", 1), 1);
    EXPECT_EQ(chosen(u"11", 1), 1);
    EXPECT_EQ(chosen(u"01", 1), 1);
    EXPECT_EQ(chosen(u"1", 1), 0);
    EXPECT_EQ(chosen(u"10", 1), 0);
    EXPECT_EQ(chosen(u"1x", 1), 0);
    // Out of range falls back to English without asking the mask, even one excluding it.
    EXPECT_EQ(chosen(u"01", 5), 0);
    EXPECT_EQ(chosen(u"01", -1), 0);
    EXPECT_EQ(chosen(u"", -2), 0);
    EXPECT_EQ(chosen(u"", 0), 0);
}

TEST(Language, TextsOfTheCurrentLanguage) {
    for (int index : {0, 1}) {
        Language language(u"");
        language.setLanguage(index);
        EXPECT_EQ(str(language.getString(StringId::NULL_)), u"");
        EXPECT_EQ(str(language.getString(StringId::DIK_NONE)), u"");
        EXPECT_EQ(str(language.getString(StringId::LANGUAGEREADINGORDER)), u"LTR");
        EXPECT_EQ(language.rightToLeft, 0);
        // Out-of-range ids give the empty text instead of reading past the table.
        EXPECT_EQ(str(language.getString(-1)), u"");
        EXPECT_EQ(str(language.getString(kStringIdCount)), u"");
        EXPECT_EQ(str(language.getString(1 << 30)), u"");
    }
    Language german(u"");
    german.setLanguage(1);
    EXPECT_EQ(str(german.getString(StringId::CONFIRM)), u"Sind Sie sicher?");
    EXPECT_EQ(str(german.getString(StringId::COUNTRYDE)), u"Deutschland");
    Language english(u"");
    english.setLanguage(0);
    EXPECT_EQ(str(english.getString(StringId::CONFIRM)), u"Are you sure?");
    EXPECT_EQ(str(english.getString(StringId::COUNTRYZW)), u"Zimbabwe");
}

TEST(Language, SetLanguageRebuildsTheKeyNames) {
    Language language(u"");
    const KeyNames& names = language.keyName;
    language.setLanguage(1);
    EXPECT_EQ(names.get(84), u"UNBEKANNT-84");
    EXPECT_EQ(names.get(57), u"LEERTASTE");

    language.setLanguage(0);
    EXPECT_EQ(names.get(84), u"UNKNOWN-84");
    EXPECT_EQ(names.get(1), u"Esc");
}

TEST(Language, MissingTextMessageNamesIdEnglishTextAndLanguage) {
    TextRow rows[kLanguageCount] = {};
    fillTextRow(rows[0], englishTexts());
    fillTextRow(rows[0], englishCountryNames());
    fillTextRow(rows[1], germanTexts());
    fillTextRow(rows[1], germanCountryNames());
    rows[1][17] = nullptr;
    auto missing = findMissingText(rows);
    ASSERT_TRUE(missing.has_value());
    EXPECT_EQ(describeMissingText(*missing, rows), u"String 17 ('6') is missing from language 1.");

    rows[0][StringId::CONFIRM] = nullptr;
    missing = findMissingText(rows);
    ASSERT_TRUE(missing.has_value());
    EXPECT_EQ(describeMissingText(*missing, rows), u"String 440 ('') is missing from language 0.");
}

TEST(Language, TheProgramsOwnTextsExistInBothLanguagesWithTheSamePlaceholders) {
    auto placeholders = [](std::u16string_view text) {
        std::u16string found;
        for (std::size_t at = text.find(u'%'); at != std::u16string_view::npos; at = text.find(u'%', at + 2))
            found += text.substr(at, 2);
        return found;
    };
    for (int id = 0; id < ExtraText::kCount; ++id) {
        EXPECT_NE(str(ExtraText::get(0, id)), u"") << id;
        EXPECT_NE(str(ExtraText::get(1, id)), u"") << id;
        EXPECT_EQ(placeholders(ExtraText::get(0, id)), placeholders(ExtraText::get(1, id))) << id;
    }
}

}  // namespace
