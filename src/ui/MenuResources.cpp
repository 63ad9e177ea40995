#include "ui/MenuResources.h"

#include "engine/Qor.h"
#include "engine/ResourceManager.h"
#include "inputaudio/Sound.h"
#include "render/Skin.h"

QorBase* MenuResources::find(std::u16string_view name) { return qor->resources().find(false, name); }

Skin* MenuResources::findSkin(std::u16string_view name) { return dynamic_cast<Skin*>(find(name)); }

void MenuResources::playSound(std::u16string_view name) {
    if (auto* sound = dynamic_cast<Sound*>(find(name))) sound->play();
}
