#include "ui/SkyWidget.h"

#include <cmath>

#include "engine/ClassInfo.h"
#include "engine/ErrorManager.h"
#include "engine/Qor.h"
#include "engine/ResourceManager.h"
#include "platform/GraphicsDevice.h"
#include "render/Camera.h"
#include "render/Context.h"
#include "render/QorGraphics.h"
#include "render/Skin.h"
#include "render/Texture.h"

QOR_DEFINE_CLASS(SkyWidget, QorBase, nullptr)

SkyWidget::SkyWidget() {
    ResourceManager& resources = *qor->pResourceManager;
    sea = static_cast<Texture*>(resources.find(true, u"sea"));
    sky = static_cast<Texture*>(resources.find(true, u"sky"));
    QOR_ASSERT("SkyWidget::SkyWidget", !sky->skins.empty() && sea->skins.size() >= 2);
    skySkin = sky->skins[0];
    seaSkin = sea->skins[1];
}

ClassInfo* SkyWidget::getClass() const { return &classInfo; }

float SkyWidget::firstTileX(float left) { return std::floor(left / kSkyPeriod) * kSkyPeriod; }

void SkyWidget::render() {
    qor->pQorGraphics->dxDevice->clear(kClearColour);
    const Context* context = qor->pCurrentContext;
    if (!context || !context->pCamera) return;
    const ViewRect view = context->pCamera->getViewRect(0.0f);
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
