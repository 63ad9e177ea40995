#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "engine/Logger.h"
#include "engine/Qor.h"
#include "engine/Strings.h"
#include "engine/TimeKeeper.h"
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
        auto* keeper = new TimeKeeper(clock);
        keeper->bCalibrated = true;  // the fake's millisecond clock drops the fractions
        engine->pTimeKeeper->destroy();
        engine->pTimeKeeper = keeper;
    }
    FakeClock clock;
};

// A scene whose tick takes the time the test asks of it.
class WorkingScene : public Context {
public:
    explicit WorkingScene(FakeClock& clock_) : clock(clock_) {}
    void tickContents(double, double) override { clock.advance(work); }
    FakeClock& clock;
    double work = 0.0;  // s
};
}  // namespace

TEST_F(QorPacing, UnevenAndSlowFramesNeverRunOrReadFasterThanTheCap) {
    constexpr double kPeriod = 0.01;
    // Work that changes from frame to frame, a frame of 3.5 periods among it.
    const double works[] = {0.002, 0.008, 0.001, 0.035, 0.0005, 0.009, 0.003, 0.0095, 0.0001, 0.02, 0.001, 0.004};
    WorkingScene scene(clock);
    engine->timer.start(kPeriod);
    std::vector<double> starts{engine->timer.frameStart};
    for (int round = 0; round < 3; ++round) {
        for (const double work : works) {
            scene.work = work;
            engine->frame(&scene);
            starts.push_back(engine->timer.frameStart);
            const std::size_t n = starts.size();
            // After a late frame the next one still gets a whole period: nothing is caught up.
            EXPECT_GE(starts[n - 1] - starts[n - 2], std::max(kPeriod, work) - 1e-9) << n;
            // The engine's rate is that of the last whole frame, as the pacer booked it.
            if (n >= 3) {
                EXPECT_NEAR(engine->fps, 1.0 / (starts[n - 2] - starts[n - 3]), 1e-6) << n;
            }
            EXPECT_LE(engine->fps, 1.0 / kPeriod + 1e-6) << n;
        }
    }
}

TEST_F(QorFrame, ShutdownWithoutWorkedFramesWritesNoFrameSummary) {
    const std::string logPath = wideToUtf8(engine->pLogger->getPath());
    delete engine;
    engine = nullptr;
    EXPECT_EQ(TempFolder::read(logPath).find("Rendered "), std::string::npos);
}
