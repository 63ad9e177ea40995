#pragma once
// The five fonts of the menus behind the TextFont interface: tiny, small, medium, large
// and HUD, in the order of the application's font table.
//
// A slot set with set() holds a font that someone else owns (a test's own). An empty
// slot gives the application's loaded font of that index through an adapter that this
// class owns and renews when the loaded font changes; null while no font is loaded, and
// every widget draws nothing and measures 0 with a null font, so the menus also run
// without loaded fonts (headless tests). Main thread only.
#include <array>
#include <memory>

class FontQuad;
class FontQuadTextFont;
class TextFont;

class MenuFonts {
public:
    enum Index { kTiny = 0, kSmall, kMedium, kLarge, kHUD, kCount };

    static TextFont* get(int index);
    // Puts `font` (not owned; null empties the slot) in slot `index`.
    static void set(int index, TextFont* font);
    // Empties every slot and drops the adapters.
    static void clear();

private:
    static TextFont* loaded(int index);

    static std::array<TextFont*, kCount> fonts;
    static std::array<std::unique_ptr<FontQuadTextFont>, kCount> adapters;
};
