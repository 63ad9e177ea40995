#include "game/BonusBalloonKind.h"

#include "engine/ErrorManager.h"
#include "engine/Format.h"
#include "engine/Qor.h"
#include "engine/ResourceManager.h"
#include "game/GameController.h"
#include "game/GameFx.h"
#include "game/PlayerData.h"
#include "game/Vehicle.h"
#include "inputaudio/Sound.h"
#include "language/Language.h"
#include "render/Skin.h"

namespace {
struct KindLook {
    int balloonSkin;  // of "balloons"
    int textId;       // the label
    int iconSkin;     // of "hud-bonusicons"
};

constexpr KindLook kLooks[BonusBalloonKind::kKinds] = {
    {6, StringId::BONUSOFFENSIVEDESC, 3},       {1, StringId::BONUSDEFENSIVEDESC, 1},
    {3, StringId::BONUSBLASTERDESC, 0},         {2, StringId::BONUSLESSBLASTERDESC, 2},
    {5, StringId::BONUSSLOWTURNINGRATEDESC, 5}, {4, StringId::BONUSSLOWSPEEDDESC, 4},
};

Skin* numberedSkin(const char16_t* texture, int index) {
    return static_cast<Skin*>(qor->resources().find(true, formatString(u"%s:%d", texture, index)));
}

void changeVehicle(std::int32_t kind, Vehicle& v) {
    switch (kind) {
        case 0:
            v.attackFactor *= 2.0f;
            break;
        case 1:
            v.defenceFactor *= 0.5f;
            break;
        case 2:
            v.energyCap *= 2.0f;
            v.energy = v.energyCap;
            break;
        case 3:
            v.energyCap *= 0.5f;
            break;
        case 4:
            v.turnRate *= 0.5f;
            break;
        default:
            v.maxPower *= 0.5f;
            break;
    }
}
}  // namespace

BonusBalloonKind::BonusBalloonKind(std::int32_t kind_, float x, float y, float z, double lifetime)
    : BonusBalloon(x, y, z, lifetime), kind(kind_) {
    QOR_ASSERT("BonusBalloonKind::BonusBalloonKind", kind >= 0 && kind < kKinds);
    const KindLook& look = kLooks[kind];
    pSkin = numberedSkin(u"balloons", look.balloonSkin);
    updateXform();
    bonusText = qor->language().getString(look.textId);
    bSabotage = kind >= kHelpfulKinds ? 1 : 0;
}

void BonusBalloonKind::applyBonus(std::int32_t side) {
    const std::int32_t target = bSabotage ? 1 - side : side;
    const GameController* game = GameFx::currentGame();
    const PlayerData* player = game ? game->getPlayerData(target) : nullptr;
    if (Vehicle* v = player ? player->pVehicle.get() : nullptr) {
        changeVehicle(kind, *v);
        auto* icon = new Renderable();
        icon->pSkin = numberedSkin(u"hud-bonusicons", kLooks[kind].iconSkin);
        v->bonusIcons.addChild(icon);
    }
    GameFx::findSound(bSabotage ? u"bonusPickup-" : u"bonusPickup+")->play();
}
