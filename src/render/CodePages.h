#pragma once
// The built-in code-page tables of the bitmap fonts: 256 entries mapping a glyph-sheet
// position to a Unicode code point, for the code pages "1250", "1251", "1252", "1253"
// and "1255". Static data.
#include <cstdint>
#include <string_view>

// The table of that code page's name, or null for a name without a built-in table.
const std::uint32_t* codePageTable(std::u16string_view name);
