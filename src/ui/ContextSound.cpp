#include "ui/ContextSound.h"

#include "engine/Qor.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "ui/Global.h"
#include "ui/MenuItemCheckbox.h"
#include "ui/MenuItemCheckboxApply.h"
#include "ui/MenuItemChoice.h"
#include "ui/MenuItemVolume.h"
#include "ui/ScreenFrame.h"

namespace {
constexpr int kVolumeSteps = 24;
constexpr int kQualities = 3;  // low, high, very high
constexpr float kValueColumn = 64.0f;
constexpr float kSwitchColumn = -39.0f;

std::u16string text(int id) { return qor->language().getString(id); }
}  // namespace

ContextSound::ContextSound() {
    GameConfiguration& c = global->configuration;
    const auto s = static_cast<float>(rowSpacing);
    addItem(new MenuItemChoice(kValueColumn, 2.0f * s, 0.0f, &c.audioQuality, 0, kQualities - 1,
                               StringId::ENUMSOUNDQUALITY0, text(StringId::SOUNDQUALITY),
                               text(StringId::SOUNDQUALITYHINT)));
    addItem(
        new MenuItemVolume(kValueColumn, s, 0.0f, &c.soundVolume, 0, kVolumeSteps, text(StringId::SOUNDVOLUME), u""));
    addItem(new MenuItemVolume(kValueColumn, 0.0f, 0.0f, &c.musicVolume, 0, kVolumeSteps, text(StringId::MUSICVOLUME),
                               u""));
    addItem(new MenuItemCheckbox(kSwitchColumn, -s, 0.0f, &c.bInGameMusic, text(StringId::INGAMEMUSIC),
                                 text(StringId::INGAMEMUSICHINT)));
    addItem(new MenuItemCheckboxApply(kSwitchColumn, -2.0f * s, 0.0f, &c.bMuteAudio, text(StringId::MUTEAUDIO),
                                      text(StringId::MUTEAUDIOHINT)));
    ScreenFrame::build(this, text(StringId::SOUND));
}

void ContextSound::onDeactivate(bool closing) {
    ContextMenu::onDeactivate(closing);
    if (closing) global->applySettings(-1, -1);
}
