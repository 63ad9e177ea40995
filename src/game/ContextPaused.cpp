#include "game/ContextPaused.h"

#include "engine/ClassInfo.h"
#include "engine/Qor.h"
#include "engine/VirtualScreen.h"
#include "game/GameController.h"
#include "game/GameGlobal.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "render/VertexBuffer.h"
#include "ui/FramePanel.h"
#include "ui/MenuButton.h"
#include "ui/MenuItem.h"
#include "ui/MenuItemBack.h"
#include "ui/MenuItemCheckboxApply.h"
#include "ui/ScreenBelow.h"

QOR_DEFINE_CLASS(ContextPaused, ContextMenu, (&makeInstance<ContextPaused, BasicLink>))

ClassInfo* ContextPaused::getClass() const { return &classInfo; }

namespace {
std::u16string text(int id) { return qor->language().getString(id); }
}  // namespace

ContextPaused::ContextPaused() {
    bDeleteOnClose = 1;
    const auto s = static_cast<float>(rowSpacing);
    addChild(new FramePanel(0.0f, 0.0f, 0.0f, kPanelSize, kPanelSize - s, text(StringId::PAUSED)));
    addItem(new MenuItemBack(0.0f, s, 0.0f, text(StringId::RESUME), text(StringId::RESUMEHINT)));
    pEndGame = new MenuButton(0.0f, 0.0f, 0.0f, text(StringId::QUITGAME), text(StringId::QUITGAMEHINT));
    pEndGame->questionText = text(StringId::CONFIRM);
    addItem(pEndGame);
    // Without an application (a class check) the box is bound to nothing.
    std::uint8_t* mute = global ? &global->configuration.bMuteAudio : nullptr;
    pMute = new MenuItemCheckboxApply(kMuteX, -2.0f * s, 0.0f, mute, text(StringId::MUTEAUDIO),
                                      text(StringId::MUTEAUDIOHINT));
    // The caption stands right of the box in every language.
    pMute->captionLocation = MenuItem::kCaptionRight;
    addItem(pMute);
}

void ContextPaused::tickContents(double time, double dt) {
    ContextMenu::tickContents(time, dt);
    if (!pEndGame->takeTrigger()) return;
    bFinished = 1;
    auto* app = dynamic_cast<GameGlobal*>(global);
    if (app && app->pCurrentGame) app->pCurrentGame->bFinished = 1;
}

void ContextPaused::renderContents() {
    if (auto* below = dynamic_cast<Context*>(static_cast<QorBase*>(prev))) below->frameRender();
    const float w = static_cast<float>(kVirtualScreenWidth) / 2.0f;
    const float h = static_cast<float>(kVirtualScreenHeight) / 2.0f;
    const float rect[4] = {-w, h, w, -h};
    drawFilledRect(rect, kDimColour);
    ContextMenu::renderContents();
}

void ContextPaused::addBoxesToKeepClear(std::vector<ViewRect>& boxes) const {
    if (const Context* below = ScreenBelow::of(*this)) below->addBoxesToKeepClear(boxes);
}
