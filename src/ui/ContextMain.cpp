#include "ui/ContextMain.h"

#include "engine/ErrorManager.h"
#include "engine/Qor.h"
#include "engine/VirtualScreen.h"
#include "inputaudio/QorInput.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "render/QorGraphics.h"
#include "ui/ContextCredits.h"
#include "ui/ContextHighScores.h"
#include "ui/ContextMenuBackground.h"
#include "ui/ContextOptions.h"
#include "ui/Global.h"
#include "ui/LogoImage.h"
#include "ui/MenuButton.h"
#include "ui/MenuItemBack.h"
#include "ui/MenuItemLink.h"
#include "ui/ProfileWidget.h"
#include "ui/ScreenStack.h"
#include "ui/UserDataNotice.h"
#include "ui/WebAddress.h"

namespace {
constexpr int kCrashKey = 45;                // X
constexpr int kTitleMenuHighScoreTable = 5;  // the tables opened from the title menu

std::u16string text(int id) { return qor->language().getString(id); }
}  // namespace

// The title menu reports the menu record: it is a menu to the rest of the program.
ClassInfo* ContextMain::getClass() const { return &ContextMenu::classInfo; }

ContextMain::ContextMain() {
    bDeleteOnClose = 1;
    bConfirmClose = 1;
    if (global) {
        hookBefore = global->pMenuBackground;
        hookAfter = global->pMenuForeground;
    }
    const float h = static_cast<float>(kVirtualScreenHeight);
    auto* logo = new LogoImage();
    logo->setPosition(0.0f, h / 2.0f - 110.0f, 0.0f);
    logo->setScale(0.6f);
    addChild(logo);
    addItem(new ProfileWidget());
    auto button = [this](int row, int caption) {
        auto* item = new MenuButton(0.0f, static_cast<float>(-row * rowSpacing), 0.0f, text(caption), u"");
        item->setWidth(256.0f);
        addItem(item);
        return item;
    };
    startGameItem = button(1, StringId::STARTGAME);
    highScoresItem = button(2, StringId::HIGHSCORES);
    optionsItem = button(3, StringId::OPTIONSDOTS);
    creditsItem = button(4, StringId::CREDITS);
    auto* website = new MenuItemLink(static_cast<float>(cornerX - 80), static_cast<float>(-cornerY), 0.0f,
                                     text(StringId::WEBSITE), text(StringId::WEBSITEHINT));
    website->url = WebAddress::getPageAddress(kWebsitePath);
    website->setWidth(160.0f);
    addItem(website);
    auto* quit = new MenuItemBack(static_cast<float>(80 - cornerX), static_cast<float>(-cornerY), 0.0f,
                                  text(StringId::QUIT), u"");
    quit->setWidth(160.0f);
    addItem(quit);
}

void ContextMain::onActivate(bool first) {
    ContextMenu::onActivate(first);
    if (global) global->saveUserData();
    UserDataNotice::showUntold();
}

void ContextMain::onDeactivate(bool closing) { ContextMenu::onDeactivate(closing); }

void ContextMain::onStartGame() {}

void ContextMain::tickContents(double time, double dt) {
    ContextMenu::tickContents(time, dt);
    const QorInput* in = &qor->input();
    if (in && in->wasPressed(kCrashKey) && in->modifierState == QorInput::kCtrlAlt)
        QOR_FATAL("ContextMain::tickContents", u"Crash requested.");
    if (startGameItem->takeTrigger()) onStartGame();
    if (optionsItem->takeTrigger()) ScreenStack::push(new ContextOptions());
    if (highScoresItem->takeTrigger()) ScreenStack::push(new ContextHighScores(kTitleMenuHighScoreTable));
    if (creditsItem->takeTrigger()) ScreenStack::push(new ContextCredits());
}
