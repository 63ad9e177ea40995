#include "ui/ContextAdvancedOptions.h"

#include <cmath>

#include "engine/BasicLink.h"
#include "engine/Qor.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "render/QorGraphics.h"
#include "render/VideoMode.h"
#include "ui/Global.h"
#include "ui/MenuItemCheckbox.h"
#include "ui/MenuItemChoice.h"
#include "ui/MenuItemValue.h"
#include "ui/ScreenFrame.h"

namespace {
constexpr float kSwitchColumn = 103.0f;

std::u16string text(int id) { return qor->language().getString(id); }
}  // namespace

// Opens on the mode in use, which the service lists once however many refresh rates and
// formats the screen has it in. A size in use that the service does not list (a
// window's) goes before the first larger mode.
void ContextAdvancedOptions::listModes() {
    const QorGraphics& g = qor->graphics();
    const int w = g.videoModeWidth, h = g.videoModeHeight;
    bool listed = w <= 0 || h <= 0;  // an unknown size is not offered
    for (BasicLink* node = g.videoModes.firstChild; node; node = node->next) {
        const auto* m = static_cast<const VideoMode*>(node);
        listed = listed || (m->width == w && m->height == h);
        if (!listed && (m->width > w || (m->width == w && m->height > h))) {
            offer(w, h);
            listed = true;
        }
        offer(m->width, m->height);
    }
    if (!listed) offer(w, h);
}

// Appends an entry, chosen when it is the size in use.
void ContextAdvancedOptions::offer(int width, int height) {
    const QorGraphics& g = qor->graphics();
    if (width == g.videoModeWidth && height == g.videoModeHeight)
        selectedMode = static_cast<std::int32_t>(modeNames.size());
    modeNames.push_back(VideoMode(width, height).toString());
    modeSizes.push_back(ModeSize{width, height});
}

ContextAdvancedOptions::ContextAdvancedOptions() {
    listModes();
    GameConfiguration& c = global->configuration;
    // The x given here carries the mirror factor, which the items' own mirroring undoes:
    // the switches stay in the same columns in every language.
    const float m = horizontalSign;
    const auto s = static_cast<float>(rowSpacing);
    const float y1 = std::trunc(2.5f * s);
    const auto count = static_cast<std::int32_t>(modeNames.size());
    auto add = [this](MenuItem* item) {
        addItem(item);
        item->captionLocation = defaultCaptionLocation;
        return item;
    };
    add(new MenuItemChoice(0.0f, y1, 0.0f, &selectedMode, 0, count > 0 ? count - 1 : 0, &modeNames,
                           text(StringId::VIDEOMODE), text(StringId::VIDEOMODEHINT)));
    add(new MenuItemValue(0.0f, y1 - s, 0.0f, &c.maxFps, kMinFps, kMaxFps, kFpsStep, text(StringId::MAXIMUMFPS),
                          text(StringId::MAXIMUMFPSHINT)));
    pFullScreen = new MenuItemCheckbox(-kSwitchColumn * m, y1 - 2.0f * s, 0.0f, &c.bFullScreen,
                                       text(StringId::FULLSCREEN), text(StringId::FULLSCREENHINT));
    add(pFullScreen);
    pLetterbox = new MenuItemCheckbox(kSwitchColumn * m, y1 - 2.0f * s, 0.0f, &c.bAllowLetterbox,
                                      text(StringId::LETTERBOX), text(StringId::LETTERBOXHINT));
    add(pLetterbox);
    add(new MenuItemCheckbox(-kSwitchColumn * m, y1 - 3.0f * s, 0.0f, &c.bUseVSync, text(StringId::VSYNC),
                             text(StringId::VSYNCHINT)));
    add(new MenuItemCheckbox(-kSwitchColumn * m, y1 - 4.0f * s, 0.0f, &c.bBilinearFilter,
                             text(StringId::BILINEARFILTER), text(StringId::BILINEARFILTERHINT)));
    add(new MenuItemCheckbox(-kSwitchColumn * m, y1 - 5.0f * s, 0.0f, &c.bShowFps, text(StringId::SHOWFPS),
                             text(StringId::SHOWFPSHINT)));
    ScreenFrame::build(this, text(StringId::ADVANCEDOPTIONS));
}

void ContextAdvancedOptions::tickContents(double time, double dt) {
    ContextMenu::tickContents(time, dt);
    pLetterbox->bDisabled = global->configuration.bFullScreen == 0 ? 1 : 0;
}

void ContextAdvancedOptions::onDeactivate(bool closing) {
    ContextMenu::onDeactivate(closing);
    if (!closing) return;
    const auto i = static_cast<std::size_t>(selectedMode);
    if (selectedMode >= 0 && i < modeSizes.size())
        global->applySettings(modeSizes[i].width, modeSizes[i].height);
    else
        global->applySettings(-1, -1);
}
