#include "ui/ContextLanguageSelect.h"

#include <iterator>

#include "engine/ErrorManager.h"
#include "engine/Logger.h"
#include "engine/Qor.h"
#include "engine/SystemHelpers.h"
#include "language/Language.h"

std::int32_t ContextLanguageSelect::autodetectLanguage() {
    const std::u16string system = getSystemLanguageCode();
    QOR_LOG("ContextLanguageSelect::autodetectLanguage", u"Trying to autodetect system language '%s'...", system);
    for (int i = 0; i < Language::kLanguageCount; ++i) {
        if (!Language::isLanguageAvailable(i, qor->languageMask)) continue;
        if (system == qor->pLanguage->getString(i, StringId::LANGUAGEISOCODE)) {
            QOR_LOG("ContextLanguageSelect::autodetectLanguage", u"Found match.");
            return i;
        }
    }
    QOR_LOG("ContextLanguageSelect::autodetectLanguage", u"Not found.");
    return 0;
}

std::int32_t ContextLanguageSelect::isoCode2skinIndex(std::u16string_view isoCode) {
    for (std::size_t i = 0; i < std::size(kIsoCodes); ++i)
        if (isoCode == kIsoCodes[i]) return static_cast<std::int32_t>(i);
    QOR_FATAL("ContextLanguageSelect::isoCode2skinIndex", u"Could not find flag for ISO code '%s'",
              std::u16string(isoCode));
}
