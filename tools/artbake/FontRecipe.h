#pragma once
// A bitmap font recipe (data/fonts/*.font): which free typeface makes the glyph sheets of
// one game font, at what size and in what style. Line-based, '#' starts a comment:
//
//   font      font-medium               # folder and sheet stem ("%s-%d.tga")
//   prefix    xmas-edition/             # path prefix of the sheets (optional)
//   archive   Torvane2Xmas.dat.1252     # archive folder under the data stage
//   face      Comic Neue:style=Bold     # fontconfig pattern of the typeface
//   fallback  Liberation Sans:style=Bold  # typeface for characters the first one lacks
//   pixels    18                        # FreeType pixel size
//   capline   2                         # rows from a cell's top to the top of the capitals
//   outline   1                         # dark outline around the white glyphs, pixels
//   shade     0.12                      # how much darker the glyph bottoms are (0..1)
//   sheet     256x256                   # largest sheet; more sheets follow when it is full
//   apart     : ; ! ?                   # marks whose parts are moved apart until their
//                                       # outlines leave a channel between them
//   single    path/of/one/sheet.tga     # instead of sheets: one texture ...
//   first     44                        # ... holding the positions first to last
//   last      90
//   meaning   free text for the README
// Throws std::runtime_error with file and line on errors.

#include <string>

namespace artbake {

struct FontRecipe {
    std::string file;
    std::string folder;
    std::string prefix;
    std::string archive = "Torvane2Xmas.dat.1252";
    std::string codePage = "1252";
    std::string face;
    std::string fallback = "Liberation Sans:style=Bold";
    std::string meaning;
    std::u32string apart;  // the characters listed by "apart", spaces left out
    double pixels = 16.0;
    int capLine = 0;
    int outline = 0;
    double shade = 0.0;
    int sheetWidth = 256;
    int sheetHeight = 256;
    std::string single;
    int first = 0;
    int last = 255;

    static FontRecipe load(const std::string& file);
};

}  // namespace artbake
