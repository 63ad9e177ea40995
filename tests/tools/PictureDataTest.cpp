// Checks the picture data that the build renders into the data stage: every texture the
// loading steps name (plus the kamikaze and the bomber), by exact path and letter case,
// with the skin counts the game indexes, sane TGA files whose skin files and ".preload"
// records agree, the glyph sheets of the four fonts and the code-point table.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/TextInk.h"

namespace {

namespace fs = std::filesystem;

// The stage folders of the three archives, each holding files at their archive paths.
const std::string kData = TORVANE_DATASTAGE_DIR;
const std::string kLanguage = TORVANE_LANGUAGE_STAGE_DIR;
const std::string kFonts = TORVANE_FONT_STAGE_DIR;

std::vector<uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t u16(const std::vector<uint8_t>& b, size_t at) { return b[at] | b[at + 1] << 8; }
int32_t s32(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<int32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24);
}

struct Rect {
    int left, top, width, height, adjustX, adjustY;
};

struct Texture {
    int width = 0, height = 0;
    std::vector<Rect> skins;
    std::vector<uint8_t> tga;
    bool alphaAt(int x, int y) const {
        return tga[18 + (static_cast<size_t>(height - 1 - y) * width + x) * 4 + 3] != 0;
    }
};

// Reads the skin file as the game does: sections must be "Skin 0", "Skin 1", ... in order.
std::vector<Rect> readSkinIni(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::map<std::string, int>> sections;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty()) continue;
        if (line.front() == '[') {
            EXPECT_EQ(line, "[Skin " + std::to_string(sections.size()) + "]") << path;
            sections.emplace_back();
        } else if (size_t eq = line.find('='); eq != std::string::npos && !sections.empty()) {
            sections.back()[line.substr(0, eq)] = std::stoi(line.substr(eq + 1));
        }
    }
    std::vector<Rect> skins;
    for (auto& keys : sections) {
        for (const char* key : {"left", "top", "width", "height"})
            EXPECT_TRUE(keys.count(key)) << path << " lacks " << key;
        skins.push_back({keys["left"], keys["top"], keys["width"], keys["height"], keys["origin_adjust_x"],
                         keys["origin_adjust_y"]});
    }
    return skins;
}

// Loads one staged texture and checks everything that does not depend on its meaning.
Texture loadTexture(const std::string& archive, const std::string& path) {
    Texture t;
    std::string base = archive + "/" + path;
    t.tga = readBytes(base);
    if (t.tga.size() < 18) {
        ADD_FAILURE() << base << " is missing or truncated";
        return t;
    }
    EXPECT_EQ(t.tga[2], 2) << base << ": uncompressed true-colour";
    EXPECT_EQ(t.tga[16], 32) << base << ": 32 bits per pixel";
    EXPECT_EQ(t.tga[17], 0x08) << base << ": 8 alpha bits, bottom-up rows";
    t.width = static_cast<int>(u16(t.tga, 12));
    t.height = static_cast<int>(u16(t.tga, 14));
    EXPECT_GT(t.width, 0);
    EXPECT_GT(t.height, 0);
    EXPECT_EQ(t.tga.size(), 18u + static_cast<size_t>(t.width) * t.height * 4) << base;

    t.skins = readSkinIni(base + ".ini");
    for (const Rect& s : t.skins) {
        EXPECT_TRUE(s.left >= 0 && s.top >= 0 && s.width > 0 && s.height > 0 && s.left + s.width <= t.width &&
                    s.top + s.height <= t.height)
            << base << ": skin outside the image";
    }
    std::vector<uint8_t> preload = readBytes(base + ".preload");
    EXPECT_EQ(preload.size(), 20 + 24 * t.skins.size()) << base << ".preload";
    if (preload.size() == 20 + 24 * t.skins.size()) {
        EXPECT_EQ(s32(preload, 0), 1);
        EXPECT_EQ(s32(preload, 4), t.width);
        EXPECT_EQ(s32(preload, 8), t.height);
        EXPECT_EQ(s32(preload, 12), 1);
        EXPECT_EQ(s32(preload, 16), static_cast<int32_t>(t.skins.size()));
        for (size_t i = 0; i < t.skins.size(); ++i) {
            const Rect& s = t.skins[i];
            size_t at = 20 + 24 * i;
            EXPECT_EQ(s32(preload, at), s.left);
            EXPECT_EQ(s32(preload, at + 4), s.top);
            EXPECT_EQ(s32(preload, at + 8), s.width);
            EXPECT_EQ(s32(preload, at + 12), s.height);
            EXPECT_EQ(s32(preload, at + 16), s.adjustX);
            EXPECT_EQ(s32(preload, at + 20), s.adjustY);
        }
    }
    return t;
}

