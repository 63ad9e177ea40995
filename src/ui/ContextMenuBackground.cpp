#include "ui/ContextMenuBackground.h"

#include "engine/Qor.h"
#include "render/QorGraphics.h"
#include "ui/BlenderCamera.h"
#include "ui/SkyWidget.h"
#include "ui/Snowfall.h"

ContextMenuBackground::ContextMenuBackground() {
    addChild(new SkyWidget());
    addChild(new Snowfall(pCamera, kSnowSpread));
    const QorGraphics& g = qor->graphics();
    const int halfWidth = g.virtualWidth / 2, halfHeight = g.virtualHeight / 2;  // whole units
    camera()->setPosition(0.0f, static_cast<float>(halfHeight - 24), static_cast<float>(-halfWidth));
}
