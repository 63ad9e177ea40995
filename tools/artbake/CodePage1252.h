#pragma once
// The Western European code page the game's fonts are laid out in: glyph cell i of a sheet
// shows the character of table position i. The positions the published mapping leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the same value as a code point, as the
// game's own table does.

#include <cstdint>
#include <vector>

namespace artbake {

class CodePage1252 {
public:
    static constexpr int kEntries = 256;

    // Code point of table position 0..255.
    static char16_t toUnicode(int position);

    // The code-point lookup file: u32 0 (unused by the game), u32 entry count, then one
    // u32 code point per table position, all little-endian.
    static std::vector<uint8_t> encodeLookupTable();
};

}  // namespace artbake
