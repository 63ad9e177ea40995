#include "ui/ContextHighScoresOnline.h"

#include "engine/Qor.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "ui/ContextDialog.h"
#include "ui/ContextMenuBackground.h"
#include "ui/FadingText.h"
#include "ui/Global.h"
#include "ui/MenuButton.h"
#include "ui/MenuFonts.h"
#include "ui/MenuItemBack.h"
#include "ui/PlaceholderScreen.h"
#include "ui/ScreenStack.h"

namespace {
std::u16string text(int id) { return qor->language().getString(id); }

// The network part's screen of that title, until it is built.
void pushStandIn(int titleId) {
    auto* screen = new ContextDialog();
    PlaceholderScreen::build(screen, text(titleId));
    ScreenStack::push(screen);
}
}  // namespace

ContextHighScoresOnline::ContextHighScoresOnline() {
    bDeleteOnClose = 1;
    if (global) hookBefore = global->pMenuBackground;
    const auto s = static_cast<float>(rowSpacing);
    auto* title = new FadingText(0.0f, static_cast<float>(cornerY), 0.0f, text(StringId::HIGHSCOREOPTIONS),
                                 MenuFonts::get(MenuFonts::kLarge), 0xFFFFFFFFu);
    title->layoutFlags |= 0x10;
    addChild(title);
    auto* ok = new MenuItemBack(0.0f, static_cast<float>(-cornerY), 0.0f, text(StringId::OK), u"");
    ok->setWidth(160.0f);
    addItem(ok);
    pWorldWide =
        new MenuButton(0.0f, 2.0f * s, 0.0f, text(StringId::WORLDWIDESCORES), text(StringId::WORLDWIDESCORESHINT));
    addItem(pWorldWide);
    pUploadScores = new MenuButton(0.0f, s, 0.0f, text(StringId::UPLOADSCORES), text(StringId::UPLOADSCORESHINT));
    addItem(pUploadScores);
    pResetScores = new MenuButton(0.0f, -s, 0.0f, text(StringId::RESETSCORES), text(StringId::RESETSCORESHINT));
    pResetScores->questionText = text(StringId::CONFIRM);
    addItem(pResetScores);
}

void ContextHighScoresOnline::tickContents(double time, double dt) {
    ContextMenu::tickContents(time, dt);
    if (pResetScores->takeTrigger() && global) {
        global->configuration.resetHighScores();
        global->lastHighScorePlace = -1;
    }
    if (pWorldWide->takeTrigger()) pushStandIn(StringId::WORLDWIDESCORES);
    if (pUploadScores->takeTrigger()) {
        const bool networkReady = global && global->configuration.bNetworkWizardDone;
        pushStandIn(networkReady ? StringId::UPLOADSCORES : StringId::NETWORKWIZARD);
    }
}
