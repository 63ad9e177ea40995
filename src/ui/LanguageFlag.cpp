#include "ui/LanguageFlag.h"

#include "engine/ErrorManager.h"
#include "engine/Format.h"
#include "engine/Qor.h"
#include "engine/ResourceManager.h"
#include "inputaudio/QorInput.h"
#include "render/Camera.h"
#include "render/Context.h"
#include "render/QorGraphics.h"
#include "render/Skin.h"
#include "render/Texture.h"
#include "ui/ContextManager.h"
#include "ui/Global.h"
#include "ui/ScreenUnits.h"

LanguageFlag::LanguageFlag(std::int32_t languageIndex_, std::int32_t skinIndex) : languageIndex(languageIndex_) {
    bHasInvXform = 1;
    auto* tex = static_cast<Texture*>(qor->resources().find(true, u"languageFlags"));
    if (skinIndex < 0 || skinIndex >= static_cast<int>(tex->skins.size()))
        assertionFailedAt("LanguageFlag::LanguageFlag", __FILE__, __LINE__,
                          "skinIndex >= 0 && skinIndex < tex->skins.size()");
    pSkin = tex->skins[static_cast<std::size_t>(skinIndex)];
    updateXform();
    const auto s = static_cast<float>(qor->hq2x);
    scale.x = s;
    updateXform();
    scale.y = s;
    updateXform();
}

bool LanguageFlag::isUnderPointer() {
    const Context* context = qor->pCurrentContext;
    return context && isPointInside(context->pointer);
}

void LanguageFlag::tick(double, double) {
    if (!isUnderPointer() || !qor->input().anyTouchPressed()) return;
    qor->defaultLanguage = languageIndex;
    if (global && global->pContextManager && global->pContextManager->top())
        global->pContextManager->top()->bFinished = 1;
}

Vector3 LanguageFlag::getNavigationPoint(int index) {
    if (index != 0 || !bNavigable) return Vector3{-1.0f, -1.0f, -1.0f};
    auto* context = static_cast<Context*>(findContext());
    return worldToScreenUnits(*context->pCamera, position);
}
