#pragma once
// A system typeface at one cell height, rasterised the way the engine's text code
// expects of a desktop font device: fontconfig finds the face by family name ("Arial"
// and "Comic Sans MS" resolve to their metric-compatible free faces), FreeType draws it.
//
// Metrics follow the classic font-device conventions: the cell height is the face's
// ascent plus descent at the requested size; an extent is the sum of the characters'
// advances (no kerning) by the cell height; a character's A, B and C widths are its
// left bearing, its ink width and what remains of its advance (A and C may be
// negative). Text is drawn white on opaque black with grey-level antialiasing, its
// origin at the top-left corner of the cell.
//
// Units are pixels. Text is UTF-16; surrogate pairs form one character. Not thread-safe:
// use from one thread. The object owns its face.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class SystemTypeface {
public:
    struct Extent {
        int width = 0;
        int height = 0;
    };
    struct ABC {
        int a = 0;  // from the pen to the ink's left edge
        int b = 0;  // the ink's width
        int c = 0;  // from the ink's right edge to the next pen position
    };

    // The face that fontconfig matches to `family` (its bold weight when `bold`), sized to
    // a cell `cellHeight` pixels high; null when no face can be loaded.
    static std::unique_ptr<SystemTypeface> open(const std::string& family, int cellHeight, bool bold = false);
    // The font file chosen for a family name (its bold weight when `bold`; empty when
    // none), for logs and tests.
    static std::string resolveFile(const std::string& family, bool bold = false);
    ~SystemTypeface();
    SystemTypeface(const SystemTypeface&) = delete;
    SystemTypeface& operator=(const SystemTypeface&) = delete;

    int cellHeight() const { return ascent + descent; }
    int ascentPixels() const { return ascent; }
    const std::string& familyName() const { return family; }

    Extent textExtent(std::u16string_view text);
    // False when the face has no outline for the character; the widths are then 0.
    bool charABC(char32_t c, ABC& out);
    // Draws `text` with the top-left corner of its cell at (x, y) into a 32-bit top-down
    // bitmap of width x height pixels. Background pixels of the text's cell become opaque
    // black; ink is white, its grey level in each colour byte. Clipped to the bitmap.
    void drawText(std::u16string_view text, int x, int y, std::uint32_t* pixels, int width, int height);

private:
    struct Face;
    explicit SystemTypeface(std::unique_ptr<Face> face);
    int advanceOf(char32_t c);

    std::unique_ptr<Face> face;
    std::string family;
    int ascent = 0, descent = 0;
};
