#include "ui/LogoImage.h"

#include <algorithm>
#include <cmath>

#include "engine/Qor.h"
#include "engine/ResourceManager.h"
#include "render/Skin.h"

LogoImage::LogoImage() {
    pSkin = static_cast<Skin*>(qor->pResourceManager->find(true, u"logo:all"));
    updateXform();
}

void LogoImage::tick(double time, double dt) {
    QorBase::tick(time, dt);
    if (delay > 0.0) delay -= dt;
    if (delay > 0.0) return;
    if (age < lifetime) {
        age += dt;
        double opacity = 1.0;
        if (fadeIn > 0.0 && age < fadeIn)
            opacity = std::clamp(age / fadeIn, 0.0, 1.0);
        else if (fadeOut > 0.0 && age > lifetime - fadeOut)
            opacity = std::clamp((lifetime - age) / fadeOut, 0.0, 1.0);
        const auto alpha = static_cast<std::uint32_t>(std::lround(255.0 * opacity));
        color = (color & 0x00FFFFFFu) | alpha << 24;
    }
    if (age >= lifetime && bAutoRemove) pendingDelete = 1;
}

void LogoImage::render() {
    if (delay <= 0.0) Renderable::render();
}
