#include "render/Texture.h"

#include "engine/ClassInfo.h"
#include "engine/ErrorManager.h"
#include "engine/Qor.h"
#include "platform/DeviceTexture.h"
#include "platform/GraphicsDevice.h"
#include "platform/ResultCode.h"
#include "render/QorGraphics.h"

QOR_DEFINE_CLASS(Texture, QorBase, nullptr)

Texture::Texture(int width_, int height_, int flags_)
    : realWidth(width_ > 0 ? width_ : 1), realHeight(height_ > 0 ? height_ : 1), flags(flags_) {
    const int hq2x = qor->hq2x > 0 ? qor->hq2x : 1;
    width = realWidth / hq2x;
    height = realHeight / hq2x;
    pixels.assign(static_cast<std::size_t>(realWidth) * realHeight, 0u);
}

Texture::~Texture() { delete dxTexture; }

ClassInfo* Texture::getClass() const { return &classInfo; }

void Texture::onQORmodeChange(int oldMode, int newMode) {
    if (oldMode == Qor::MODE_PAUSED && newMode == Qor::MODE_FROZEN) {
        delete dxTexture;
        dxTexture = nullptr;
    }
}

void Texture::ensureLoaded() {
    if (dxTexture) return;
    dxTexture = qor->pQorGraphics->dxDevice->createTexture(realWidth, realHeight);
    if (!dxTexture)
        callFailedAt("Texture::ensureLoaded", __FILE__, __LINE__, ResultCode::kOutOfVideoMemory,
                     "qor->pQorGraphics->dxDevice->createTexture(realWidth, realHeight)");
    dxTexture->update(0, 0, realWidth, realHeight, pixels.data(), realWidth);
}

void Texture::use() {
    ensureLoaded();
    qor->pQorGraphics->dxDevice->setTexture(dxTexture);
    if (lastUsedFrame < qor->frameCounter) {
        ++qor->counters.texturesUsed;
        qor->counters.texelsUsed += realWidth * realHeight;
        lastUsedFrame = qor->frameCounter;
    }
}

std::array<float, 4> Texture::getUV(const Rect& r) const {
    const int hq2x = qor->hq2x > 0 ? qor->hq2x : 1;
    const float w = static_cast<float>(width * hq2x);
    const float h = static_cast<float>(height * hq2x);
    return {static_cast<float>(r.left) / w, static_cast<float>(r.top) / h, static_cast<float>(r.right) / w,
            static_cast<float>(r.bottom) / h};
}

void Texture::setPixels(const std::vector<std::uint32_t>& argb) {
    if (argb.size() != pixels.size()) return;
    pixels = argb;
    if (dxTexture) dxTexture->update(0, 0, realWidth, realHeight, pixels.data(), realWidth);
}
