#include "ui/ContextHighScoresOnline.h"

#include "engine/Qor.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "ui/ContextMenuBackground.h"
#include "ui/ContextNetworkWizard1.h"
#include "ui/ContextUploadScores.h"
#include "ui/Global.h"
#include "ui/MenuButton.h"
#include "ui/MenuItemBack.h"
#include "ui/MenuItemLink.h"
#include "ui/ScreenFrame.h"
#include "ui/ScreenStack.h"
#include "ui/WebAddress.h"

namespace {
std::u16string text(int id) { return qor->language().getString(id); }
}  // namespace

ContextHighScoresOnline::ContextHighScoresOnline() {
    bDeleteOnClose = 1;
    if (global) hookBefore = global->pMenuBackground;
    const auto s = static_cast<float>(rowSpacing);
    ScreenFrame::addTitle(this, text(StringId::HIGHSCOREOPTIONS));
    auto* ok = new MenuItemBack(0.0f, static_cast<float>(-cornerY), 0.0f, text(StringId::OK), u"");
    ok->setWidth(160.0f);
    addItem(ok);
    pWorldWide =
        new MenuItemLink(0.0f, 2.0f * s, 0.0f, text(StringId::WORLDWIDESCORES), text(StringId::WORLDWIDESCORESHINT));
    pWorldWide->url = WebAddress::getPageAddress(u"/tv2/highscoretable.php");
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
    pWorldWide->takeTrigger();  // the link has already asked the program to end
    if (pUploadScores->takeTrigger()) {
        const bool networkReady = global && global->configuration.bNetworkWizardDone;
        if (networkReady)
            ScreenStack::push(new ContextUploadScores());
        else
            ScreenStack::push(new ContextNetworkWizard1());
    }
}
