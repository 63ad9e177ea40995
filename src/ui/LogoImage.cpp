#include "ui/LogoImage.h"

#include <algorithm>
#include <cmath>

#include "ui/MenuResources.h"

LogoImage::LogoImage() {
    pSkin = MenuResources::findSkin(u"logo:all");
    updateXform();
}

void LogoImage::tick(double time, double dt) {
    QorBase::tick(time, dt);
    if (delay > 0.0) delay -= dt;
    if (delay > 0.0) return;
    if (age < lifetime) {
        age += dt;
        double a = 1.0;
        if (fadeIn > 0.0 && age < fadeIn)
            a = std::clamp(age / fadeIn, 0.0, 1.0);
        else if (fadeOut > 0.0 && age > lifetime - fadeOut)
            a = std::clamp((lifetime - age) / fadeOut, 0.0, 1.0);
        color = (color & 0x00FFFFFFu) | static_cast<UColor>(std::lround(255.0 * a)) << 24;
    }
    if (age >= lifetime && bAutoRemove) pendingDelete = 1;
}

void LogoImage::render() {
    if (delay <= 0.0) Renderable::render();
}
