#pragma once
// The five fonts of the menus behind the TextFont interface: tiny, small, medium, large
// and HUD, in the order of the application's font table.
//
// A font slot holds a font that someone else owns (the loaded fonts, or a test's own).
// Empty slots give null, and every widget draws nothing and measures 0 with a null font,
// so the menus run without loaded fonts (headless tests). Main thread only.
#include <array>

class TextFont;

class MenuFonts {
public:
    enum Index { kTiny = 0, kSmall, kMedium, kLarge, kHUD, kCount };

    static TextFont* get(int index);
    // Puts `font` (not owned; null empties the slot) in slot `index`.
    static void set(int index, TextFont* font);
    static void clear();

private:
    static std::array<TextFont*, kCount> fonts;
};