struct Expected {
    std::string archive;
    std::string path;
    int skins;  // exact count, or the least count when atLeast is set
    bool atLeast;
    int maxWidth = 256;
    int maxHeight = 256;
};

const std::vector<Expected> kTextures = {
    {kData, "xmas-edition/gfx/gui/game/progressbar.tga", 2, true},
    {kData, "gfx/gui/game/mousepointer.tga", 1, true},
    {kData, "gfx/system/qrstudios.tga", 1, true},
    {kLanguage, "gfx/system/languageflags.tga", 15, false},
    {kData, "gfx/gui/game/editbox.tga", 2, true},
    {kData, "gfx/gui/game/button.tga", 2, true},
    {kData, "gfx/gui/game/square.tga", 1, true},
    {kData, "xmas-edition/gfx/logo_0_0.tga", 1, true},
    {kData, "xmas-edition/gfx/logo_1_0.tga", 1, true},
    {kData, "xmas-edition/gfx/logo_0_1.tga", 1, true},
    {kData, "xmas-edition/gfx/logo_1_1.tga", 1, true},
    // The game draws the sky at double size every 1524 units and splits it into tiles; a
    // row above and below its 256-row skin keeps filtering from taking in the other edge.
    {kData, "xmas-edition/gfx/sky-colormatched.tga", 1, true, 762, 258},
    {kData, "xmas-edition/gfx/sea_0_0.tga", 1, true},
    {kData, "xmas-edition/gfx/sea_1_0.tga", 1, true},
    {kData, "xmas-edition/gfx/island.tga", 2, false},
    {kData, "xmas-edition/gfx/ovalbuttons.tga", 4, true},
    {kData, "xmas-edition/gfx/palm.tga", 1, true},
    {kData, "gfx/3ds_explosion.tga", 1, true},
    {kData, "gfx/3ds_smoke.tga", 1, true},
    {kData, "gfx/propeller.tga", 98, false},
    {kData, "xmas-edition/gfx/biplane.tga", 49, false},
    {kData, "xmas-edition/gfx/biplane-markings.tga", 49, false},
    {kData, "gfx/p35.tga", 49, false},
    {kData, "gfx/p35-markings.tga", 49, false},
    {kData, "xmas-edition/gfx/cannon.tga", 3, true},
    {kData, "xmas-edition/gfx/projectiles.tga", 12, false},
    {kData, "gfx/splash.tga", 1, true},
    {kData, "gfx/circularsplash.tga", 1, true},
    {kData, "gfx/propelledBomb.tga", 24, false},
    {kData, "xmas-edition/gfx/hotairballoon.tga", 19, false},
    {kData, "gfx/torpedo.tga", 2, false},
    {kData, "gfx/atombomb.tga", 1, true},
    {kData, "gfx/hud-energybar.tga", 2, true},
    {kData, "gfx/hud-bonusicons.tga", 6, true},
    {kData, "gfx/balloons.tga", 7, true},
    {kData, "xmas-edition/gfx/flare-small.tga", 1, true},
    {kData, "gfx/arrow-mousecontrol.tga", 1, true},
    {kData, "gfx/laser.tga", 1, true},
    {kData, "gfx/lightning.tga", 1, true},
    {kData, "gfx/crate.tga", 6, false},
    {kData, "gfx/parachute.tga", 1, true},
    {kData, "gfx/ballistic.tga", 9, false},
    {kData, "xmas-edition/gfx/zeppelin.tga", 3, false},
    {kData, "xmas-edition/gfx/snowflake.tga", 1, true},
    {kData, "xmas-edition/gfx/gui/game/hud-touchscreen.tga", 2, true},
    {kData, "gfx/kamikaze.tga", 3, false},
    {kData, "gfx/bomber.tga", 3, false},
    // The HUD alphabet runs from ',' (44) to 'Z' (90).
    {kData, "xmas-edition/gfx/font/alphabet-hud.tga", 47, true},
};

