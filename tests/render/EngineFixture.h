#pragma once
// Test support: a whole engine on a real window and OpenGL context, for the tests that
// draw, on an X server of the process's own. Skipped unless TORVANE_DISPLAY_TESTS is set.
// Each test gets its own data folder with a settings file, so the graphics settings of a
// test are under its control; the engine starts in mouse mode, as the program does
// where there is a mouse, unless the test asks for a touch screen.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/Vector3.h"
#include "platform/Window.h"
#include "render/UColor.h"

class Context;
class QorBase;
class Renderable;
class Texture;

class EngineFixture : public ::testing::Test {
protected:
    // The settings file's text before the engine starts: by default a window of 320 by
    // 192 pixels with point filtering, debugging locked.
    virtual std::string settingsText() const;
    void SetUp() override;
    void TearDown() override;

    // The input as the engine starts it on a touch screen alone: in touch mode, which
    // draws no pointer, the pointer in the middle.
    void useTouchScreen();
    // One engine frame over `scene` (ticks, draws and presents).
    void runFrame(Context* scene);
    // The back buffer of the last frame, ARGB, rows from the top.
    std::vector<std::uint32_t> backBuffer(int& width, int& height) const;
    std::uint32_t pixelAt(int x, int y) const;

    // A renderable with its own quad of w x h units in `color`, at (x, y), rolled by
    // `roll` radians, added as the last child of `parent`.
    Renderable* addQuad(Context* parent, float w, float h, UColor color, float x, float y, float roll = 0.0f,
                        Texture* texture = nullptr);
    // A texture of w x h texels from ARGB pixels, added to `owner`'s children.
    Texture* makeTexture(QorBase* owner, int w, int h, const std::vector<std::uint32_t>& pixels, bool hasAlpha);

    Window window;
    std::string dataHome;  // the XDG data folder of this test
    bool started = false;
};

bool displayTestsEnabled();
