#include "language/Language.h"

#include "engine/ErrorManager.h"
#include "engine/Format.h"
#include "engine/Logger.h"
#include "engine/Qor.h"
#include "language/ExtraTexts.h"

namespace {

constexpr char16_t kEmpty[] = u"";

}  // namespace

Language::Language() : Language(qor->languageMask) {}

Language::Language(std::u16string mask) : languageMask(std::move(mask)) {
    registerStringNames();
    fillEnglish();
    fillDeutsch();
    checkComplete();
}

void Language::registerStringNames() {
    for (const StringIdName& entry : stringIdNames()) {
        stringIds.emplace(entry.name, entry.id);
    }
}

void Language::fillEnglish() {
    fillTextRow(strings[0], englishTexts());
    fillTextRow(strings[0], englishCountryNames());
}

void Language::fillDeutsch() {
    fillTextRow(strings[1], germanTexts());
    fillTextRow(strings[1], germanCountryNames());
}

// A table with a hole would hand a null pointer to every caller that shows that text,
// so a build that lacks one stops at start rather than when the text is first drawn.
void Language::checkComplete() const {
    if (const auto missing = findMissingText(strings)) {
        QOR_FATAL("Language::Language", u"%s", describeMissingText(*missing, strings));
    }
}

std::u16string describeMissingText(const MissingText& missing, const TextRow (&tables)[kLanguageCount]) {
    const char16_t* english = tables[0][missing.id];
    return formatString(u"String %d ('%s') is missing from language %d.", missing.id, english ? english : kEmpty,
                        missing.language);
}

// Callers index in place on every draw, so a bad id must not read outside the table:
// it gives the empty text, and one log line points at the caller.
const char16_t* Language::getString(int id) const {
    if (currentLanguage >= 0 && currentLanguage < kLanguageCount && id >= 0 && id < kStringIdCount) {
        return strings[currentLanguage][id];
    }
    if (!bReportedBadLookup) {
        bReportedBadLookup = true;
        QOR_LOG("Language::getString", u"String %d requested with language %d; the empty text is used.", id,
                currentLanguage);
    }
    return kEmpty;
}

const char16_t* Language::getExtraString(int id) const { return ExtraText::get(currentLanguage, id); }

const char16_t* Language::getString(int language, int id) const {
    if (language < 0 || language >= kLanguageCount || id < 0 || id >= kStringIdCount) return kEmpty;
    return strings[language][id];
}

bool Language::isLanguageAvailable(int language) const { return isLanguageAvailable(language, languageMask); }

bool Language::isLanguageAvailable(int language, std::u16string_view mask) {
    if (mask.empty()) return true;
    if (static_cast<unsigned>(language) >= mask.size()) return false;
    return mask[static_cast<unsigned>(language)] == u'1';
}

// Language 0 is the fallback and is taken without asking the mask.
void Language::setLanguage(int language) {
    currentLanguage = language;
    if (language < 0 || language >= kLanguageCount || !isLanguageAvailable(language)) {
        currentLanguage = 0;
    }
    rightToLeft = std::u16string_view(strings[currentLanguage][StringId::LANGUAGEREADINGORDER]) == u"RTL" ? 1 : 0;
    applyKeyNames(keyName);
}

void Language::applyKeyNames(KeyNames& target) const {
    // Only reached after setLanguage, but an unset language must not index row -1.
    target.build(strings[currentLanguage >= 0 && currentLanguage < kLanguageCount ? currentLanguage : 0]);
}
