#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <vector>

#include "engine/Logger.h"
#include "engine/Qor.h"
#include "engine/Strings.h"
#include "inputaudio/QorInput.h"
#include "render/Context.h"
#include "support/DisplayEngine.h"
#include "support/FakeClock.h"
#include "support/HeadlessEngine.h"
#include "support/Recorder.h"
#include "support/TempFolder.h"

namespace {
using QorModes = HeadlessEngine;
}  // namespace

TEST_F(QorModes, ModesChangeOneStepAtATimeAndEveryObjectHearsEachStep) {
    Journal journal;
    RecordingObject a(journal, "a"), b(journal, "b");
    engine->qorMode = Qor::MODE_FROZEN;
    engine->changeQORmode(Qor::MODE_OK);
    EXPECT_EQ(engine->qorMode, Qor::MODE_OK);
    EXPECT_EQ(journal, (std::vector<std::string>{"a mode 1->2", "b mode 1->2", "a mode 2->3", "b mode 2->3"}));
}

TEST_F(QorModes, ListenersSeeTheNewModeAlreadyInForce) {
    struct ModeReader : QorBase {
        void onQORmodeChange(int, int newMode) override { seen = qor->qorMode == newMode; }
        bool seen = false;
    } reader;
    engine->changeQORmode(Qor::MODE_PAUSED);
    EXPECT_TRUE(reader.seen);
}

TEST_F(QorModes, NoModeChangesOnceShutdownHasBegun) {
    Journal journal;
    RecordingObject a(journal, "a");
    engine->bShutdown = 1;
    engine->changeQORmode(Qor::MODE_FROZEN);
    EXPECT_EQ(engine->qorMode, Qor::MODE_OK);
    EXPECT_TRUE(journal.empty());
}

TEST_F(QorModes, DeltaTimeIsTheLastPacedFrame) {
    engine->timer.previousFrameStart = 2.0;
    engine->timer.frameStart = 2.25;
    EXPECT_DOUBLE_EQ(engine->getDeltaTime(), 0.25);
}

namespace {
using QorFrame = DisplayEngine;

std::string logText() { return TempFolder::read(wideToUtf8(qor->pLogger->getPath())); }
}  // namespace

TEST_F(QorFrame, ConstructionWritesDefaultsAndStartsInRunningMode) {
    EXPECT_EQ(engine->qorMode, Qor::MODE_OK);
    EXPECT_EQ(engine->bDebugLocked, 1);
    EXPECT_EQ(engine->defaultLanguage, -2);
    EXPECT_EQ(engine->timer.period, 0.001);
    const std::string text = logText();
    EXPECT_NE(text.find("Qor::Qor(): Version: QorUDX9 build "), std::string::npos);
    EXPECT_NE(text.find("Qor::Qor(): Started."), std::string::npos);
}

TEST_F(QorFrame, OnlyWorkedFramesCountAndAnInactiveWindowPauses) {
    engine->frame(nullptr);
    engine->frame(nullptr);
    EXPECT_EQ(engine->frameCounter, 2);
    EXPECT_GT(engine->fps, 0.0);
    engine->windowActive = false;
    engine->frame(nullptr);  // the mode change itself draws nothing
    EXPECT_EQ(engine->qorMode, Qor::MODE_PAUSED);
    engine->bTickWhilePaused = true;
    engine->frame(nullptr);
    EXPECT_EQ(engine->frameCounter, 3);
    engine->windowActive = true;
    engine->frame(nullptr);
    EXPECT_EQ(engine->qorMode, Qor::MODE_OK);
    EXPECT_NE(logText().find("Qor::changeQORmode(): Changing mode from 3 to 2."), std::string::npos);
}

TEST_F(QorFrame, AResetRequestFreezesThenRestoresThroughPaused) {
    engine->resetRequest = true;
    engine->frame(nullptr);
    EXPECT_EQ(engine->qorMode, Qor::MODE_FROZEN);
    EXPECT_FALSE(engine->resetRequest);
    engine->frame(nullptr);
    EXPECT_EQ(engine->qorMode, Qor::MODE_PAUSED);
    engine->frame(nullptr);
    EXPECT_EQ(engine->qorMode, Qor::MODE_OK);
}

