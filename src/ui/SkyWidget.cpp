#include "ui/SkyWidget.h"

#include <cmath>
#include <cstring>

#include "engine/ClassInfo.h"
#include "engine/ErrorManager.h"
#include "engine/Qor.h"
#include "engine/ResourceManager.h"
#include "render/Camera.h"
#include "render/Context.h"
#include "render/QorGraphics.h"
#include "render/Skin.h"
#include "render/Texture.h"

QOR_DEFINE_CLASS(SkyWidget, QorBase, nullptr)

SkyWidget::SkyWidget() {
    ResourceManager& resources = qor->resources();
    sea = static_cast<Texture*>(resources.find(true, u"sea"));
    sky = static_cast<Texture*>(resources.find(true, u"sky"));
    QOR_ASSERT("SkyWidget::SkyWidget", !sky->skins.empty() && sea->skins.size() >= 2);
    skySkin = sky->skins[0];
    seaSkin = sea->skins[1];
}

SkyWidget::~SkyWidget() { dropPicture(); }

ClassInfo* SkyWidget::getClass() const { return &classInfo; }

float SkyWidget::firstTileX(float left) { return std::floor(left / kSkyPeriod) * kSkyPeriod; }

namespace {
// The very same bits: a kept picture is reused only for exactly the same placement.
bool sameBits(const DeviceMatrix& a, const DeviceMatrix& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;  // NOLINT(bugprone-suspicious-memory-comparison)
}
}  // namespace

bool SkyWidget::Placement::operator==(const Placement& other) const {
    return sameBits(view, other.view) && sameBits(projection, other.projection) && viewport.x == other.viewport.x &&
           viewport.y == other.viewport.y && viewport.width == other.viewport.width &&
           viewport.height == other.viewport.height;
}

void SkyWidget::render() {
    GraphicsDevice& device = *qor->graphics().dxDevice;
    const Context* context = qor->pCurrentContext;
    if (!context || !context->pCamera) {
        device.clear(kClearColour);
        return;
    }
    const Placement placement{device.getTransform(TransformKind::kView),
                              device.getTransform(TransformKind::kProjection), device.getViewport()};
    // A screenshot's alpha pass draws the tiles as coverage: the kept picture holds
    // colours, and a silhouette is not one to keep.
    const bool silhouette = qor->graphics().bSilhouettePass != 0;
    if (!silhouette && picture && placement == pictureFor && device.copyViewportFrom(*picture)) return;
    device.clear(silhouette ? 0xFFFFFFFFu : kClearColour);  // opaque, in the alpha pass
    drawTiles();
    if (silhouette) return;
    // Drawn twice alike: the camera stands still, and the picture is worth keeping.
    if (placement == lastDrawn && !keepPicture(device, placement)) dropPicture();
    lastDrawn = placement;
}

void SkyWidget::drawTiles() {
    const ViewRect view = qor->pCurrentContext->pCamera->getViewRect(0.0f);
    for (float x = firstTileX(view.left); x < view.right; x += kSkyPeriod) {
        drawSkin(skySkin, x, -1.0f, 2.0f);
        for (int i = 0; i < 3; ++i) drawSkin(seaSkin, x + kSeaPeriod * static_cast<float>(i), 0.0f, 1.0f);
    }
}

void SkyWidget::drawSkin(Skin* skin, float x, float y, float scale) {
    pen.pSkin = skin;
    pen.position = Vector3{x, y, 0.0f};
    pen.scale = Vector3{scale, scale, 1.0f};
    pen.updateXform();
    pen.render();
}

bool SkyWidget::keepPicture(GraphicsDevice& device, const Placement& placement) {
    const DeviceViewport& v = placement.viewport;
    if (!picture || picture->width() != v.width || picture->height() != v.height) {
        dropPicture();
        picture.reset(device.createTexture(v.width, v.height));
        if (!picture) return false;
        textureBytes += v.width * v.height * 4;
    }
    if (!device.copyViewportTo(*picture)) return false;
    pictureFor = placement;
    return true;
}

void SkyWidget::dropPicture() {
    if (!picture) return;
    textureBytes -= picture->width() * picture->height() * 4;
    picture.reset();
}

void SkyWidget::onQORmodeChange(int oldMode, int newMode) {
    if (oldMode == Qor::MODE_PAUSED && newMode == Qor::MODE_FROZEN) dropPicture();
}
