#pragma once
// Test support for the start-up screens: a whole engine on an off-screen window (display
// tests only), the application object with its user files in the test's data folder,
// the two textures the screen stack needs registered as plain quads, and key presses
// written straight into the input service's state.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/Format.h"
#include "engine/Qor.h"
#include "engine/ResourceManager.h"
#include "game/GameGlobal.h"
#include "inputaudio/QorInput.h"
#include "render/EngineFixture.h"
#include "render/Quad.h"
#include "render/Texture.h"
#include "ui/ContextManager.h"
#include "ui/ContextMenu.h"

using Journal = std::vector<std::string>;

inline void expectPoint(const Vector3& v, float x, float y, float z) {
    EXPECT_FLOAT_EQ(v.x, x);
    EXPECT_FLOAT_EQ(v.y, y);
    EXPECT_FLOAT_EQ(v.z, z);
}

// A screen that writes its activations, ticks and end into a journal.
class RecordingScreen : public Context {
public:
    RecordingScreen(Journal& journal_, std::string name_) : journal(journal_), name(std::move(name_)) {
        bDeleteOnClose = 1;
    }
    ~RecordingScreen() override { journal.push_back(name + " destroyed"); }
    void onActivate(bool first) override { journal.push_back(name + (first ? " activate first" : " activate")); }
    void onDeactivate(bool closing) override { journal.push_back(name + (closing ? " closed" : " covered")); }
    void tickContents(double time, double dt) override {
        journal.push_back(name + " tick");
        Context::tickContents(time, dt);
    }
    QorBase* findNthHit(int& n) override {
        journal.push_back(name + " hit");
        return Context::findNthHit(n);
    }
    Journal& journal;
    std::string name;
};

class StackFixture : public EngineFixture {
protected:
    void SetUp() override {
        EngineFixture::SetUp();
        if (!started) return;
        owned = new QorBase();
        registerQuadTexture(u"mousePointer", 16, 16, 0xFFFF0000u);
        global = new GameGlobal();
        stack = new ContextManager();
        global->pContextManager = stack;
        ContextMenu::navigationMode = ContextMenu::kMouseNavigation;  // as at start, whatever ran before
    }
    void TearDown() override {
        if (started) {
            delete global;
            global = nullptr;
            owned->destroy();
        }
        EngineFixture::TearDown();
    }

    // A w x h texture of one colour registered as `name`, with one skin "<name>:0".
    Texture* registerQuadTexture(const std::u16string& name, int w, int h, std::uint32_t colour) {
        Texture* texture = registerTexture(name, w, h, colour);
        addSkin(texture, name, 0, 0, 0, w, h);
        return texture;
    }
    // A w x h texture of one colour registered as `name`, without skins.
    Texture* registerTexture(const std::u16string& name, int w, int h, std::uint32_t colour) {
        Texture* texture =
            makeTexture(owned, w, h, std::vector<std::uint32_t>(static_cast<std::size_t>(w) * h, colour), true);
        qor->pResourceManager->addResource(texture, name);
        return texture;
    }
    // Skin `index` of the texture (replacing any): the texels from (left, top), w x h,
    // registered as "<name>:<index>". The texture owns it.
    Quad* addSkin(Texture* texture, const std::u16string& name, int index, int left, int top, int w, int h) {
        auto* quad = new Quad();
        quad->pTexture = texture;
        quad->setSourceRect(left, top, top + h, left + w);
        auto& skins = texture->skins;
        if (skins.size() <= static_cast<std::size_t>(index)) skins.resize(static_cast<std::size_t>(index) + 1, nullptr);
        if (skins[static_cast<std::size_t>(index)]) skins[static_cast<std::size_t>(index)]->destroy();
        skins[static_cast<std::size_t>(index)] = quad;
        qor->pResourceManager->addResource(quad, formatString(u"%s:%d", name, index));
        return quad;
    }

    // Down in this frame and up in the last; `held` keeps it down in both.
    void press(int code, bool held = false) {
        qor->pQorInput->previousKeyState[code] = held ? QorInput::kDown : 0;
        qor->pQorInput->keyState[code] = QorInput::kDown;
    }
    void releaseAll() {
        qor->pQorInput->previousKeyState.fill(0);
        qor->pQorInput->keyState.fill(0);
    }
    // One frame of the screen stack.
    void tick() {
        ++qor->frameCounter;
        stack->tick(0.0, 0.0);
        releaseAll();
    }

    ContextManager* stack = nullptr;  // owned by global
    QorBase* owned = nullptr;         // the test's textures
    Journal journal;
};
