// The title menu inside the running program, driven like a player would: keys, a pad and
// the mouse open and close each screen it leads to, the user data is saved each time the
// menu comes back on top, "Yes" to the Escape question ends the program, and trouble
// with the saved data is told on the title.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/Qor.h"
#include "engine/Strings.h"
#include "game/GameControllerIntro.h"
#include "inputaudio/InputTestEngine.h"
#include "inputaudio/QorInput.h"
#include "platform/GraphicsDevice.h"
#include "render/QorGraphics.h"
#include "runtime/WindowShell.h"
#include "support/TempFolder.h"
#include "ui/ContextEnterName.h"
#include "ui/ContextGameMode.h"
#include "ui/ContextHighScores.h"
#include "ui/ContextMainGame.h"
#include "ui/ContextOptions.h"
#include "ui/ContextPlayers.h"
#include "ui/ContextPopup.h"
#include "ui/ContextSplash.h"
#include "ui/FadingText.h"
#include "ui/IrisOverlay.h"
#include "ui/MenuButton.h"
#include "ui/ProfileWidget.h"
#include "ui/ProgramFixture.h"
#include "ui/TextFont.h"

namespace {
constexpr int kEscape = 1, kReturn = 28, kUp = 200, kDown = 208;
constexpr int kPadButtonChoose = 0, kPadButtonBack = 1;

class ContextMainGameTest : public ScreenSizedProgramFixture {
protected:
    void tapPadButton(int button) {
        devices->joysticks[0].rgbButtons[button] = 0x80;
        frames(3);
        devices->joysticks[0].rgbButtons[button] = 0;
        frames(3);
    }
    void pushPadDown() {
        devices->joysticks[0].lY = 1000;
        frames(3);
        devices->joysticks[0].lY = 0;
        frames(3);
    }
    ContextMainGame* title() { return dynamic_cast<ContextMainGame*>(global->pContextManager->top()); }
    // The window pixel where the title menu shows its point `p` (world units).
    std::pair<int, int> onTitle(const Vector3& p) {
        return windowPixelOfUnits(worldToScreenUnits(*title()->pCamera, p));
    }
    // Light grey pixels (the captions' colour) in the middle band of a button, as last drawn.
    int captionPixels(const Renderable& button) {
        std::vector<std::uint32_t> pixels;
        int w = 0, h = 0;
        if (!qor->pQorGraphics->dxDevice->readBackBuffer(pixels, w, h)) return 0;
        const auto [cx, cy] = windowPixelOfUnits(screenUnitsOf(button));
        int n = 0;
        for (int y = std::max(0, cy - 6); y < std::min(h, cy + 6); ++y)
            for (int x = std::max(0, cx - 60); x < std::min(w, cx + 60); ++x) {
                const std::uint32_t p = pixels[static_cast<std::size_t>(y) * w + x];
                const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
                n += r > 0xA0 && std::abs(r - g) < 0x20 && std::abs(g - b) < 0x20;
            }
        return n;
    }
    // The title menu's "Saving." lines in the log so far.
    int savings() const {
        const std::string log = TempFolder::read(home.file("Torvane2Xmas.log"));
        int n = 0;
        for (std::size_t at = log.find("Saving."); at != std::string::npos; at = log.find("Saving.", at + 1)) ++n;
        return n;
    }
    // Escape closes the screen on top, and the title menu is back on top and saved.
    void escapeBackToTheTitle() {
        const int before = savings();
        tapKey(kEscape);
        ASSERT_TRUE(tickUntil([this] { return topIs<ContextMainGame>(); }, 10));
        EXPECT_EQ(savings(), before + 1);
    }
};
}  // namespace

TEST_F(ContextMainGameTest, KeysPadAndMouseOpenAndCloseEachScreenAndYesToTheQuestionQuits) {
    startToTheTitle();
    EXPECT_GE(savings(), 1);  // the first time on top
    // The captions come from the fonts' caches, which copy glyphs from sheets loaded late.
    EXPECT_GT(captionPixels(*title()->creditsItem), 50);
    EXPECT_GT(captionPixels(*title()->optionsItem), 50);

    // Keys: the pointer walks up from between Options and High Scores to Start Game, then
    // down to High Scores, and Return chooses.
    const auto [x, y] = onTitle((title()->highScoresItem->position + title()->optionsItem->position) * 0.5f);
    click(x, y);
    tapKey(kUp);
    const float highScores = qor->pQorInput->pointerPosition.y;
    tapKey(kUp);
    EXPECT_GT(qor->pQorInput->pointerPosition.y, highScores);
    tapKey(kDown);
    EXPECT_EQ(qor->pQorInput->pointerPosition.y, highScores);
    tapKey(kReturn);
    EXPECT_TRUE(topIs<ContextHighScores>());
    escapeBackToTheTitle();

    // The pad: down once more from High Scores to Options, button 0 chooses, button 1 backs out.
    pushPadDown();
    tapPadButton(kPadButtonChoose);
    EXPECT_TRUE(topIs<ContextOptions>());
    const int before = savings();
    tapPadButton(kPadButtonBack);
    ASSERT_TRUE(tickUntil([this] { return topIs<ContextMainGame>(); }, 10));
    EXPECT_EQ(savings(), before + 1);

    // The mouse: Start Game, Credits and the greeting.
    clickOn(*title()->startGameItem);
    EXPECT_TRUE(topIs<ContextGameMode>());
    escapeBackToTheTitle();
    clickOn(*title()->creditsItem);
    EXPECT_FALSE(topIs<ContextMainGame>());  // the credits page
    escapeBackToTheTitle();
    const auto [greetingX, greetingY] = onTitle(Vector3{0.0f, 25.0f, 0.0f});  // within the greeting's box
    click(greetingX, greetingY);
    EXPECT_TRUE(topIs<ContextPlayers>());
    escapeBackToTheTitle();

    // Escape asks first; "No" keeps the program, "Yes" ends it.
    tapKey(kEscape);
    auto* question = dynamic_cast<ContextPopup*>(global->pContextManager->top());
    ASSERT_NE(question, nullptr);
    clickOn(*question->secondButton);
    EXPECT_TRUE(topIs<ContextMainGame>());
    tapKey(kEscape);
    question = dynamic_cast<ContextPopup*>(global->pContextManager->top());
    ASSERT_NE(question, nullptr);
    clickOn(*question->firstButton);
    frames(30);
    EXPECT_TRUE(ended);
}

