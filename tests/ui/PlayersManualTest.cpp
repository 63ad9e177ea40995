// The player's manual that Help → Documentation opens: it lies beside the program, it
// opens offline and whole (its tags close, its links lead to its own sections), and the
// keys it lists for both players are the ones a new game binds, named as the game names
// them; the web service's help page lists them by the same names.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "engine/Strings.h"
#include "language/KeyNames.h"
#include "language/StringIds.h"
#include "language/TextTables.h"
#include "support/UserDataHome.h"
#include "ui/GameConfiguration.h"

namespace {
std::string fileText(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string manual() { return fileText(std::filesystem::path(TORVANE_PROGRAM_PATH).parent_path() / "readme.htm"); }

// A key's name as the manual writes it: the fonts' arrow glyphs become arrows.
std::string asWritten(const std::u16string& name) {
    std::u16string out;
    for (char16_t c : name) {
        switch (c) {
            case u'\u0003':
                out += u'\u2190';
                break;
            case u'\u0004':
                out += u'\u2192';
                break;
            case u'\u0005':
                out += u'\u2191';
                break;
            case u'\u0006':
                out += u'\u2193';
                break;
            default:
                out += c;
        }
    }
    return wideToUtf8(out);
}

struct EnglishKeys {
    EnglishKeys() {
        fillTextRow(texts, englishTexts());
        names.build(texts);
    }
    std::string text(int id) const { return wideToUtf8(texts[id]); }
    TextRow texts{};
    KeyNames names;
};

// Checks a page's table of default keys (one row a control: its caption, the first
// player's key, the second's) against the keys a new game binds, by their English names.
void expectDefaultKeys(const std::string& table, const std::string& page) {
    const EnglishKeys english;
    UserDataHome home;
    const GameConfiguration fresh;
    const std::regex row(R"(<tr><td>([^<]+)</td><td><kbd>([^<]+)</kbd></td><td><kbd>([^<]+)</kbd></td></tr>)");
    std::vector<std::vector<std::string>> rows;
    for (std::sregex_iterator i(table.begin(), table.end(), row), end; i != end; ++i)
        rows.push_back({(*i)[1], (*i)[2], (*i)[3]});

    // The controls of the players' key pages, each with the key-table row it is bound to.
    const std::pair<int, int> controls[] = {
        {StringId::CONTROLSLEFT, GameConfiguration::kKeyLeft}, {StringId::CONTROLSRIGHT, GameConfiguration::kKeyRight},
        {StringId::CONTROLSUP, GameConfiguration::kKeyUp},     {StringId::CONTROLSDOWN, GameConfiguration::kKeyDown},
        {StringId::CONTROLSFIRE, GameConfiguration::kKeyFire},
    };
    ASSERT_EQ(rows.size(), std::size(controls)) << page;
    for (const auto& [caption, keyRow] : controls) {
        const std::string name = english.text(caption);
        const auto found = std::find_if(rows.begin(), rows.end(), [&](const auto& r) { return r[0] == name; });
        ASSERT_NE(found, rows.end()) << page << ": " << name;
        for (int player = 0; player < GameConfiguration::kPlayers; ++player)
            EXPECT_EQ((*found)[1 + player], asWritten(english.names.get(fresh.keys[keyRow][player])))
                << page << ": " << name << ", player " << player + 1;
    }
}
}  // namespace

TEST(PlayersManualTest, ItListsBothPlayersDefaultKeysUnderTheControlsOwnNames) {
    const std::string html = manual();
    ASSERT_FALSE(html.empty()) << "readme.htm is not beside the program";
    const std::size_t from = html.find("id=\"default-keys\"");
    ASSERT_NE(from, std::string::npos);
    expectDefaultKeys(html.substr(from, html.find("</table>", from) - from), "readme.htm");
    // The in-game menu's fixed key.
    const EnglishKeys english;
    EXPECT_NE(html.find("<kbd>" + asWritten(english.names.get(1)) + "</kbd>"), std::string::npos);
}

// The on-line help page writes its arrows as entities; otherwise the same names.
TEST(PlayersManualTest, TheOnLineHelpPageNamesTheDefaultKeysAsTheGameDoes) {
    std::string page = fileText(std::filesystem::path(TORVANE_SOURCE_DIR) / "service" / "HelpPage.cpp");
    const std::size_t from = page.find("<h2>Controls</h2>");
    ASSERT_NE(from, std::string::npos);
    page = page.substr(from, page.find("</table>", from) - from);
    const std::pair<std::string, std::string> arrows[] = {
        {"&larr;", "\u2190"}, {"&rarr;", "\u2192"}, {"&uarr;", "\u2191"}, {"&darr;", "\u2193"}};
    for (const auto& [entity, arrow] : arrows) {
        std::size_t at = page.find(entity);
        for (; at != std::string::npos; at = page.find(entity)) page.replace(at, entity.size(), arrow);
    }
    expectDefaultKeys(page, "the on-line help");
}

TEST(PlayersManualTest, ItOpensOfflineWithEveryTagClosedAndEveryLinkLeadingToItsOwnSections) {
    const std::string html = manual();
    ASSERT_FALSE(html.empty());
    EXPECT_EQ(html.rfind("<!DOCTYPE html>", 0), 0u);
    // Nothing is fetched from anywhere: no scripts, pictures, style sheets or fonts.
    for (const char* outside : {"src=", "<link", "url(", "@import", "http:", "https:"})
        EXPECT_EQ(html.find(outside), std::string::npos) << outside;

    std::set<std::string> ids;
    const std::regex id(R"re(\bid="([^"]+)")re"), href(R"re(\bhref="([^"]*)")re");
    for (std::sregex_iterator i(html.begin(), html.end(), id), end; i != end; ++i) ids.insert((*i)[1]);
    for (std::sregex_iterator i(html.begin(), html.end(), href), end; i != end; ++i) {
        const std::string target = (*i)[1];
        ASSERT_TRUE(!target.empty() && target[0] == '#') << target;
        EXPECT_TRUE(ids.count(target.substr(1))) << target;
    }

    // Every element but the empty ones is closed, in order.
    const std::set<std::string> empty = {"meta", "br", "hr", "img", "link", "input", "wbr"};
    const std::regex tag(R"(<(/?)([a-zA-Z][a-zA-Z0-9]*)[^>]*>)");
    std::vector<std::string> open;
    for (std::sregex_iterator i(html.begin(), html.end(), tag), end; i != end; ++i) {
        const std::string name = (*i)[2];
        if (empty.count(name)) continue;
        if ((*i)[1].length() == 0) {
            open.push_back(name);
        } else {
            ASSERT_FALSE(open.empty()) << "</" << name << "> closes nothing";
            ASSERT_EQ(open.back(), name) << "</" << name << "> closes <" << open.back() << ">";
            open.pop_back();
        }
    }
    EXPECT_TRUE(open.empty());
}
