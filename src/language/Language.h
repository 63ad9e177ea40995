#pragma once
// The text service. Every user-visible text is named by a string id (StringIds.h) and
// fetched here in the current language. Both languages are built in (TextTables.h):
// the service holds, per language, one pointer per id into static storage and never
// copies, changes or frees a text.
//
// Lifetime: the engine object creates the one Language last among its parts and deletes
// it first. The loading screen calls setLanguage once per engine life; a change of
// language restarts the engine, which builds a new Language. Main thread only; after
// setLanguage the object is read-only and its text pointers stay valid for its life.
#include <string>
#include <string_view>
#include <unordered_map>

#include "language/KeyNames.h"
#include "language/StringIds.h"
#include "language/TextTables.h"

class Language {
public:
    static constexpr int kLanguageCount = ::kLanguageCount;

    // Reads the language mask of the engine's static settings (empty without an engine).
    // Fatal when either language lacks a text: "String %d ('%s') is missing from
    // language %d." with the id, its English text and the language.
    Language();
    // The same with an explicit mask: one character per language, '1' = available.
    explicit Language(std::u16string languageMask);
    ~Language() = default;
    Language(const Language&) = delete;
    Language& operator=(const Language&) = delete;

    // The text of `id` in the current language. An id outside 0..888, or a call before
    // setLanguage, gives the empty text and is logged (the first time only).
    const char16_t* getString(int id) const;

    // The program's own text `id` (ExtraTexts.h) in the current language; English
    // before setLanguage.
    const char16_t* getExtraString(int id) const;

    // The text of `id` in `language`, whatever the current language (the loading and
    // language screens read the ISO code and code page of every language this way).
    // The empty text for a language or id out of range.
    const char16_t* getString(int language, int id) const;

    // Whether `language` may be offered: always with an empty mask, otherwise when the
    // mask has a '1' at that index (a negative or too large index is unavailable).
    bool isLanguageAvailable(int language) const;
    static bool isLanguageAvailable(int language, std::u16string_view mask);

    // Makes `language` current, falling back to 0 (English) when it is out of range or
    // unavailable; sets rightToLeft from the language's reading order and rebuilds the
    // key names.
    void setLanguage(int language);

    // Rewrites every input-code name in the current language into `target`.
    void applyKeyNames(KeyNames& target) const;

    int currentLanguage = -1;  // -1 until setLanguage, then 0 or 1; written only by setLanguage
    int rightToLeft = 0;       // 1 when the current language reads right to left
    KeyNames keyName;          // display names of the input codes in the current language

private:
    void registerStringNames();
    void fillEnglish();
    void fillDeutsch();
    void checkComplete() const;

    TextRow strings[kLanguageCount] = {};               // [language][id], static texts
    std::unordered_map<std::u16string, int> stringIds;  // id name -> id
    std::u16string languageMask;                        // copy of the static setting
    mutable bool bReportedBadLookup = false;            // a bad getString has been logged
};

// The message of a missing text, as the language service reports it.
std::u16string describeMissingText(const MissingText& missing, const TextRow (&tables)[kLanguageCount]);