TEST(PictureDataTest, EveryTextureExistsWithTheSkinsTheGameIndexes) {
    for (const Expected& e : kTextures) {
        SCOPED_TRACE(e.path);
        ASSERT_TRUE(fs::is_regular_file(e.archive + "/" + e.path));
        Texture t = loadTexture(e.archive, e.path);
        if (e.atLeast)
            EXPECT_GE(static_cast<int>(t.skins.size()), e.skins);
        else
            EXPECT_EQ(static_cast<int>(t.skins.size()), e.skins);
        EXPECT_LE(t.width, e.maxWidth);
        EXPECT_LE(t.height, e.maxHeight);
    }
}

TEST(PictureDataTest, SkinsHoldVisiblePixels) {
    // A blank skin means a drawing failed silently (a wrong layer name, a duplicate id).
    for (const Expected& e : kTextures) {
        Texture t = loadTexture(e.archive, e.path);
        for (size_t i = 0; i < t.skins.size(); ++i) {
            const Rect& s = t.skins[i];
            bool visible = false;
            for (int y = s.top; y < s.top + s.height && !visible; ++y)
                for (int x = s.left; x < s.left + s.width && !visible; ++x) visible = t.alphaAt(x, y);
            EXPECT_TRUE(visible) << e.path << " skin " << i << " is empty";
        }
    }
}

TEST(PictureDataTest, RepeatedStripsFillTheirWidthExactly) {
    // The beams repeat the texture along u every 256 units, so the picture must span it.
    for (const char* path : {"gfx/laser.tga", "gfx/lightning.tga"}) {
        Texture t = loadTexture(kData, path);
        ASSERT_EQ(t.skins.size(), 1u);
        EXPECT_EQ(t.width, 256) << path;
        EXPECT_EQ(t.skins[0].left, 0);
        EXPECT_EQ(t.skins[0].width, 256) << path;
    }
}

TEST(PictureDataTest, TiledHalvesJoinEdgeToEdge) {
    Texture sea0 = loadTexture(kData, "xmas-edition/gfx/sea_0_0.tga");
    Texture sea1 = loadTexture(kData, "xmas-edition/gfx/sea_1_0.tga");
    // Drawn at x, x + 508 and x + 1016: the two halves make 508 units together.
    EXPECT_EQ(sea0.skins.at(0).width + sea1.skins.at(0).width, 508);
    Texture island = loadTexture(kData, "xmas-edition/gfx/island.tga");
    EXPECT_EQ(island.skins.at(0).height, island.skins.at(1).height);
    Texture zeppelin = loadTexture(kData, "xmas-edition/gfx/zeppelin.tga");
    EXPECT_EQ(zeppelin.skins.at(0).height, zeppelin.skins.at(1).height);
}

// Mean difference (0..255) between column a of one texture and column b of another, over
// their colour and alpha: neighbouring columns of a clean drawing differ only a little.
double columnDifference(const Texture& left, int a, const Texture& right, int b) {
    double sum = 0;
    int rows = std::min(left.height, right.height);
    for (int y = 0; y < rows; ++y)
        for (int c = 0; c < 4; ++c) {
            auto pixel = [y, c](const Texture& t, int x) {
                return static_cast<int>(t.tga[18 + (static_cast<size_t>(t.height - 1 - y) * t.width + x) * 4 + c]);
            };
            sum += std::abs(pixel(left, a) - pixel(right, b));
        }
    return sum / (rows * 4);
}

