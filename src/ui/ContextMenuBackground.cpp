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
    camera()->setPosition(0.0f, static_cast<float>(g.virtualHeight / 2 - 24),
                          static_cast<float>(-(g.virtualWidth / 2)));
}
