#pragma once
// Test support for whole-program tests: the program's own shell runs its event loop on
// an off-screen window, or on an X server's where a test names that driver (display
// tests only), with the user files in a private data folder that starts with the
// settings the test gives. The keyboard and a pad can be
// scripted, the mouse is driven through window events, and the clock can be made to
// step by a fixed time each frame, so that long waits of the game cost few frames and
// every run sees the same times and the same random draws.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/Qor.h"
#include "engine/Random.h"
#include "game/GameControllerIntro.h"
#include "game/GameGlobal.h"
#include "game/InGameOverlay.h"
#include "inputaudio/InputTestEngine.h"
#include "inputaudio/QorInput.h"
#include "inputaudio/WMhooks.h"
#include "platform/GraphicsDevice.h"
#include "platform/Window.h"
#include "render/QorGraphics.h"
#include "render/Renderable.h"
#include "runtime/WindowShell.h"
#include "support/FakeClock.h"
#include "support/ScopedVariable.h"
#include "support/TestVideo.h"
#include "support/UserDataHome.h"
#include "support/XServer.h"
#include "ui/ContextEnterName.h"
#include "ui/ContextMainGame.h"
#include "ui/ContextManager.h"
#include "ui/ContextMenu.h"
#include "ui/ContextSplash.h"
#include "ui/Global.h"
#include "ui/IrisOverlay.h"
#include "ui/Loader.h"
#include "ui/ScreenUnits.h"