// The largest difference between neighbouring columns inside a texture: a join may
// change no more than the picture itself does from one column to the next.
double largestStep(const Texture& t) {
    double largest = 0;
    for (int x = 0; x + 1 < t.width; ++x) largest = std::max(largest, columnDifference(t, x, t, x + 1));
    return largest;
}

TEST(PictureDataTest, SkyAndSeaAndBeamsRepeatWithoutASeam) {
    Texture sky = loadTexture(kData, "xmas-edition/gfx/sky-colormatched.tga");
    EXPECT_LE(columnDifference(sky, sky.width - 1, sky, 0), largestStep(sky));
    Texture sea0 = loadTexture(kData, "xmas-edition/gfx/sea_0_0.tga");
    Texture sea1 = loadTexture(kData, "xmas-edition/gfx/sea_1_0.tga");
    const Rect& s0 = sea0.skins.at(0);
    const Rect& s1 = sea1.skins.at(0);
    double seaStep = std::max(largestStep(sea0), largestStep(sea1));
    EXPECT_LE(columnDifference(sea0, s0.left + s0.width - 1, sea1, s1.left), seaStep);  // the halves meet
    EXPECT_LE(columnDifference(sea1, s1.left + s1.width - 1, sea0, s0.left), seaStep);  // the repeat meets itself
    for (const char* path : {"gfx/laser.tga", "gfx/lightning.tga"}) {
        Texture beam = loadTexture(kData, path);
        EXPECT_LE(columnDifference(beam, beam.width - 1, beam, 0), largestStep(beam)) << path;
    }
}

TEST(PictureDataTest, JoinedTilesCarryTheirNeighboursEdgeAroundTheSkin) {
    // Filtering at a skin's edge reads the texel beyond it: for pictures the game joins
    // from halves, that texel must be the neighbour's first one, not transparency.
    Texture sea0 = loadTexture(kData, "xmas-edition/gfx/sea_0_0.tga");
    Texture sea1 = loadTexture(kData, "xmas-edition/gfx/sea_1_0.tga");
    const Rect& s0 = sea0.skins.at(0);
    const Rect& s1 = sea1.skins.at(0);
    ASSERT_LT(s0.left + s0.width, sea0.width);
    ASSERT_GT(s1.left, 0);
    EXPECT_LT(columnDifference(sea0, s0.left + s0.width, sea1, s1.left), 1.0);
    EXPECT_LT(columnDifference(sea1, s1.left - 1, sea0, s0.left + s0.width - 1), 1.0);
    Texture island = loadTexture(kData, "xmas-edition/gfx/island.tga");
    EXPECT_GT(island.skins.at(1).left, 0);
    EXPECT_LT(island.skins.at(0).left + island.skins.at(0).width, island.width);
}

TEST(PictureDataTest, TheJoinedLogoEndsInsideItsTiles) {
    // Ink on the joined logo's outer edge is a drawing cut off by the picture's border.
    // A margin of a few texels is kept clear all round.
    constexpr int kMargin = 3;
    for (int col = 0; col < 2; ++col)
        for (int row = 0; row < 2; ++row) {
            const std::string path =
                "xmas-edition/gfx/logo_" + std::to_string(col) + "_" + std::to_string(row) + ".tga";
            SCOPED_TRACE(path);
            Texture t = loadTexture(kData, path);
            const Rect& s = t.skins.at(0);
            const int outerX = col == 0 ? s.left : s.left + s.width - kMargin;
            const int outerY = row == 0 ? s.top : s.top + s.height - kMargin;
            int inked = 0;
            for (int y = s.top; y < s.top + s.height; ++y)
                for (int x = outerX; x < outerX + kMargin; ++x) inked += t.alphaAt(x, y);
            for (int x = s.left; x < s.left + s.width; ++x)
                for (int y = outerY; y < outerY + kMargin; ++y) inked += t.alphaAt(x, y);
            EXPECT_EQ(inked, 0) << "texels inked on the outer edge";
        }
}

