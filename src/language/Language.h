#pragma once
// The text service: every user-visible text by its string id in the current language.
#include <string>

class Language {
public:
    Language() = default;
    // The text of `id` in the current language.
    const char16_t* getString(int id) const;
};
