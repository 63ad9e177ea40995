#pragma once
// The backdrop of the menus and the games: clears the screen to the sky's grey, then
// tiles the sky (drawn twice its size, every 1524 units) and the joined sea ("sea:all",
// every 508 units) across whatever the current camera sees at depth 0. The tiles stay
// put in the world as the camera moves.
//
// While the camera stands still (the menus) the picture never changes, so once two
// frames drew it alike it is kept on the drawing device and copied into the frames that
// follow instead of being drawn again; any change of the camera or the viewport draws it
// afresh.
//
// Uses the textures "sky" and "sea" (and their skins), which belong to the resources.
#include <memory>

#include "engine/QorBase.h"
#include "platform/DeviceTexture.h"
#include "platform/GraphicsDevice.h"
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
    ~SkyWidget() override;
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;
    void render() override;
    // Lets the kept picture go with the device's other textures.
    void onQORmodeChange(int oldMode, int newMode) override;

    // Left edge of the first sky tile for a view whose left edge is `left`.
    static float firstTileX(float left);

    Texture* sea = nullptr;  // not owned
    Texture* sky = nullptr;  // not owned

private:
    // What the picture depends on besides the textures.
    struct Placement {
        DeviceMatrix view, projection;
        DeviceViewport viewport;
        bool operator==(const Placement& other) const;
    };
    void drawTiles();
    void drawSkin(Skin* skin, float x, float y, float scale);
    // Keeps the picture just drawn for `placement`; false when the device cannot.
    bool keepPicture(GraphicsDevice& device, const Placement& placement);
    void dropPicture();

    Skin* skySkin = nullptr;                 // the sky's first skin
    Skin* seaSkin = nullptr;                 // the sea's second skin: both halves joined
    Renderable pen;                          // draws one tile at a time
    std::unique_ptr<DeviceTexture> picture;  // the kept picture, when there is one
    Placement pictureFor{};                  // what the kept picture shows
    Placement lastDrawn{};                   // what the last drawn picture showed (none: an empty viewport)
};
