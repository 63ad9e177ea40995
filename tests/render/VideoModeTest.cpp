#include <gtest/gtest.h>

#include "EngineFixture.h"
#include "engine/Qor.h"
#include "engine/Strings.h"
#include "render/QorGraphics.h"
#include "render/VideoMode.h"

namespace {
class VideoModeTest : public EngineFixture {};

std::string named(int w, int h) {
    VideoMode m(w, h);
    return wideToUtf8(m.toString());
}

TEST_F(VideoModeTest, RatiosAreNamedAsPlayersKnowThem) {
    EXPECT_EQ(named(1024, 512), "1024x512 (2:1)");
    EXPECT_EQ(named(1280, 1024), "1280x1024 (5:4)");
    EXPECT_EQ(named(1280, 720), "1280x720 (16:9)");
    EXPECT_EQ(named(1366, 768), "1366x768 (16:9)");
    EXPECT_EQ(named(1280, 800), "1280x800 (16:10)");
    EXPECT_EQ(named(480, 800), "480x800");
    EXPECT_EQ(named(640, 0), "640x0") << "a degenerate size names nothing and divides by nothing";
}

TEST_F(VideoModeTest, TheModeListStaysAscendingWithoutDuplicates) {
    QorGraphics& g = *qor->pQorGraphics;
    g.videoModes.deleteChildren();
    g.addVideoMode(640, 480);
    g.addVideoMode(640, 480);
    g.addVideoMode(640, 400);
    g.addVideoMode(1024, 768);
    g.addVideoMode(320, 240);
    std::vector<std::string> listed;
    for (BasicLink* m = g.videoModes.firstChild; m; m = m->next)
        listed.push_back(wideToUtf8(static_cast<VideoMode*>(m)->toString()));
    EXPECT_EQ(listed,
              (std::vector<std::string>{"320x240 (4:3)", "640x400 (16:10)", "640x480 (4:3)", "1024x768 (4:3)"}));
}
}  // namespace
