#include <cstring>

#include "NetTestReply.h"
#include "engine/Md5.h"
#include "support/ServiceFixture.h"

namespace {

std::uint32_t u32(const std::string& s, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<std::uint8_t>(s[at + i]);
    return v;
}

using NetTestRouteTest = ServiceFixture;

TEST_F(NetTestRouteTest, answersTheGameWithAFrameTheGameCanCheck) {
    auto reply = post("/tv2/nettest.php", GameForm().standardFields());
    ASSERT_TRUE(reply);
    ASSERT_EQ(reply->status, 200);
    const std::string& frame = reply->body;
    ASSERT_GE(frame.size(), NetTestReply::kHeaderSize);
    EXPECT_EQ(u32(frame, 0), 0x01020304u);
    EXPECT_EQ(u32(frame, 4), frame.size() - 24);
    std::uint8_t digest[16];
    md5Buffer(digest, frame.data() + 24, static_cast<int>(frame.size() - 24));
    EXPECT_EQ(std::memcmp(digest, frame.data() + 8, 16), 0);
    const std::string payload = frame.substr(24);
    EXPECT_NE(payload.find("masterServer=127.0.0.1:23006\r\n"), std::string::npos) << payload;
    EXPECT_NE(payload.find("\r\nmessage=Welcome to the Torvane 2 web service!\r\n"), std::string::npos) << payload;
}

TEST_F(NetTestRouteTest, refusesFormsWithoutTheGamesFields) {
    EXPECT_EQ(post("/tv2/nettest.php", GameForm().field("platform", "LINUX"))->status, 400);
    EXPECT_EQ(post("/tv2/nettest.php", GameForm().standardFields("OtherGame"))->status, 400);
    EXPECT_EQ(client->Post("/tv2/nettest.php", "platform=LINUX", "application/x-www-form-urlencoded")->status, 400);
    EXPECT_EQ(client->Get("/tv2/nettest.php")->status, 405);
    EXPECT_EQ(client->Get("/tv2/nothing.php")->status, 404);
}

}  // namespace
