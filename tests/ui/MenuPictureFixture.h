#pragma once
// Test support for picture tests of the menus: a window at the virtual screen's size,
// frame textures drawn at test time (48 x 48 plates with a light 4-texel rim, one per
// face, registered under the names the menus look up) and a bitmap font made from test
// glyph sheets in every menu font slot.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/Qor.h"
#include "engine/ResourceManager.h"
#include "language/Language.h"
#include "render/EngineFixture.h"
#include "render/FontQuad.h"
#include "render/QorGraphics.h"
#include "render/Quad.h"
#include "render/ReferenceImage.h"
#include "render/TestGlyphSheets.h"
#include "render/TextScene.h"
#include "render/Texture.h"
#include "ui/ContextMenu.h"
#include "ui/FontQuadTextFont.h"
#include "ui/MenuFonts.h"

class MenuPictureFixture : public EngineFixture {
protected:
    std::string settingsText() const override { return kTextPictureSettings; }
    void SetUp() override {
        EngineFixture::SetUp();
        if (!started) return;
        qor->pLanguage->setLanguage(0);
        qor->pQorGraphics->bHighDetail = 1;
        ContextMenu::navigationMode = ContextMenu::kMouseNavigation;
        holder = new Context();
        plate(u"gui-game-button", {0xFF5A6270u, 0xFFB03030u, 0xFF303030u});
        plate(u"gui-game-editbox", {0xFF3A4250u, 0xFF903030u, 0xFF303030u});
        plate(u"gui-game-square", {0xFF203050u, 0xFF304070u, 0xFF203050u});
        makeGlyphSheet(u"menuTex1", 20, 0, 128);
        makeGlyphSheet(u"menuTex2", 20, 128, 128);
        font = new FontQuad();
        font->spacing = 1;
        font->fontUppercaseLineRaw = 4;
        font->fontLowercaseLineRaw = 7;
        font->loadGlyphSheets(u"menuTex");
        font->createCache();
        adapter = std::make_unique<FontQuadTextFont>(font);
        for (int i = 0; i < MenuFonts::kCount; ++i) MenuFonts::set(i, adapter.get());
    }
    void TearDown() override {
        if (started) {
            MenuFonts::clear();
            font->destroy();
            for (const char16_t* n : {u"menuTex1", u"menuTex2"}) qor->pResourceManager->find(true, n)->destroy();
            holder->destroy();
        }
        EngineFixture::TearDown();
    }
    // Draws `screen` twice (the second frame uses the font's cache) and compares it.
    void expectPicture(Context* screen, const std::string& name) {
        runFrame(screen);
        runFrame(screen);
        int w = 0, h = 0;
        const std::vector<std::uint32_t> pixels = backBuffer(w, h);
        EXPECT_TRUE(ReferenceImage::matches(name, pixels, w, h, 24, 200));
    }

    Context* holder = nullptr;  // owns the frame textures
    FontQuad* font = nullptr;
    std::unique_ptr<FontQuadTextFont> adapter;

private:
    void plate(const std::u16string& name, const std::vector<std::uint32_t>& fills) {
        const int n = static_cast<int>(fills.size());
        std::vector<std::uint32_t> px(static_cast<std::size_t>(48 * n * 48));
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 48 * n; ++x) {
                const int lx = x % 48;
                const bool rim = lx < 4 || lx >= 44 || y < 4 || y >= 44;
                px[static_cast<std::size_t>(y * 48 * n + x)] =
                    rim ? 0xFFE0E0E0u : fills[static_cast<std::size_t>(x / 48)];
            }
        Texture* texture = makeTexture(holder, 48 * n, 48, px, false);
        for (int i = 0; i < n; ++i) {
            auto* quad = new Quad();
            quad->pTexture = texture;
            quad->setSourceRect(48 * i, 0, 48, 48 * i + 48);
            texture->addChild(quad);
            qor->pResourceManager->addResource(quad, name + u":" + static_cast<char16_t>(u'0' + i));
        }
    }
};
