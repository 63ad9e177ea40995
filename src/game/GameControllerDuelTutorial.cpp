#include "game/GameControllerDuelTutorial.h"

#include <algorithm>
#include <initializer_list>
#include <utility>

#include "engine/ClassInfo.h"
#include "engine/Format.h"
#include "engine/Qor.h"
#include "game/InGameOverlay.h"
#include "game/PlayerData.h"
#include "game/Vehicle.h"
#include "inputaudio/QorInput.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "ui/ContextManager.h"
#include "ui/FadingText.h"
#include "ui/Global.h"
#include "ui/MenuFonts.h"
#include "ui/TextBacking.h"

QOR_DEFINE_CLASS(GameControllerDuelTutorial, GameControllerDuel, (&makeInstance<GameControllerDuelTutorial, BasicLink>))

ClassInfo* GameControllerDuelTutorial::getClass() const { return &classInfo; }

namespace {
std::u16string text(int id) { return qor->language().getString(id); }

// A panel of a large title at 100 and medium lines below it at the given heights.
InGameOverlay* textPanel(int titleId, std::initializer_list<std::pair<int, float>> lines) {
    auto* panel = new InGameOverlay();
    panel->addLine(text(titleId), MenuFonts::kLarge, 100.0f);
    for (auto [id, y] : lines) panel->addLine(text(id), MenuFonts::kMedium, y);
    return panel;
}

// The title and three lines at the usual heights.
InGameOverlay* fourLinePanel(int first) {
    return textPanel(first, {{first + 1, 30.0f}, {first + 2, 0.0f}, {first + 3, -30.0f}});
}
}  // namespace

GameControllerDuelTutorial::GameControllerDuelTutorial() {
    bTutorial = 1;
    computerPlayers = 1;
    playerData[0]->bHuman = 1;
    playerData[1]->bHuman = 0;
    aiSkill = 0.0f;
    scoreTable = kNoScoreTable;
    days = kTutorialDays;
}

void GameControllerDuelTutorial::startGame(const SavedGame*) { GameControllerDuel::startGame(nullptr); }

void GameControllerDuelTutorial::onStateChanged() {
    showStatePanels();
    GameControllerDuel::onStateChanged();
}

// A panel pushed later lies above the earlier ones and is seen first.
void GameControllerDuelTutorial::showStatePanels() {
    if (state == kStart) {
        push(introPanel());
    } else if (state == kBetweenRounds && !bDayOverShown) {
        if (round == 0) push(controlsPanel());
        if (round < kRounds) push(roundPanel(round + 1));
    } else if (state == kDayOver) {
        if (!bDayOverShown) {
            push(dayOverPanel());
            bDayOverShown = 1;
        }
        if (day == days) push(warOverPanel());
    }
}

void GameControllerDuelTutorial::tickGame() {
    spawnTimedBonus();
    showTips();
}

// Evaluated in this order in one frame, so the bonus tip, pushed last, lies on top.
void GameControllerDuelTutorial::showTips() {
    const Vehicle* v = playerData[0]->pVehicle.get();
    if (!bHealthTipShown && v && v->health < v->fullHealth) {
        push(fourLinePanel(StringId::TUTORIALHEALTH1));
        bHealthTipShown = 1;
    }
    if (!bBlasterTipShown && v && v->energy < v->energyCap) {
        push(fourLinePanel(StringId::TUTORIALBLASTER1));
        bBlasterTipShown = 1;
    }
    if (!bBonusTipShown && layer(kBonusBalloonList)->firstChild) {
        push(fourLinePanel(StringId::TUTORIALBONUS1));
        bBonusTipShown = 1;
    }
}

void GameControllerDuelTutorial::push(InGameOverlay* panel) {
    if (global && global->pContextManager)
        global->pContextManager->addChild(panel);
    else
        panel->destroy();
}

InGameOverlay* GameControllerDuelTutorial::introPanel() { return fourLinePanel(StringId::TUTORIALHELP11); }

// No title: every line in the medium font, the keys of the person's side in the small
// one below them (mouse only: a touch player has no keyboard to hand).
InGameOverlay* GameControllerDuelTutorial::controlsPanel() const {
    const int mode = qor->input().inputMode;
    const bool touch = mode == QorInput::kModeTouch;
    auto* panel = new InGameOverlay();
    panel->addLine(text(touch ? StringId::IOS_TUTORIALMOUSE1 : StringId::TUTORIALMOUSE1), MenuFonts::kMedium, 100.0f);
    panel->addLine(text(StringId::TUTORIALMOUSE2), MenuFonts::kMedium, 20.0f);
    panel->addLine(text(StringId::TUTORIALMOUSE3), MenuFonts::kMedium, -20.0f);
    panel->addLine(text(touch ? StringId::IOS_TUTORIALMOUSE4 : StringId::TUTORIALMOUSE4), MenuFonts::kMedium, -100.0f);
    if (mode != QorInput::kModeMouse) return panel;
    const std::int32_t column = std::clamp(sideFor(0), 0, GameConfiguration::kPlayers - 1);
    const KeyNames& names = qor->language().keyName;
    auto key = [&](int row) { return global ? names.get(global->configuration.keys[row][column]) : std::u16string(); };
    // The keys' line stands over the islands: it gets a backing.
    panel
        ->addLine(
            formatString(u"(%s: %s, %s, %s, %s, %s)", text(StringId::DEVICE_KEYBOARD), key(GameConfiguration::kKeyLeft),
                         key(GameConfiguration::kKeyRight), key(GameConfiguration::kKeyUp),
                         key(GameConfiguration::kKeyDown), key(GameConfiguration::kKeyFire)),
            MenuFonts::kSmall, -160.0f)
        ->backing = TextBacking::kColour;
    return panel;
}

InGameOverlay* GameControllerDuelTutorial::roundPanel(std::int32_t roundNumber) {
    static constexpr int kFirst[kRounds] = {StringId::TUTORIALHELP21, StringId::TUTORIALHELP31,
                                            StringId::TUTORIALHELP41};
    return fourLinePanel(kFirst[std::clamp(roundNumber, 1, kRounds) - 1]);
}

InGameOverlay* GameControllerDuelTutorial::dayOverPanel() {
    return textPanel(StringId::TUTORIALHELP51, {{StringId::TUTORIALHELP52, 15.0f}, {StringId::TUTORIALHELP53, -15.0f}});
}

InGameOverlay* GameControllerDuelTutorial::warOverPanel() { return fourLinePanel(StringId::TUTORIALHELP61); }
