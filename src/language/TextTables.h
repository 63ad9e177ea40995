#pragma once
// The built-in text tables of both languages and the check that they are complete.
//
// Each language's texts are static, read-only UTF-16 strings listed as (id, text) pairs;
// the language service copies only the pointers into its per-language arrays. The lists
// are pure data with no engine dependency, so tests can inspect them directly.
#include <optional>
#include <span>

#include "language/StringIds.h"

// Number of built-in languages: 0 English, 1 German.
inline constexpr int kLanguageCount = 2;

// One text of a language table.
struct TextEntry {
    int id;                // string id, 0 to kStringIdCount - 1
    const char16_t* text;  // zero-terminated, static storage, never null
};

// Language 0, every id except the country names 200 to 439.
std::span<const TextEntry> englishTexts();
// Language 1, every id except the country names 200 to 439.
std::span<const TextEntry> germanTexts();
// The country names 200 to 439 (generated from the iso-codes data).
std::span<const TextEntry> englishCountryNames();
std::span<const TextEntry> germanCountryNames();

// One language's table: a pointer per id; null until a text is filled in.
using TextRow = const char16_t* [kStringIdCount];

// Stores the pointers of `entries` into `row` by id. An entry whose id is outside
// 0..kStringIdCount-1 is skipped (it cannot name any text); a later entry for the same
// id replaces an earlier one.
void fillTextRow(TextRow& row, std::span<const TextEntry> entries);

// The first id without a text, searching language 0 and then language 1 in ascending
// id order.
struct MissingText {
    int language;
    int id;
};
std::optional<MissingText> findMissingText(const TextRow (&tables)[kLanguageCount]);