TEST_F(QorFrame, AResetRequestWhilePausedWaitsForTheRunningMode) {
    engine->bTickWhilePaused = true;
    engine->windowActive = false;
    engine->frame(nullptr);
    ASSERT_EQ(engine->qorMode, Qor::MODE_PAUSED);
    engine->resetRequest = true;
    engine->frame(nullptr);  // a worked paused frame: not fatal, the request waits
    EXPECT_TRUE(engine->resetRequest);
    engine->windowActive = true;
    engine->frame(nullptr);
    engine->frame(nullptr);
    EXPECT_EQ(engine->qorMode, Qor::MODE_FROZEN);
    EXPECT_FALSE(engine->resetRequest);
}

TEST_F(QorFrame, TheTypedCharacterLastsOneFrame) {
    engine->pQorInput->typedChar = u'x';
    engine->frame(nullptr);
    EXPECT_EQ(engine->pQorInput->typedChar, 0);
}

TEST_F(QorFrame, CharactersTypedWithinOneFrameComeOneAFrameInTheirOrder) {
    QorInput& in = *engine->pQorInput;
    for (char16_t c : std::u16string(u"abc")) in.typeCharacter(c);
    std::u16string seen;
    for (int i = 0; i < 4; ++i) {
        if (in.typedChar) seen += in.typedChar;
        engine->frame(nullptr);
    }
    EXPECT_EQ(seen, u"abc");
    EXPECT_EQ(in.typedChar, 0);
    for (int i = 0; i < 1000; ++i) in.typeCharacter(u'z');  // a flood waits only so far
    EXPECT_LT(in.typedAhead.size(), 100u);
}

TEST_F(QorFrame, ShutdownReportsObjectsStillAliveWhileDebuggingIsUnlocked) {
    engine->bDebugLocked = 0;
    auto* root = new QorBase();
    root->addChild(new QorBase());
    BasicLink foreignList;  // a parent that is no engine object
    auto* stray = new QorBase();
    foreignList.addChild(stray);
    const std::string logPath = wideToUtf8(engine->pLogger->getPath());
    delete engine;
    engine = nullptr;
    const std::string log = TempFolder::read(logPath);
    EXPECT_NE(log.find("Objects still allocated (memory leaks?): 3"), std::string::npos);
    EXPECT_NE(log.find("       0. QorBase\t\t\t(uid=-1 --)"), std::string::npos);
    EXPECT_NE(log.find("       1. QorBase\t\t\t(uid=-1 parent=[0])"), std::string::npos);
    EXPECT_NE(log.find("       2. QorBase\t\t\t(uid=-1 parent=***FREED***)"), std::string::npos);
    EXPECT_LT(log.find("Qor::~Qor(): 14..."), log.find("Objects still allocated"));
    EXPECT_TRUE(log.ends_with("Qor::~Qor(): Done. Clean exit.\r\n"));
    foreignList.removeChild(stray);
    delete stray;
    delete root;
}

namespace {
// A whole engine whose clock moves only by the work the test gives each frame and by the
// pacer's waits.
class QorPacing : public QorFrame {
protected:
    void SetUp() override {
        QorFrame::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        clock.sleepsPass = true;
        clock.takeOverEngineTime();
    }
    FakeClock clock;
};

// A scene whose tick takes the time the test asks of it, and that notes when each tick
// began: a frame's real start, whatever the pacer booked.
class WorkingScene : public Context {
public:
    explicit WorkingScene(FakeClock& clock_) : clock(clock_) {}
    void tickContents(double, double) override {
        ticks.push_back(static_cast<double>(clock.count) / static_cast<double>(clock.frequency));
        clock.advance(work);
    }
    FakeClock& clock;
    double work = 0.0;          // s
    std::vector<double> ticks;  // s on the clock, one a frame
};
}  // namespace

TEST_F(QorPacing, UnevenAndSlowFramesNeverRunOrReadFasterThanTheCap) {
    constexpr double kPeriod = 0.01;
    // Work that changes from frame to frame, frames of 2.1 and 3.5 periods among it. None
    // wakes exactly a whole period late: where such a frame lands depends on the rounding of
    // the clock's reading, and so on where the clock stood when the test began.
    const double works[] = {0.002, 0.008, 0.001, 0.035, 0.0005, 0.009, 0.003, 0.0095, 0.0001, 0.021, 0.001, 0.004};
    WorkingScene scene(clock);
    engine->timer.start(kPeriod);
    std::vector<double> starts{engine->timer.frameStart};
    for (int round = 0; round < 3; ++round) {
        for (const double work : works) {
            scene.work = work;
            engine->frame(&scene);
            starts.push_back(engine->timer.frameStart);
            const std::size_t n = starts.size();
            // After a frame a whole period late the next one still gets a whole period:
            // nothing of it is caught up.
            EXPECT_GE(starts[n - 1] - starts[n - 2], std::max(kPeriod, work) - 1e-9) << n;
            // The engine's rate is that of the last whole frame, as the pacer booked it.
            if (n >= 3) {
                EXPECT_NEAR(engine->fps, 1.0 / (starts[n - 2] - starts[n - 3]), 1e-6) << n;
            }
            EXPECT_LE(engine->fps, 1.0 / kPeriod + 1e-6) << n;
        }
    }
}

