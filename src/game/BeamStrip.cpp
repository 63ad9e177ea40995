#include "game/BeamStrip.h"

#include <cmath>

#include "engine/Qor.h"
#include "engine/Random.h"
#include "engine/ResourceManager.h"
#include "game/GameController.h"
#include "game/GameEntity.h"
#include "game/GameFx.h"
#include "render/Quad.h"
#include "render/Renderable.h"
#include "render/Texture.h"

namespace {
constexpr int kLeftMiddle = 4;  // keypad anchor: the strip starts at the beam's position

Texture* findTexture(const char16_t* name) { return static_cast<Texture*>(qor->resources().find(true, name)); }
}  // namespace

namespace BeamStrip {

Quad* makeQuad(const char16_t* textureName) {
    auto* quad = new Quad();
    quad->pTexture = findTexture(textureName);
    return quad;
}

void setLength(Renderable& beam, Quad& quad, float& length, float newLength) {
    if (newLength == length) return;
    length = newLength;
    // The texture's first skin repeats along the strip: its u range is stretched by how
    // many of its widths the strip is long.
    const Texture& texture = *quad.pTexture;
    const auto* skin = texture.skins.empty() ? nullptr : dynamic_cast<const Quad*>(texture.skins[0]);
    const float skinWidth = skin && skin->width > 0.0f ? skin->width : static_cast<float>(texture.width);
    if (skin) quad.uvRect = skin->uvRect;
    quad.uvRect[2] = quad.uvRect[0] + (quad.uvRect[2] - quad.uvRect[0]) * length / skinWidth;
    quad.refresh();
    quad.setAnchor(kLeftMiddle);
    beam.updateXform();
}

void crawl(Quad& quad) {
    const float r = Random::fraction() - 0.5f;
    for (int i = 0; i < quad.vertexBuffer.vertices; ++i) quad.vertexBuffer.vertexArray[i].u += r;
    quad.vertexBuffer.upload();
}

UColor fadeColour(double fade) {
    const auto alpha = static_cast<UColor>(std::lround(255.0 - 255.0 * fade));
    return alpha << 24 | 0x00FFFFFFu;
}

void drawGlow(Renderable& glow, const Vector3& at, float sx, float sy, UColor colour) {
    Texture* flare = findTexture(u"flare");
    if (flare->skins.empty()) return;
    glow.bSkipVisibility = 1;
    glow.pSkin = flare->skins[0];
    glow.position = at;
    glow.scale = Vector3{sx, sy, 1.0f};
    glow.color = colour;
    glow.updateXform();
    glow.render();
}

GameEntity* findTarget(const GameEntity& beam, float& bestDistanceSquared) {
    GameController* game = GameFx::currentGame();
    if (!game) return nullptr;
    Renderable* nearest = nullptr;
    for (int list : {GameController::kEnemyList, GameController::kEnemyBombList, GameController::kBonusBalloonList})
        beam.findRayHit(game->layer(list), nearest, bestDistanceSquared);
    // These lists hold game entities only.
    return dynamic_cast<GameEntity*>(nearest);
}

}  // namespace BeamStrip