TEST(PictureDataTest, TheHudPlateLeavesTheWaitingLabelsInTheOpen) {
    // The plate hangs from the top edge with its centre on it; the oldest label waits
    // 43 to 48 units below, its name running from 90 units outward of the HUD's x to
    // about 10 inward. No part of the plate may cover that text.
    Texture t = loadTexture(kData, "xmas-edition/gfx/ovalbuttons.tga");
    const Rect& plate = t.skins.at(0);
    const int centreX = plate.left + plate.width / 2;
    const int centreY = plate.top + plate.height / 2;
    int covered = 0;
    for (int y = 36; y <= plate.height / 2 - 1; ++y)
        for (int x = -92; x <= 12; ++x) covered += t.alphaAt(centreX + x, centreY + y);
    EXPECT_EQ(covered, 0);
}

// Counts the cells of all sheets of one font: one cell per table position, 0 to 255.
int fontCells(const std::string& prefix, const std::string& folder, std::vector<Texture>& sheets) {
    int cells = 0;
    for (int i = 1;; ++i) {
        std::string path = prefix + "gfx/font/1252/" + folder + "-" + std::to_string(i) + ".tga";
        if (!fs::exists(kFonts + "/" + path)) break;
        sheets.push_back(loadTexture(kFonts, path));
        EXPECT_LE(sheets.back().width, 512);
        EXPECT_LE(sheets.back().height, 512);
        cells += static_cast<int>(sheets.back().skins.size());
    }
    return cells;
}

TEST(PictureDataTest, EachFontHasOneCellPerCodePagePositionWithTheSpecialGlyphs) {
    const std::vector<std::pair<std::string, std::string>> fonts = {
        {"", "font-tiny"}, {"", "font-small"}, {"", "font-medium"}, {"xmas-edition/", "font-large"}};
    for (const auto& [prefix, folder] : fonts) {
        SCOPED_TRACE(folder);
        std::vector<Texture> sheets;
        ASSERT_EQ(fontCells(prefix, folder, sheets), 256);
        // An extra sheet would overflow the 256-entry table of this code page.
        EXPECT_FALSE(fs::exists(kFonts + "/" + prefix + "gfx/font/1252/extra-" + folder + "-1.tga"));
        const Texture& first = sheets.front();
        int lineHeight = 0;
        for (const Rect& s : first.skins) lineHeight = std::max(lineHeight, s.height);
        // The check mark, the arrows and the capitals carry ink; the spacing accents are
        // cut to their ink, no taller than the line.
        for (int position : std::vector<int>{1, 3, 4, 5, 6, 7, 8, 'A', 'Z', 'a', '0', 0x7F}) {
            const Rect& s = first.skins.at(position);
            bool ink = false;
            for (int y = s.top; y < s.top + s.height && !ink; ++y)
                for (int x = s.left; x < s.left + s.width && !ink; ++x) ink = first.alphaAt(x, y);
            EXPECT_TRUE(ink) << "position " << position;
        }
        EXPECT_LT(first.skins.at(0x60).height, lineHeight) << "the grave accent";
    }
}

TEST(PictureDataTest, LanguageAndFontArchivesArePackedBesideTheProgram) {
    for (const char* name : {"/Torvane2Xmas.dat.language.v2", "/Torvane2Xmas.dat.1252"}) {
        std::string path = std::string(TORVANE_BINARY_DIR) + name;
        ASSERT_TRUE(fs::is_regular_file(path)) << path;
        EXPECT_GT(fs::file_size(path), 1000u) << path;
    }
}

TEST(PictureDataTest, CodePointTableMapsTheWesternCodePage) {
    std::vector<uint8_t> table = readBytes(kFonts + "/gfx/font/1252/1252.codepointLUT.bin");
    ASSERT_EQ(table.size(), 8u + 4 * 256);
    EXPECT_EQ(s32(table, 4), 256);
    auto entry = [&](int position) { return s32(table, 8 + 4 * position); };
    EXPECT_EQ(entry('A'), 'A');
    EXPECT_EQ(entry(0x80), 0x20AC);  // euro sign
    EXPECT_EQ(entry(0x81), 0x81);    // undefined positions map to themselves
    EXPECT_EQ(entry(0x9F), 0x178);   // Y with diaeresis
    EXPECT_EQ(entry(0xE9), 0xE9);
}

