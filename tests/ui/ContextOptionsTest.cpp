// The options screens over a headless engine: every item edits the configuration field
// it names, within that field's range.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "engine/BasicLink.h"
#include "support/MenuTestEngine.h"
#include "ui/ContextDialog.h"
#include "ui/ContextGraphics.h"
#include "ui/ContextOptions.h"
#include "ui/ContextSound.h"
#include "ui/Global.h"
#include "ui/MenuItemCheckbox.h"
#include "ui/MenuItemValue.h"

namespace {
using Field = std::function<void*(GameConfiguration&)>;

template <class T>
T* findItem(ContextMenu& screen, const std::u16string& caption) {
    for (BasicLink* c = screen.firstChild; c; c = c->next)
        if (auto* item = dynamic_cast<T*>(static_cast<QorBase*>(c)); item && item->caption == caption) return item;
    return nullptr;
}

struct Binding {
    const char* screen;
    std::u16string caption;
    Field field;
    int minimum, maximum;  // 0, 1 for a switch
    bool isSwitch;
};

class ContextOptionsTest : public ::testing::TestWithParam<Binding> {
protected:
    void SetUp() override { engine.makeGlobal(); }
    MenuTestEngine engine;
};

ContextMenu* makeScreen(const std::string& name) {
    if (name == "sound") return new ContextSound();
    if (name == "graphics") return new ContextGraphics();
    if (name == "gameplay") return openGameplayOptions();
    return nullptr;
}

#define FIELD(f) ([](GameConfiguration& c) -> void* { return &c.f; })
INSTANTIATE_TEST_SUITE_P(Items, ContextOptionsTest,
                         ::testing::Values(Binding{"gameplay", u"In-game help", FIELD(bInGameHelp), 0, 1, true},
                                           Binding{"gameplay", u"Allow cheats", FIELD(bAllowCheats), 0, 1, true},
                                           Binding{"graphics", u"Detail", FIELD(detail), 0, 1, false},
                                           Binding{"sound", u"Audio quality", FIELD(audioQuality), 0, 2, false},
                                           Binding{"sound", u"Sound volume", FIELD(soundVolume), 0, 24, false},
                                           Binding{"sound", u"Music volume", FIELD(musicVolume), 0, 24, false},
                                           Binding{"sound", u"In-game music", FIELD(bInGameMusic), 0, 1, true},
                                           Binding{"sound", u"Mute audio", FIELD(bMuteAudio), 0, 1, true}));
#undef FIELD

TEST_P(ContextOptionsTest, EachItemEditsItsFieldWithinItsRange) {
    const Binding& b = GetParam();
    std::unique_ptr<ContextMenu> screen(makeScreen(b.screen));
    ASSERT_NE(screen, nullptr);
    void* field = b.field(global->configuration);
    if (b.isSwitch) {
        auto* box = findItem<MenuItemCheckbox>(*screen, b.caption);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(static_cast<void*>(box->value), field);
        return;
    }
    auto* item = findItem<MenuItemValue>(*screen, b.caption);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(static_cast<void*>(item->value), field);
    EXPECT_EQ(item->minimum, b.minimum);
    EXPECT_EQ(item->maximum, b.maximum);
    EXPECT_EQ(item->step, 1);
}

}  // namespace
