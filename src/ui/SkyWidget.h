#pragma once
// The backdrop of the menus and the games: clears the screen to the sky's grey, then
// tiles the sky (drawn twice its size, every 1524 units) and the joined sea ("sea:all",
// every 508 units) across whatever the current camera sees at depth 0. The tiles stay
// put in the world as the camera moves.
//
// Uses the textures "sky" and "sea" (and their skins), which belong to the resources.
#include "engine/QorBase.h"
#include "render/Renderable.h"

class Skin;
class Texture;

class SkyWidget : public QorBase {
public:
    static constexpr float kSkyPeriod = 1524.0f;  // world units between sky tiles
    static constexpr float kSeaPeriod = 508.0f;   // world units between sea tiles
    static constexpr std::uint32_t kClearColour = 0xFFA0A0A0u;

    // Finds the textures and skins; fatal when they are not loaded.
    SkyWidget();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;
    void render() override;

    // Left edge of the first sky tile for a view whose left edge is `left`.
    static float firstTileX(float left);

    Texture* sea = nullptr;  // not owned
    Texture* sky = nullptr;  // not owned

private:
    void drawSkin(Skin* skin, float x, float y, float scale);

    Skin* skySkin = nullptr;  // the sky's first skin
    Skin* seaSkin = nullptr;  // the sea's second skin: both halves joined
    Renderable pen;           // draws one tile at a time
};