// A texel of a staged texture as 0xAARRGGBB (the file holds blue, green, red, alpha).
uint32_t texel(const Texture& t, int x, int y) {
    const uint8_t* p = &t.tga[18 + (static_cast<size_t>(t.height - 1 - y) * t.width + x) * 4];
    return static_cast<uint32_t>(p[3]) << 24 | static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 |
           p[0];
}

TEST(PictureDataTest, TheSkysTopRowsAreTheScreensClearGreyReachedGently) {
    // The screen above the sky is cleared to 0xA0A0A0: the sky's top rows are that grey
    // exactly, so filtering at the edge blends grey with grey, and the colour leaves it
    // gradually, the way down to the horizon.
    Texture sky = loadTexture(kData, "xmas-edition/gfx/sky-colormatched.tga");
    for (int y = 0; y < sky.skins.at(0).top + 4; ++y)
        for (int x = 0; x < sky.width; ++x) ASSERT_EQ(texel(sky, x, y), 0xFFA0A0A0u) << x << ", " << y;
    int firstBlue = 0;
    for (int y = 1; y < sky.height; ++y) {
        const uint32_t a = texel(sky, 0, y - 1), b = texel(sky, 0, y);
        for (int shift : {0, 8, 16})
            EXPECT_LE(std::abs(static_cast<int>((a >> shift & 0xFF) - (b >> shift & 0xFF))), 3) << y;
        if (!firstBlue && (b & 0xFF) > (b >> 16 & 0xFF) + 24) firstBlue = y;
    }
    EXPECT_GE(firstBlue, 30) << "the blue comes in over a long stretch, not at once";
}