class ProgramFixture : public ::testing::Test {
protected:
    // The window's size as the settings' video mode has it.
    virtual std::pair<int, int> windowSize() const { return {320, 192}; }
    // The per-machine settings file the first start finds.
    virtual std::string settingsText() const {
        return "[QorGraphics]\nbFullScreen=No\nvideoModeWidth=320\nvideoModeHeight=192\n"
               "[Qor]\ndefaultLanguage=-1\nbEnableDelayedLoad=No\n";
    }
    void SetUp() override {
        if (!std::getenv("TORVANE_DISPLAY_TESTS")) GTEST_SKIP() << "needs a display (TORVANE_DISPLAY_TESTS)";
        if (privateXScreen.first > 0) {
            xServer = std::make_unique<PrivateXServer>(privateXScreen.first, privateXScreen.second);
            if (xServer->display.empty()) LEAVE_WITHOUT_DISPLAY("no Xvfb to run a private X server");
            display = std::make_unique<ScopedVariable>("DISPLAY", xServer->display.c_str());
        }
        std::filesystem::create_directories(std::filesystem::path(home.file("x")).parent_path());
        std::ofstream(home.file("Torvane2Xmas.cfg")) << settingsText();
        ASSERT_TRUE(TestVideo::start(xServer ? "x11" : "offscreen"));
        // At the program's own size: drawn straight into the window, as a player's game is.
        const auto [width, height] = windowSize();
        ASSERT_TRUE(window.create("test", 0, 0, width, height));
        GraphicsDevice::keepPresentedFrames = true;  // the tests read frames after they are shown
        // Events an earlier program left unread (a click it ended on) are not this one's,
        // nor the keys' hold on the menus that it may have ended with: a new process
        // steers its menus with the mouse.
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        ContextMenu::navigationMode = ContextMenu::kMouseNavigation;
        ContextMenu::lastNavigationModeFrame = -1;
        WindowShell::setApplicationFactory(&GameGlobal::start);
    }
    void TearDown() override {
        if (!std::getenv("TORVANE_DISPLAY_TESTS")) return;
        WindowShell::deleteQOR();
        window.destroy();
        if (!xServer || xServer->display.empty()) return;
        TestVideo::stop();  // while its server is there
    }
    // Runs idle ticks until `done` holds (at most `limit` of them); false when it never did.
    template <class F>
    bool tickUntil(F done, int limit = 2000) {
        for (int i = 0; i < limit; ++i) {
            if (qor && done()) return true;
            if (!runOneMoreFrame()) return false;
        }
        return false;
    }
    // The window's waiting events, then one frame, as the program's own loop runs them;
    // false once the program is over.
    bool runOneMoreFrame() {
        if (frameStep > 0.0) clock.advance(frameStep);
        if (bMouseMoving) pushMouseMove(mouseX + ++moves % 2, mouseY);
        while (window.dispatchOneEvent(hooks)) {
        }
        return WindowShell::tick(window);
    }
    // From here on the engine's clock moves by `seconds` each frame, from where it stood,
    // and the random draws start again from one seed: the program seeds them from the
    // time of day, which would put a bonus balloon or a crate, and their tips, at another
    // moment in each run.
    void useSteppedClock(double seconds) {
        Random::seed(kSteppedSeed);
        clock.takeOverEngineTime();
        frameStep = seconds;
    }
    // Runs n frames, or fewer when the program ends on the way.
    void frames(int n) {
        for (int i = 0; i < n && !ended; ++i) ended = !runOneMoreFrame();
    }
    // Keyboard and one pad from here on come from the test.
    void useScriptedDevices() {
        auto owned = std::make_unique<ScriptedDevices>();
        owned->axisCount = {2};
        devices = owned.get();
        auto* input = new QorInput(std::move(owned));
        input->viewportSource = qor->pQorInput->viewportSource;  // the pointer maps through the viewport
        input->keyPressTaker = qor->pQorInput->keyPressTaker;    // the console's chord stays its own
        delete qor->pQorInput;
        qor->pQorInput = input;
        qor->pQorInput->setInputMode(QorInput::kModeMouse);  // as the program's mouse had it
        frames(2);
    }
    // Down for a few frames, then up for a few: the menus act on the press or the release.
    void tapKey(int code) {
        devices->keys[code] = 0x80;
        frames(3);
        devices->keys[code] = 0;
        frames(3);
    }
    // A move of the mouse to window pixel (x, y), waiting in the window's queue.
    static void pushMouseMove(int x, int y) {
        SDL_Event e{};
        e.type = SDL_MOUSEMOTION;
        e.motion.x = x;
        e.motion.y = y;
        SDL_PushEvent(&e);
    }
    // A character typed, waiting in the window's queue.
    static void pushCharacter(char c) {
        SDL_Event e{};
        e.type = SDL_TEXTINPUT;
        e.text.text[0] = c;
        SDL_PushEvent(&e);
    }
    // Characters typed one a frame, as the window reports them.
    void type(const char* text) {
        for (const char* c = text; *c; ++c) {
            pushCharacter(*c);
            frames(1);
        }
    }
    // The console's chord as the window reports it: the grave accent key pressed with Left
    // Shift held, and the "~" that types; then three frames.
    void pressConsoleChord() {
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.keysym.scancode = SDL_SCANCODE_GRAVE;
        e.key.keysym.mod = KMOD_LSHIFT;
        SDL_PushEvent(&e);
        pushCharacter('~');
        frames(3);
    }
    void typeReturn() {
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.keysym.sym = SDLK_RETURN;
        SDL_PushEvent(&e);
        frames(2);
    }
    // The mouse moved to window pixel (x, y), then two frames.
    void pointAt(int x, int y) {
        mouseX = x;
        mouseY = y;
        pushMouseMove(x, y);
        frames(2);
    }
    // Queues the left button's press or release (`type`) at window pixel (x, y).
    static void pushLeftButton(Uint32 type, int x, int y) {
        SDL_Event e{};
        e.type = type;
        e.button.button = SDL_BUTTON_LEFT;
        e.button.x = x;
        e.button.y = y;
        SDL_PushEvent(&e);
    }
    // A left click at window pixel (x, y), `settle` frames after the press and after the
    // release.
    void click(int x, int y, int settle = 3) {
        pointAt(x, y);
        for (Uint32 type : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP}) {
            pushLeftButton(type, x, y);
            frames(settle);
        }
    }
    // The window pixel the viewport shows a point of the virtual screen at (screen units).
    static std::pair<int, int> windowPixelOfUnits(const Vector3& units) {
        const Vector3 at = qor->graphics().viewportMapping().toWindow(units);
        return {static_cast<int>(std::lround(at.x)), static_cast<int>(std::lround(at.y))};
    }
    // The window pixel the viewport shows a point of a screen at whose camera looks at the
    // middle of the screen (units from that middle, y up).
    static std::pair<int, int> windowPixelOf(const Vector3& point) {
        return windowPixelOfUnits(Vector3{400.0f + point.x, 240.0f + point.y, 0.0f});
    }
    // The middle of `widget` in screen units, through the camera of the screen that holds
    // it: a menu whose items reach the help line's band looks below the middle.
    static Vector3 screenUnitsOf(const Renderable& widget) {
        for (BasicLink* p = widget.parent; p; p = p->parent)
            if (auto* screen = dynamic_cast<Context*>(static_cast<QorBase*>(p)); screen && screen->pCamera)
                return worldToScreenUnits(*screen->pCamera, widget.position);
        return Vector3{400.0f + widget.position.x, 240.0f + widget.position.y, 0.0f};
    }
    // A left click on a point of such a screen, at the window pixel the viewport shows it at.
    void clickAt(const Vector3& point, int settle = 3) {
        const auto [x, y] = windowPixelOf(point);
        click(x, y, settle);
    }
    // A left click on the middle of a widget, where its screen shows it.
    void clickOn(const Renderable& widget, int settle = 3) {
        const auto [x, y] = windowPixelOfUnits(screenUnitsOf(widget));
        click(x, y, settle);
    }
    // Runs the start-up to the name entry of a first start: the logo is skipped, the
    // intro too by a click (away from the name entry's button) unless told otherwise;
    // the keyboard is the test's from there on.
    void startToTheNameEntry() {
        ASSERT_TRUE(tickUntil([this] { return topIs<ContextSplash>(); }));
        global->pContextManager->overlayLayer->timeScale = irisHurry;
        global->pContextManager->top()->bFinished = 1;
        ASSERT_TRUE(tickUntil([this] { return topIs<GameControllerIntro>(); }));
        if (bClickPastTheIntro)
            click(20, 20);
        else
            global->pContextManager->top()->bFinished = 1;
        ASSERT_TRUE(tickUntil([this] { return topIs<ContextEnterName>(); }));
        useScriptedDevices();
    }
    // Runs the start-up to the title menu, typing in the name that a first start asks
    // for. Returns once the screen's iris has opened on the title.
    void startToTheTitle() {
        ASSERT_NO_FATAL_FAILURE(startToTheNameEntry());
        type("Ann");
        typeReturn();
        ASSERT_TRUE(tickUntil([this] { return topIs<ContextMainGame>(); }));
        ASSERT_EQ(global->profiles.getProfileName(global->profiles.current), u"Ann");
        ASSERT_TRUE(tickUntil([] { return global->pContextManager->pOverlay->level == 0.0f; }));
    }
    // One step of passing the start-up over to the title menu, for a frame loop to repeat:
    // whether the title is on top; if not, the screen there (the logo, the intro, a first
    // start's name entry, given a profile) is ended once loading is done.
    bool passOverToTheTitle() {
        if (topIs<ContextMainGame>()) return true;
        if (topIs<ContextEnterName>()) global->profiles.createProfile(u"Picture");
        if (!topIs<Loader>()) global->pContextManager->top()->bFinished = 1;
        return false;
    }
    // The program up to its title menu, quickly.
    bool skipToTheTitle() {
        return tickUntil([this] { return passOverToTheTitle(); });
    }
    // One frame of `screen` alone, drawn off the program's loop: ARGB pixels, rows from the top.
    static std::vector<std::uint32_t> drawOffScreen(Context& screen, int& w, int& h) {
        GraphicsDevice& device = *qor->graphics().dxDevice;
        device.beginScene();
        qor->graphics().clear();
        screen.frameRender();
        device.endScene();
        std::vector<std::uint32_t> pixels;
        device.readBackBuffer(pixels, w, h);
        return pixels;
    }
    template <class T>
    T* top() {
        return dynamic_cast<T*>(global->pContextManager->top());
    }
    template <class T>
    bool topIs() {
        return top<T>() != nullptr;
    }

    static constexpr std::uint32_t kSteppedSeed = 1;

    // Set before SetUp: the program runs on an X server of the test's own with a screen of
    // this many pixels, its video on X and DISPLAY naming the server while the test runs;
    // 0 x 0: with SDL's off-screen video.
    std::pair<int, int> privateXScreen{0, 0};
    std::unique_ptr<PrivateXServer> xServer;  // outlives the window: declared first
    std::unique_ptr<ScopedVariable> display;  // names the private server while the test runs
    UserDataHome home;
    Window window;
    WMhooks hooks;
    FakeClock clock;                     // the engine's clock once useSteppedClock ran
    double frameStep = 0.0;              // s the clock moves each frame; 0: the machine's clock
    ScriptedDevices* devices = nullptr;  // owned by the input service
    bool ended = false;                  // the shell's tick said the program is over
    bool bClickPastTheIntro = true;      // else a first start passes the intro over as it does the logo
    // From startToTheNameEntry's logo on, the iris between screens runs this many times as fast.
    double irisHurry = 1.0;
    // While set, the mouse moves by a pixel before every frame, around where it was put.
    bool bMouseMoving = false;
    int mouseX = 0, mouseY = 0;  // window pixels, where pointAt and click put the mouse
    int moves = 0;
};

