#include "ui/MousePointer.h"

#include "engine/ErrorManager.h"
#include "engine/Qor.h"
#include "engine/ResourceManager.h"
#include "inputaudio/QorInput.h"
#include "render/Context.h"
#include "render/Skin.h"
#include "render/Texture.h"

MousePointer::MousePointer() {
    auto* texture = static_cast<Texture*>(qor->resources().find(true, u"mousePointer"));
    QOR_ASSERT("MousePointer::MousePointer", !texture->skins.empty());
    pSkin = texture->skins[0];
    updateXform();
}

void MousePointer::tick(double, double) {
    // The pointer of the context ticking us: the input pointer in that context's world.
    const Context* context = qor->pCurrentContext;
    const Vector3 p = context ? context->pointer : Vector3{0.0f, 0.0f, 0.0f};
    position = Vector3{p.x, p.y, 0.0f};
    updateXform();
    const bool touch = qor->input().inputMode == QorInput::kModeTouch;
    std::uint32_t alpha = 255;
    if (qor->bDebugLocked) {
        bHidden = touch ? 1 : 0;
    } else {
        bHidden = 0;
        if (touch) alpha = kTouchDebugAlpha;
    }
    color = (color & 0x00FFFFFFu) | alpha << 24;
}
