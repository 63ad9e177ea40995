#include <regex>

#include "support/ServiceFixture.h"

namespace {

using HomePageRouteTest = ServiceFixture;

// The game's Website item opens the service's root.
TEST_F(HomePageRouteTest, theRootIsAPageWhoseLinksAllLeadSomewhere) {
    auto home = client->Get("/");
    ASSERT_TRUE(home);
    EXPECT_EQ(home->status, 200);
    EXPECT_EQ(home->get_header_value("Content-Type"), "text/html; charset=utf-8");
    EXPECT_NE(home->body.find("<title>Torvane 2</title>"), std::string::npos);
    std::vector<std::string> links;
    const std::regex href("href=\"([^\"]*)\"");
    for (auto it = std::sregex_iterator(home->body.begin(), home->body.end(), href); it != std::sregex_iterator(); ++it)
        links.push_back((*it)[1]);
    EXPECT_NE(std::find(links.begin(), links.end(), "tv2/onlinehelp.php"), links.end());
    EXPECT_NE(std::find(links.begin(), links.end(), "tv2/highscoretable.php"), links.end());
    for (const std::string& link : links) {
        auto page = client->Get(("/" + link).c_str());
        ASSERT_TRUE(page) << link;
        EXPECT_EQ(page->status, 200) << link;
    }
    auto head = client->Head("/");
    ASSERT_TRUE(head);
    EXPECT_EQ(head->status, 200);
    EXPECT_TRUE(head->body.empty());
    auto post = client->Post("/", "x", "text/plain");
    ASSERT_TRUE(post);
    EXPECT_EQ(post->status, 405);
    EXPECT_EQ(post->get_header_value("Allow"), "GET, HEAD");
}

}  // namespace