// A window as large as the virtual screen (800 x 480), so window pixels are screen units
// (with y down); the first language is chosen, and loading is delayed, as the game's own
// settings have it.
class ScreenSizedProgramFixture : public ProgramFixture {
protected:
    // The settings of a window of `width` x `height` pixels in the first language.
    static std::string windowSettings(int width, int height) {
        return "[QorGraphics]\nbFullScreen=No\nvideoModeWidth=" + std::to_string(width) +
               "\nvideoModeHeight=" + std::to_string(height) + "\n[Qor]\ndefaultLanguage=0\n";
    }
    static std::string screenSizedSettings() { return windowSettings(800, 480); }
    std::string settingsText() const override { return screenSizedSettings(); }
    std::pair<int, int> windowSize() const override { return {800, 480}; }
};

// A game of type `Game` (a Duel, an Invasion) played inside the program.
template <class Game>
class GameProgramFixture : public ScreenSizedProgramFixture {
protected:
    static constexpr int kFireKey = 57;  // the first player's default fire key

    Game* game() {
        auto* app = dynamic_cast<GameGlobal*>(global);
        return app ? dynamic_cast<Game*>(app->pCurrentGame) : nullptr;
    }
    // Runs frames until `done` holds (false when it did not within `limit`); a tip on
    // the way is closed with the fire key, as a player would.
    template <class F>
    bool playUntil(F done, int limit = 1000) {
        for (int i = 0; i < limit && !ended; ++i) {
            if (done()) return true;
            if (this->template top<InGameOverlay>())
                tapKey(kFireKey);
            else
                frames(1);
        }
        return false;
    }
    bool playing() { return game() && this->template top<Game>() && game()->state == Game::State::kPlaying; }
    // Plays a started game's lead-in ("Get Ready!", the announcements) until it is being
    // played, its clock hurried (fourfold unless said): the waits are the same states in
    // fewer frames.
    bool leadInToPlay(double hurry = 4.0) {
        if (!game()) return false;
        game()->timeScale = hurry;
        const bool reached = playUntil([this] { return playing(); });
        if (game()) game()->timeScale = 1.0;
        return reached;
    }
};

// A fixture (derived from ScreenSizedProgramFixture) whose tests read no pixel of the
// window and click through the viewport: the program runs in its smallest window, 320 x
// 192, which a software renderer draws at a fraction of the screen-sized window's cost,
// and no presented frame is kept for reading.
template <class Fixture>
class SmallWindow : public Fixture {
protected:
    static constexpr int kWidth = 320, kHeight = 192;  // window pixels

    std::pair<int, int> windowSize() const override { return {kWidth, kHeight}; }
    std::string settingsText() const override { return Fixture::windowSettings(kWidth, kHeight); }
    void SetUp() override {
        Fixture::SetUp();
        GraphicsDevice::keepPresentedFrames = false;
    }
};
