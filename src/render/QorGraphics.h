#pragma once
// The graphics device: the window's real size, the OpenGL context and presentation.
#include <cstdint>
#include <string>

class ClassInfo;
class Context;
class MemoryIniFile;
class Window;
typedef void* SDL_GLContext;

class QorGraphics {
public:
    explicit QorGraphics(Window& window);
    virtual ClassInfo* getClass() const;
    virtual ~QorGraphics();
    static ClassInfo classInfo;

    void onQORmodeChange(int oldMode, int newMode);
    // Whether the device can draw: ResultCode::kOk, or kDeviceLost / kDeviceNotReset.
    std::int32_t testCooperativeLevel() const;
    bool restorePresentation(bool resetDevice);
    void beginScene();
    void clear();
    void endScene();
    void flip();
    // Stores the graphics settings into the per-machine settings file.
    void saveConfig(MemoryIniFile& settings);
    // Saves the last frame; `scene` null saves it as drawn.
    bool saveScreenshot(Context* scene, const std::u16string& path);
    // Leaves full screen so the desktop has its own display mode back (fatal path).
    void restoreDesktop();

    int virtualWidth = 800;   // virtual-screen units
    int virtualHeight = 480;
    // The letterboxed viewport in drawable pixels of the window (an 800x480 window,
    // no letterbox, until the video mode is chosen).
    int viewportLeft = 0;
    int viewportTop = 0;
    int viewportWidth = 800;
    int viewportHeight = 480;

private:
    Window& window;
    SDL_GLContext glContext = nullptr;
};