// "Click here to change players." as the game's own small font draws it below the
// greeting: the pointer on any row of its glyphs lights the greeting, and a click there
// opens the Players screen.
TEST_F(ContextMainGameTest, TheInvitationToChangePlayersTakesAClickWhereItsGlyphsAreDrawn) {
    startToTheTitle();
    ProfileWidget* widget = nullptr;
    for (BasicLink* c = title()->firstChild; c && !widget; c = c->next)
        widget = dynamic_cast<ProfileWidget*>(static_cast<QorBase*>(c));
    ASSERT_NE(widget, nullptr);
    ASSERT_EQ(widget->hintLabel->text, u"Click here to change players.");
    std::vector<std::uint32_t> pixels;
    int w = 0, h = 0;
    ASSERT_TRUE(qor->pQorGraphics->dxDevice->readBackBuffer(pixels, w, h));
    ASSERT_EQ(w, 800);
    // Light grey pixels (the invitation's colour) in the rows of its line, in the middle.
    const int lineTop = onTitle(widget->hintLabel->position).second;
    std::vector<int> rows;
    for (int y = lineTop; y < lineTop + widget->hintLabel->font->getLineHeight(); ++y) {
        int n = 0;
        for (int x = 320; x < 480; ++x) {
            const std::uint32_t p = pixels[static_cast<std::size_t>(y) * 800 + static_cast<std::size_t>(x)];
            const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            n += r > 0xA0 && std::abs(r - g) < 0x20 && std::abs(g - b) < 0x20;
        }
        if (n >= 3) rows.push_back(y);
    }
    ASSERT_GE(rows.size(), 5u);
    for (int y : rows) {
        pointAt(1, 1);  // away, so the greeting is plain again
        EXPECT_EQ(widget->nameLabel->color, 0xFFCCCCCCu);
        pointAt(400, y);
        EXPECT_EQ(widget->nameLabel->color, 0xFFFF0000u) << "row " << y;
    }
    click(400, rows.back());
    EXPECT_TRUE(tickUntil([this] { return topIs<ContextPlayers>(); }, 10));
}

TEST_F(ContextMainGameTest, AProfileFileThatCannotBeReadIsToldOfOnceAtTheTitleAndKept) {
    const std::string profiles = home.file("Torvane2Xmas.pro");
    std::filesystem::create_directory(profiles);
    ASSERT_TRUE(tickUntil([this] { return topIs<ContextSplash>(); }));
    global->pContextManager->top()->bFinished = 1;
    ASSERT_TRUE(tickUntil([this] { return topIs<GameControllerIntro>(); }));
    global->pContextManager->top()->bFinished = 1;
    // The notice comes before the name entry that the missing profiles bring.
    ASSERT_TRUE(tickUntil([this] { return topIs<ContextPopup>() || topIs<ContextEnterName>(); }));
    auto* notice = dynamic_cast<ContextPopup*>(global->pContextManager->top());
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(notice->title, u"Your saved data");
    EXPECT_NE(notice->text.find(utf8ToWide(profiles) + u"|cannot be read (it is not a regular file)"),
              std::u16string::npos);
    useScriptedDevices();
    tapKey(kReturn);
    ASSERT_TRUE(tickUntil([this] { return topIs<ContextEnterName>(); }));
    type("Ann");
    typeReturn();
    // Back on the title, and saved again, with nothing new to tell.
    ASSERT_TRUE(tickUntil([this] { return topIs<ContextMainGame>(); }));
    frames(5);
    EXPECT_TRUE(topIs<ContextMainGame>());
    WindowShell::onClose();
    EXPECT_TRUE(std::filesystem::is_directory(profiles));
    EXPECT_TRUE(std::filesystem::exists(home.file("Torvane2Xmas.hst")));
}
