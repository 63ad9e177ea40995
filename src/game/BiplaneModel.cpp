#include "game/BiplaneModel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/Qor.h"
#include "game/EnemyFx.h"
#include "game/GameController.h"
#include "game/GameEntity.h"
#include "game/GameFx.h"
#include "render/Context.h"
#include "render/Texture.h"

namespace {
constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kTwoPi = 2 * kPi;
}  // namespace

BiplaneModel::BiplaneModel() {
    setTextures(u"biplane", u"biplane-markings");
    propellerTexture = EnemyFx::texture(u"propeller");
    const Skin* first = EnemyFx::skin(*bodyTexture, 0);
    width = first->width;
    height = first->height;
}

void BiplaneModel::setTextures(const char16_t* bodyName, const char16_t* markingsName) {
    bodyTexture = EnemyFx::texture(bodyName);
    markingsTexture = EnemyFx::texture(markingsName);
}

int BiplaneModel::frameFor(float h, bool& mirrored) {
    float a = std::fmod(h, kTwoPi);
    if (a < 0.0f) a += kTwoPi;
    const int n = std::clamp(static_cast<int>((a + kPi / kSteps) * kSteps / kTwoPi), 0, kSteps);
    mirrored = n < 24 || n > 72;
    if (n < 24) return 24 - n;
    if (n <= 72) return n - 24;
    return 120 - n;
}

void BiplaneModel::showFrame(Renderable& part, Texture* texture, int frame) {
    // A picture with fewer frames keeps the last one it showed.
    if (frame >= 0 && static_cast<std::size_t>(frame) < texture->skins.size())
        part.pSkin = texture->skins[static_cast<std::size_t>(frame)];
}

bool BiplaneModel::propellerShown() const {
    const GameController* game = GameFx::currentGame();
    return game && game->bPX35 && !plain;
}

void BiplaneModel::placeParts(const Renderable& owner) {
    const Context* context = qor->pCurrentContext;
    const double now = context ? context->localTime : 0.0;
    if (now >= nextFlipTime) {
        propellerPhase ^= 1;
        nextFlipTime = now + kPropellerFlip;
    }
    bool mirrored = false;
    const int frame = frameFor(heading, mirrored);
    const Vector3 turn{0.0f, mirrored ? kPi : 0.0f, 0.0f};
    showFrame(body, bodyTexture, frame);
    showFrame(markings, markingsTexture, frame);
    showFrame(propeller, propellerTexture, frame + kFrames * propellerPhase);
    body.color = owner.color;
    markings.color = kMarkingsColour;
    for (Renderable* part : {&body, &markings, &propeller}) part->setup(nullptr, &owner.position, &turn, &owner.scale);
    const float s = std::clamp(1.0f - (owner.position.y - GameEntity::kWaterLine) / 1000.0f, 0.5f, 1.0f);
    const Vector3 at{owner.position.x, kShadowY, owner.position.z};
    const Vector3 size{s, s * 0.5f, 1.0f};
    shadowPart.pSkin = body.pSkin;
    shadowPart.color = kShadowColour;
    shadowPart.setup(nullptr, &at, &turn, &size);
}

void BiplaneModel::draw(Renderable& owner) {
    placeParts(owner);
    if (!plain && shadow) shadowPart.render();
    const bool prop = propellerShown();
    if (prop && heading < kPi) propeller.render();
    body.render();
    if (plain) return;
    markings.render();
    if (prop && heading >= kPi) propeller.render();
}
