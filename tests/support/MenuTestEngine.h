#pragma once
// Test support for the menus: a headless engine (no display) with in-memory settings, an
// input service on scripted devices, the language service, plain frame skins under the
// names the menus look up (200 x 48 buttons and plates, a 200 x 64 panel) and fake fonts
// that measure every character 10 units wide and record what they draw.
#include <memory>
#include <string>
#include <vector>

#include "engine/ResourceManager.h"
#include "game/GameGlobal.h"
#include "inputaudio/InputTestEngine.h"
#include "language/Language.h"
#include "render/Context.h"
#include "render/Quad.h"
#include "render/Renderable.h"
#include "render/Texture.h"
#include "support/UserDataHome.h"
#include "ui/ContextManager.h"
#include "ui/ContextMenu.h"
#include "ui/MenuFonts.h"
#include "ui/TextFont.h"

class FakeFont : public TextFont {
public:
    struct Drawn {
        std::u16string text;
        Vector3 position;
        UColor colour;
        int flags;
    };
    explicit FakeFont(int lineHeight_ = 24) : lineHeight(lineHeight_) {}
    Vector3 measureText(std::u16string_view text) const override {
        return Vector3{10.0f * static_cast<float>(text.size()), static_cast<float>(lineHeight), 0.0f};
    }
    int getLineHeight() const override { return lineHeight; }
    void drawText(Renderable& pen, int flags, const std::u16string& text) override {
        drawn.push_back(Drawn{text, pen.position, pen.color, flags});
    }
    int lineHeight;
    std::vector<Drawn> drawn;
};

class MenuTestEngine : public InputTestEngine {
public:
    MenuTestEngine() {
        scriptInput();
        qor->pLanguage = new Language(u"");
        qor->pLanguage->setLanguage(0);
        qor->pResourceManager = new ResourceManager();
        for (const char16_t* name : {u"gui-game-editbox", u"gui-game-button"})
            for (int i = 0; i < 3; ++i) addSkin(std::u16string(name) + u":" + static_cast<char16_t>(u'0' + i), 200, 48);
        addSkin(u"gui-game-square:0", 200, 64);
        for (int i = 0; i < MenuFonts::kCount; ++i) MenuFonts::set(i, &font);
        ContextMenu::navigationMode = ContextMenu::kMouseNavigation;
        ContextMenu::lastNavigationModeFrame = -1;
        ContextMenu::defaultCaptionLocation = 4;
        input().setInputMode(QorInput::kModeMouse);
    }
    ~MenuTestEngine() {
        deleteGlobal();
        MenuFonts::clear();
        for (Quad* q : skins) q->destroy();
        if (pointerTexture) pointerTexture->destroy();
        delete qor->pResourceManager;
        qor->pResourceManager = nullptr;
        delete qor->pLanguage;
        qor->pLanguage = nullptr;
    }

    void addSkin(const std::u16string& name, float w, float h) {
        auto* q = new Quad();
        q->setSize(w, h);
        skins.push_back(q);
        qor->pResourceManager->addResource(q, name);
    }

    // Ticks `object` as the current context `screen` does, with the pointer at `world`.
    void tickIn(Context& screen, QorBase& object, const Vector3& world, double dt = 0.0625) {
        screen.pointer = world;
        Context* previous = qor->pCurrentContext;
        qor->pCurrentContext = &screen;
        object.tick(0.0, dt);
        qor->pCurrentContext = previous;
    }

    // The application object, its user files in a private data folder, with an empty
    // screen stack; deleted with the engine.
    void makeGlobal() {
        if (!qor->pResourceManager->find(false, u"mousePointer")) {
            pointerTexture = new Texture(16, 16, 0);
            qor->pResourceManager->addResource(pointerTexture, u"mousePointer");
        }
        global = new GameGlobal();
        global->pContextManager = new ContextManager();
    }
    void deleteGlobal() {
        delete global;
        global = nullptr;
    }

    // One frame in which the pointer stays where the test put it (there is no system
    // cursor to follow here).
    void step() {
        const Vector3 at = input().pointerPosition;
        frame();
        input().pointerPosition = at;
        input().pointerDelta = Vector3{0.0f, 0.0f, 0.0f};
    }
    // A click at the pointer: a synthetic contact, pressed in the next frame and released
    // in the one after; `tick` runs in each of the two frames.
    template <class Tick>
    void click(Tick tick) {
        input().addMouseContact();
        step();
        tick();
        step();
        tick();
    }

    UserDataHome home;  // before anything that could write user files
    FakeFont font;
    std::vector<Quad*> skins;
    Texture* pointerTexture = nullptr;
};
