#pragma once
// The two line metrics of a glyph-sheet font, measured on the finished cells: how many
// rows lie between a cell's top and the first drawn row (outline included) of the
// capitals and of the small letters. The game stacks accents one pixel above these lines,
// so they must describe this art, not the typeface's nominal metrics. Written beside the
// sheets as "<folder>.lines" (an INI file, section "Lines", keys "capital" and "small").

#include <string>
#include <vector>

#include "BakedTexture.h"

namespace artbake {

struct FontLines {
    int capitalLine = 0;
    int lowercaseLine = 0;

    // The letters whose accented forms the game composes (0x7F: the dotless i).
    static constexpr const char* kCapitals = "ACEINOSUYZ";
    static constexpr const char* kSmall = "acenosuyz\x7f";

    // The highest drawn row (alpha > 0) over `cells`; `fallback` when none has any ink.
    static int topInkRow(const std::vector<const Image*>& cells, int fallback);
    std::string encode() const;
};

}  // namespace artbake
