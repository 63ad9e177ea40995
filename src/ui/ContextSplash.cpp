#include "ui/ContextSplash.h"

#include "engine/Qor.h"
#include "engine/ResourceManager.h"
#include "render/Skin.h"
#include "ui/LogoImage.h"

ContextSplash::ContextSplash() {
    duration = kDuration;
    bDeleteOnClose = 1;
    bCloseOnFireKey = 1;
    bShowPointer = 0;
    clearColor = 0xFF000000u;
    auto* logo = new LogoImage();
    logo->pSkin = static_cast<Skin*>(qor->resources().find(true, u"qrstudios:0"));
    logo->scaleMode = Renderable::kScaleAspect;
    logo->updateXform();
    logo->lifetime = 2.5;
    logo->fadeIn = 0.25;
    logo->fadeOut = 0.5;
    addChild(logo);
}
