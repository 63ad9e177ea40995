// The players inside the running program, driven by the player's own input: the name a
// first start asks for, and a second profile added, chosen and deleted.
#include <SDL.h>
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "engine/ChildIterator.h"
#include "ui/ContextEnterName.h"
#include "ui/ContextMainGame.h"
#include "ui/ContextPlayers.h"
#include "ui/ContextPopup.h"
#include "ui/FadingText.h"
#include "ui/KeyButton.h"
#include "ui/MenuButton.h"
#include "ui/ProfileWidget.h"
#include "ui/ProgramFixture.h"

namespace {
constexpr int kEscape = 1, kReturn = 28, kDown = 208;

class PlayersProgramTest : public ScreenSizedProgramFixture {
protected:
    std::u16string greeting() {
        for (ChildIterator it(top<ContextMainGame>()); !it.done; it.next())
            if (auto* widget = dynamic_cast<ProfileWidget*>(static_cast<QorBase*>(it.current)))
                return widget->nameLabel->text;
        return u"";
    }
    static std::u16string currentName() { return global->profiles.getProfileName(global->profiles.current); }
    // A finger down and up at the world point (x, y) of a screen centred on the window.
    void tap(float x, float y) {
        SDL_Event e{};
        e.tfinger.touchId = 1;
        e.tfinger.fingerId = 1;
        e.tfinger.x = (400.0f + x) / 800.0f;
        e.tfinger.y = (240.0f - y) / 480.0f;
        for (Uint32 type : {SDL_FINGERDOWN, SDL_FINGERUP}) {
            e.type = type;
            SDL_PushEvent(&e);
            frames(3);
        }
    }
    void tapLetter(char16_t c) {
        for (ChildIterator it(top<ContextEnterName>()); !it.done; it.next())
            if (auto* key = dynamic_cast<KeyButton*>(static_cast<QorBase*>(it.current)); key && key->character == c)
                return tap(key->position.x, key->position.y);
        ADD_FAILURE() << "no key " << static_cast<int>(c);
    }
    // Near the left end of row i, where the keys put the pointer on a row.
    void clickRow(int i) { click(400 - 140, 240 - (135 - 30 * i)); }
};
}  // namespace

TEST_F(PlayersProgramTest, AFirstStartOnTouchInputTakesTheNameFromTheOnScreenKeys) {
    ASSERT_TRUE(tickUntil([this] { return top<ContextSplash>() != nullptr; }));
    global->pContextManager->top()->bFinished = 1;
    ASSERT_TRUE(tickUntil([this] { return top<GameControllerIntro>() != nullptr; }));
    global->pContextManager->top()->bFinished = 1;
    ASSERT_TRUE(tickUntil([this] { return top<ContextEnterName>() != nullptr; }));
    tap(0.0f, 230.0f);  // above the dialog: the finger makes it touch input
    ASSERT_EQ(qor->input().inputMode, QorInput::kModeTouch);
    ContextEnterName* entry = top<ContextEnterName>();
    tapLetter(u'z');
    tapLetter(ContextEnterName::kBackspace);
    for (char16_t c : std::u16string_view(u"ann")) tapLetter(c);
    tapLetter(u' ');
    EXPECT_EQ(entry->name, u"ann ");
    click(400, 460);  // the mouse: the small dialog again, with the name kept
    entry = top<ContextEnterName>();
    EXPECT_EQ(entry->pOkButton->position.y, -80.0f);
    EXPECT_EQ(entry->name, u"ann ");
    tap(0.0f, 230.0f);   // and a finger the keys
    tap(0.0f, -150.0f);  // OK
    ASSERT_TRUE(tickUntil([this] { return top<ContextMainGame>() != nullptr; }));
    EXPECT_EQ(currentName(), u"ann");
    EXPECT_EQ(greeting(), u"Hello, ann!");
}

TEST_F(PlayersProgramTest, ASecondPlayerIsAddedChosenAndDeletedAfterTheQuestion) {
    startToTheTitle();
    frames(2);
    EXPECT_EQ(greeting(), u"Hello, Ann!");
    click(400, 240 - 25);  // the greeting
    ContextPlayers* players = top<ContextPlayers>();
    ASSERT_NE(players, nullptr);
    EXPECT_TRUE(players->pDeleteButton->bDisabled);  // the only profile stays
    clickOn(*players->pAddButton);
    ASSERT_NE(top<ContextEnterName>(), nullptr);
    type("Bob");
    typeReturn();
    ASSERT_TRUE(tickUntil([this] { return top<ContextPlayers>() != nullptr; }));
    EXPECT_EQ(global->profiles.countProfiles(), 2);
    EXPECT_EQ(currentName(), u"Bob");

    clickRow(0);
    EXPECT_EQ(currentName(), u"Ann");
    tapKey(kDown);  // the keys reach the rows too
    tapKey(kReturn);
    EXPECT_EQ(currentName(), u"Bob");
    clickOn(*players->pDeleteButton);
    auto* question = top<ContextPopup>();
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->text, u"Are you sure?");
    clickOn(*question->firstButton);
    ASSERT_TRUE(tickUntil([] { return global->profiles.countProfiles() == 1; }, 10));
    EXPECT_EQ(currentName(), u"Ann");

    tapKey(kEscape);
    ASSERT_TRUE(tickUntil([this] { return top<ContextMainGame>() != nullptr; }));
    frames(2);
    EXPECT_EQ(greeting(), u"Hello, Ann!");
}
