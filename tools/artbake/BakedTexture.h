#pragma once
// One finished picture of the game's data: its pixels, its skins and where it goes.

#include <cstdint>
#include <string>
#include <vector>

namespace artbake {

// Straight (not premultiplied) 8-bit RGBA pixels, rows from the top. Cairo works
// premultiplied; conversion happens once, when a drawing is copied into the texture.
struct Image {
    int width = 0;              // pixels
    int height = 0;             // pixels
    std::vector<uint8_t> rgba;  // width * height * 4 bytes: red, green, blue, alpha

    Image() = default;
    Image(int w, int h) : width(w), height(h), rgba(static_cast<size_t>(w) * h * 4, 0) {}
    uint8_t* at(int x, int y) { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
    const uint8_t* at(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
};

// A skin rectangle in image pixels, as the game's skin file and ".preload" record hold it.
struct SkinRect {
    int left = 0, top = 0, width = 0, height = 0;
    int originAdjustX = 0;  // image pixels the drawn skin moves right
    int originAdjustY = 0;  // image pixels the drawn skin moves down
};

struct BakedTexture {
    std::string archive;  // archive folder under the data stage, e.g. "Torvane2Xmas.dat"
    std::string path;     // relative name inside the archive, exact letter case
    std::string name;     // the name the loader registers it under
    std::string meaning;  // one line for the README and the contact sheet
    Image image;
    std::vector<SkinRect> skins;  // in skin order
};

}  // namespace artbake
