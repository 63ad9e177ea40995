#pragma once
// Test support for the game's effects and projectiles: blank textures with a chosen
// number of skins, registered under the names the effects look up ("explosion:3" style
// skins are not registered: the effects take the texture's skins in order). Needs an
// engine with a resource registry; the textures are destroyed with this object.
#include <string>
#include <vector>

#include "engine/Qor.h"
#include "engine/ResourceManager.h"
#include "render/Quad.h"
#include "render/Texture.h"

class EffectTextures {
public:
    EffectTextures() = default;
    ~EffectTextures() {
        for (Texture* t : textures) t->destroy();
    }
    EffectTextures(const EffectTextures&) = delete;
    EffectTextures& operator=(const EffectTextures&) = delete;

    // A w x h texture of `skins` skins (each a quad of the whole texture) named `name`.
    Texture* add(const std::u16string& name, int skins, int w = 32, int h = 32) {
        auto* texture = new Texture(w, h, 0);
        for (int i = 1; i < skins; ++i) {
            auto* quad = new Quad();
            quad->pTexture = texture;
            quad->setSourceRect(0, 0, h, w);
            texture->skins.push_back(quad);
        }
        textures.push_back(texture);
        qor->pResourceManager->addResource(texture, name);
        return texture;
    }

    // The effect textures with as many frames as the game's art has.
    void addEffectTextures() {
        add(u"explosion", 16);
        add(u"smoke", 16);
        add(u"splash", 8);
        add(u"circularSplash", 8);
        add(u"flare", 1);
    }

    std::vector<Texture*> textures;
};