TEST_F(QorPacing, SleepsThatOvershootStillKeepTheMeanRateAtTheCap) {
    std::mt19937 random(11);
    auto upTo = [&](double most) { return std::uniform_real_distribution<double>(0.0, most)(random); };
    struct Case {
        const char* what;
        double cap;                         // frames per second
        std::function<double()> oversleep;  // s, past the end of each sleep
        std::function<double()> work;       // s, of each frame
    };
    // At the cap of 100 a random sleep's overshoot and the next frame's work now and then
    // end past that frame's deadline: the frame still fits in its period and is caught up.
    const Case cases[] = {
        {"cap 100, every sleep 1.5 ms late", 100.0, [] { return 0.0015; }, [] { return 0.002; }},
        {"cap 60, every sleep 2.4 ms late", 60.0, [] { return 0.0024; }, [] { return 0.002; }},
        {"cap 100, sleeps up to 8 ms late", 100.0, [&] { return upTo(0.008); }, [&] { return 0.001 + upTo(0.003); }},
        {"cap 60, sleeps up to 6 ms late", 60.0, [&] { return upTo(0.006); }, [&] { return 0.001 + upTo(0.003); }}};
    WorkingScene scene(clock);
    for (const Case& c : cases) {
        clock.oversleep = c.oversleep;
        engine->timer.start(1.0 / c.cap);
        scene.ticks.clear();
        for (int frame = 0; frame < 600; ++frame) {
            scene.work = c.work();
            engine->frame(&scene);
            // While frames fit, the game steps by the period, however late the sleeps end.
            EXPECT_NEAR(engine->getDeltaTime(), 1.0 / c.cap, 1e-9) << c.what << ", frame " << frame;
        }
        const double rate = static_cast<double>(scene.ticks.size() - 1) / (scene.ticks.back() - scene.ticks.front());
        EXPECT_NEAR(rate, c.cap, c.cap * 0.005) << c.what;
    }
}

TEST_F(QorPacing, NoWindowOfFramesRunsFasterThanTheCapOnSleepsThatOvershoot) {
    constexpr double kPeriod = 0.01;
    // Work that changes from frame to frame, with frames of 1.5, 2 and 3.5 periods and a
    // stop of 0.3 s (a breakpoint) among it; every sleep ends up to 8 ms late.
    const double works[] = {0.002, 0.015, 0.001, 0.035, 0.0005, 0.009, 0.3, 0.0095, 0.0001, 0.02, 0.001, 0.004};
    std::mt19937 random(7);
    clock.oversleep = [&] { return std::uniform_real_distribution<double>(0.0, 0.008)(random); };
    WorkingScene scene(clock);
    engine->timer.start(kPeriod);
    std::vector<double> booked{engine->timer.frameStart};
    for (int round = 0; round < 3; ++round) {
        for (const double work : works) {
            scene.work = work;
            engine->frame(&scene);
            booked.push_back(engine->timer.frameStart);
            EXPECT_LE(engine->fps, 1.0 / kPeriod + 1e-6) << booked.size();
        }
    }
    // Booked starts lie a period apart at least, so no window of them (the frame counter's)
    // is faster than the cap. Real starts lag theirs by less than a period, so no window of
    // real frames holds more than one frame beyond what the cap allows: nothing is caught up.
    for (std::size_t i = 1; i < booked.size(); ++i) EXPECT_GE(booked[i] - booked[i - 1], kPeriod - 1e-9) << i;
    const std::vector<double>& t = scene.ticks;
    for (std::size_t i = 0; i < t.size(); ++i)
        for (std::size_t j = i + 2; j < t.size(); ++j)
            EXPECT_GE(t[j] - t[i], static_cast<double>(j - i - 1) * kPeriod - 1e-9) << i << " to " << j;
}

TEST_F(QorFrame, ShutdownWithoutWorkedFramesWritesNoFrameSummary) {
    const std::string logPath = wideToUtf8(engine->pLogger->getPath());
    delete engine;
    engine = nullptr;
    EXPECT_EQ(TempFolder::read(logPath).find("Rendered "), std::string::npos);
}
