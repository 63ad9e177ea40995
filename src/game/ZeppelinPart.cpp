#include "game/ZeppelinPart.h"

#include <numbers>

#include "engine/ClassInfo.h"
#include "engine/ErrorManager.h"
#include "engine/Qor.h"
#include "engine/ResourceManager.h"
#include "game/GameController.h"
#include "game/GameFx.h"
#include "game/SpriteEffect.h"
#include "game/Zeppelin.h"
#include "render/Texture.h"

QOR_DEFINE_CLASS(ZeppelinPart, Enemy, nullptr)

namespace {
constexpr float kPi = std::numbers::pi_v<float>;

Skin* partSkin() {
    auto* texture = static_cast<Texture*>(qor->resources().find(true, u"zeppelin"));
    QOR_ASSERT("ZeppelinPart::ZeppelinPart", texture->skins.size() > ZeppelinPart::kSkin);
    return texture->skins[ZeppelinPart::kSkin];
}
}  // namespace

ZeppelinPart::ZeppelinPart(float strength) {
    scoreValue = kScoreValue;
    health = maxHealth = strength;
    pSkin = partSkin();
    scale = Vector3{kScale, kScale, 1.0f};
    collisionSensitivity = 1.0f;
    updateXform();
}

ClassInfo* ZeppelinPart::getClass() const { return &classInfo; }

void ZeppelinPart::tick(double, double) {
    auto* hull = dynamic_cast<Renderable*>(owner.get());
    if (!hull) return;
    position = hull->xform.transformCoord(offset);
    rotation = hull->rotation;
    updateXform();
}

void ZeppelinPart::destroy(GameEntity*) {
    const Vector3 c = boundsCentre;
    GameFx::addToList(GameController::kEffectList, new SpriteEffect(c.x, c.y, c.z, GameFx::detailPieces(4), 25.0f,
                                                                    50.0f, 3 * kPi / 2, kPi / 2, 1.5f));
    GameFx::playAt(u"explosionShort", position, -0.5f, 0.0f);
    tellOwner();
    pendingDelete = 1;
    GameFx::shakeCamera(kShakeStrength);
}

void ZeppelinPart::tellOwner() {
    if (auto* zeppelin = dynamic_cast<Zeppelin*>(owner.get())) zeppelin->onPartDestroyed();
}
