#include "ui/ContextLanguageSelect.h"

#include <iterator>

#include "engine/ChildIterator.h"
#include "engine/ErrorManager.h"
#include "engine/Logger.h"
#include "engine/Qor.h"
#include "engine/SystemHelpers.h"
#include "inputaudio/QorInput.h"
#include "language/Language.h"
#include "render/QorGraphics.h"
#include "ui/ContextDialog.h"
#include "ui/LanguageFlag.h"
#include "ui/ScreenUnits.h"

std::int32_t ContextLanguageSelect::autodetectLanguage() {
    const std::u16string system = getSystemLanguageCode();
    QOR_LOG("ContextLanguageSelect::autodetectLanguage", u"Trying to autodetect system language '%s'...", system);
    for (int i = 0; i < Language::kLanguageCount; ++i) {
        if (!Language::isLanguageAvailable(i, qor->languageMask)) continue;
        if (system == qor->language().getString(i, StringId::LANGUAGEISOCODE)) {
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

void ContextLanguageSelect::create(ContextDialog* screen) {
    screen->bDeleteOnClose = 1;
    screen->bCloseOnEscape = 0;
    screen->bHideFrameRate = 1;
    screen->clearColor = kClearColour;
    for (int i = 0; i < Language::kLanguageCount; ++i) {
        if (!Language::isLanguageAvailable(i, qor->languageMask)) continue;
        const std::int32_t skin = isoCode2skinIndex(qor->language().getString(i, StringId::LANGUAGEISOCODE));
        auto* flag = new LanguageFlag(i, skin);
        screen->addChild(flag);
        screen->addNavigationEntry(flag);
    }
    placeInGrid(*screen);
    // Park the pointer in the lower right corner, away from every flag.
    const QorGraphics& g = qor->graphics();
    const Vector3 park{0.4f * static_cast<float>(g.virtualWidth), -0.4f * static_cast<float>(g.virtualHeight), 0.0f};
    const Vector3 p = worldToScreenUnits(*screen->pCamera, park);
    qor->input().setMousePos(p.x, p.y, 0.0f);
}

void ContextLanguageSelect::placeInGrid(ContextDialog& screen) {
    int n = 0;
    for (ChildIterator it(&screen); !it.done; it.next()) ++n;
    const int columns = n * kCell / 400 + 1;
    const int rows = n / columns + (n % columns ? 1 : 0);
    int k = 0;
    for (ChildIterator it(&screen); !it.done; it.next(), ++k) {
        const int c = k % columns, r = k / columns;
        const int x = c * kCell - (columns * kCell - kCell) / 2;
        const int y = (rows * kCell - kCell) / 2 - r * kCell;
        static_cast<Renderable*>(it.current)->setPosition(static_cast<float>(x), static_cast<float>(y), 0.0f);
    }
}