// The ink of one glyph cell: its mean position relative to its bounding box's middle
// (x to the right, y downward), in pixels.
std::pair<double, double> inkBalance(const Texture& sheet, const Rect& s) {
    double sx = 0, sy = 0, n = 0;
    int left = s.left + s.width, right = s.left, top = s.top + s.height, bottom = s.top;
    for (int y = s.top; y < s.top + s.height; ++y)
        for (int x = s.left; x < s.left + s.width; ++x)
            if (sheet.alphaAt(x, y)) {
                sx += x, sy += y, ++n;
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    if (n == 0) return {0.0, 0.0};
    return {sx / n - (left + right) / 2.0, sy / n - (top + bottom) / 2.0};
}

TEST(PictureDataTest, ArrowCellsPointWhereTheKeyNamesWantThem) {
    // The names of the arrow keys are the code points 3 (left), 4 (right), 5 (up) and
    // 6 (down); the value items' arrows are 7 (left) and 8 (right). A triangle's ink lies
    // toward its base, away from its point.
    const std::vector<std::pair<std::string, std::string>> fonts = {
        {"", "font-tiny"}, {"", "font-small"}, {"", "font-medium"}, {"xmas-edition/", "font-large"}};
    for (const auto& [prefix, folder] : fonts) {
        SCOPED_TRACE(folder);
        Texture sheet = loadTexture(kFonts, prefix + "gfx/font/1252/" + folder + "-1.tga");
        for (int left : {3, 7}) EXPECT_GT(inkBalance(sheet, sheet.skins.at(left)).first, 0.2) << left;
        for (int right : {4, 8}) EXPECT_LT(inkBalance(sheet, sheet.skins.at(right)).first, -0.2) << right;
        EXPECT_GT(inkBalance(sheet, sheet.skins.at(5)).second, 0.2) << "up";
        EXPECT_LT(inkBalance(sheet, sheet.skins.at(6)).second, -0.2) << "down";
    }
}

TEST(PictureDataTest, EveryFontRingsItsLettersWithDarkInk) {
    // White letters read over snow and sky alike only with a dark edge around them.
    const std::vector<std::pair<std::string, std::string>> fonts = {
        {"", "font-tiny"}, {"", "font-small"}, {"", "font-medium"}, {"xmas-edition/", "font-large"}};
    for (const auto& [prefix, folder] : fonts) {
        Texture sheet = loadTexture(kFonts, prefix + "gfx/font/1252/" + folder + "-1.tga");
        for (int letter : {'o', 'A', 'i'}) {
            const Rect& s = sheet.skins.at(letter);
            int white = 0, dark = 0;
            for (int y = s.top; y < s.top + s.height; ++y)
                for (int x = s.left; x < s.left + s.width; ++x) {
                    const uint32_t c = texel(sheet, x, y);
                    if (c >> 24 < 0xC0) continue;
                    if ((c & 0xFF) > 0xD0 && (c >> 8 & 0xFF) > 0xD0) ++white;
                    if ((c >> 8 & 0xFF) < 0x50) ++dark;
                }
            EXPECT_GT(white, 0) << folder << " '" << static_cast<char>(letter) << "'";
            EXPECT_GE(dark, white / 2) << folder << " '" << static_cast<char>(letter) << "'";
        }
    }
}

// The letter (white, opaque) texels of one glyph cell in the lower right part of the
// letter's own box: right of two thirds of its width, below half its height.
int letterInLowerRight(const Texture& sheet, const Rect& s) {
    auto letter = [&](int x, int y) {
        const uint32_t c = texel(sheet, x, y);
        return c >> 24 >= 0xC0 && (c >> 8 & 0xFF) > 0x90;
    };
    int left = s.left + s.width, right = s.left, top = s.top + s.height, bottom = s.top;
    for (int y = s.top; y < s.top + s.height; ++y)
        for (int x = s.left; x < s.left + s.width; ++x)
            if (letter(x, y))
                left = std::min(left, x), right = std::max(right, x), top = std::min(top, y),
                bottom = std::max(bottom, y);
    int count = 0;
    for (int y = (top + bottom) / 2; y <= bottom; ++y)
        for (int x = left + 2 * (right - left) / 3; x <= right; ++x) count += letter(x, y) ? 1 : 0;
    return count;
}

TEST(PictureDataTest, TheLargeFontsRHasNoLegWhereItsNStands) {
    // A display face whose r comes down on the right like an n's leg makes "Erster
    // Platz!" read as "Ensten Platz!": the r's lower right stays clear of the letter.
    Texture sheet = loadTexture(kFonts, "xmas-edition/gfx/font/1252/font-large-1.tga");
    const int n = letterInLowerRight(sheet, sheet.skins.at('n'));
    const int r = letterInLowerRight(sheet, sheet.skins.at('r'));
    EXPECT_GT(n, 20);
    EXPECT_LT(r * 6, n) << "r " << r << ", n " << n;
}

TEST(PictureDataTest, TheLargeFontsPunctuationKeepsItsPartsApart) {
    // Where the ink rings of a mark's parts meet, a colon reads as an 8 ("Regeln8
    // Invasion") and a "?" close to an S: each part stays a blob of its own, with two
    // clear texels around it, so that one clear pixel is left wherever the game draws it.
    Texture sheet = loadTexture(kFonts, "xmas-edition/gfx/font/1252/font-large-1.tga");
    const std::vector<std::pair<int, size_t>> marks = {{':', 2}, {';', 2}, {'!', 2}, {'?', 2}, {'%', 3}, {0x85, 3}};
    for (const auto& [position, parts] : marks) {
        const Rect& s = sheet.skins.at(position);
        auto inked = [&](int x, int y) { return texel(sheet, s.left + x, s.top + y) >> 24 >= 0x40; };
        EXPECT_EQ(inkParts(s.width, s.height, inked, 2).size(), parts) << "position " << position;
    }
}

TEST(PictureDataTest, TheMakersNameReadsQuorrelAndNotQuonnel) {
    // A joined script whose r comes down on the right like an n's leg made the splash's
    // name read "Quonnel": its seven letters stand apart, and neither r has ink in the
    // lower right of its box, where the u (whose right leg is an n's) has plenty.
    Texture splash = loadTexture(kData, "gfx/system/qrstudios.tga");
    // The name stands right of the badge and its tail, above "STUDIOS": x 118 on, y 20..75.
    const Rect& s = splash.skins.at(0);
    const int left = s.left + 118, top = s.top + 20;
    auto letter = [&](int x, int y) {
        const uint32_t c = texel(splash, left + x, top + y);
        return c >> 24 >= 0x80 && (c >> 16 & 0xFF) > 0xE0 && (c & 0xFF) > 0xB0;  // the name's cream
    };
    std::vector<InkPart> letters = inkParts(s.width - 118, 55, letter, 1);
    ASSERT_EQ(letters.size(), 7u);
    auto leftOf = [](const InkPart& p) { return std::min_element(p.begin(), p.end())->first; };
    std::sort(letters.begin(), letters.end(),
              [&](const InkPart& a, const InkPart& b) { return leftOf(a) < leftOf(b); });
    auto inLowerRight = [](const InkPart& p) {
        int l = p[0].first, r = l, t = p[0].second, b = t;
        for (auto [x, y] : p) l = std::min(l, x), r = std::max(r, x), t = std::min(t, y), b = std::max(b, y);
        return std::count_if(p.begin(), p.end(), [&](const auto& q) {
            return 3 * q.first >= 3 * l + 2 * (r - l) && 2 * q.second >= t + b;
        });
    };
    const auto u = inLowerRight(letters[1]);
    EXPECT_GT(u, 10);
    for (int r : {3, 4}) EXPECT_LT(inLowerRight(letters[r]) * 6, u) << "letter " << r;
}

TEST(PictureDataTest, TheLogosTIsDrawnWithoutASeamThroughItsBar) {
    // The T's stem and bar are two outlines of the typeface: traced over the red face,
    // the stem's outline showed as a pale line through the bar. Along the middle half of
    // the bar, where the stem meets it (a sparkle stands near its left end), whose colour
    // changes only downward, one texel differs from the next by very little.
    Texture tile = loadTexture(kData, "xmas-edition/gfx/logo_0_0.tga");
    const Rect& s = tile.skins.at(0);
    auto face = [&](int x, int y) {
        const uint32_t c = texel(tile, x, y);
        return (c >> 16 & 0xFF) >= 0xC0 && (c >> 8 & 0xFF) < 0xA0;  // the letters' red
    };
    int rows = 0;
    for (int y = s.top; y < s.top + s.height; ++y)
        for (int x = s.left; x < s.left + s.width;) {
            int end = x;
            while (end < s.left + s.width && face(end, y)) ++end;
            if (end - x >= 50) {  // only the T's bar is this wide
                ++rows;
                int step = 0;
                for (int k = x + (end - x) / 4; k + 1 < end - (end - x) / 4; ++k)
                    step = std::max(step, std::abs(static_cast<int>((texel(tile, k, y) >> 8 & 0xFF) -
                                                                    (texel(tile, k + 1, y) >> 8 & 0xFF))));
                EXPECT_LE(step, 12) << "row " << y << ", texels " << x << ".." << end;
            }
            x = end + 1;
        }
    EXPECT_GE(rows, 10);
}

TEST(PictureDataTest, PanelFaceIsOpaqueAndLight) {
    // Popups stand over other screens: nothing may show through where their text stands,
    // and the captions, black at half opacity, need a light face under them.
    Texture square = loadTexture(kData, "gfx/gui/game/square.tga");
    const Rect& s = square.skins.at(0);
    for (int y = s.top + 16; y < s.top + s.height - 16; ++y)
        for (int x = s.left + 16; x < s.left + s.width - 16; ++x) {
            const uint32_t c = texel(square, x, y);
            ASSERT_EQ(c >> 24, 0xFFu) << x << ", " << y;
            EXPECT_GE(std::min({c >> 16 & 0xFF, c >> 8 & 0xFF, c & 0xFF}), 0xD8u) << x << ", " << y;
        }
}

}  // namespace
