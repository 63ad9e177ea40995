#pragma once
// A GUI theme maps a widget style number to the texture its frames are built from and
// gives the widgets of that look their metrics, paddings and font. The application
// object owns one standard and one minimal theme, built after the fonts. The menus of
// this game build their frames directly and select no style.
//
// A styled widget carries four frame margins (left, top, right, bottom, in pixels of the
// normal-resolution image) and three faces built on skins 1, 0 and 2 of the style's
// texture; it owns its faces.
#include <array>
#include <cstdint>
#include <string>

class NineSliceFrame;
class TextFont;

class GUItheme {
public:
    struct StyledWidget {
        StyledWidget() = default;
        ~StyledWidget();
        StyledWidget(const StyledWidget&) = delete;
        StyledWidget& operator=(const StyledWidget&) = delete;

        std::array<std::int32_t, 4> margins{0, 0, 0, 0};
        std::array<NineSliceFrame*, 3> faces{nullptr, nullptr, nullptr};  // owned
    };

    virtual ~GUItheme() = default;
    // Builds `widget`'s faces for `style`; 0 changes nothing; an unknown style is fatal.
    virtual void setStyle(StyledWidget& widget, int style) = 0;
    // Replaces the widget's three faces by frames on skins 1, 0 and 2 of `texture` (a
    // registered texture name), with the widget's margins.
    void rebuildFrame(StyledWidget& widget, const std::u16string& texture);

    std::array<std::int32_t, 3> metrics{0, 0, 0};
    std::array<std::int32_t, 4> paddings{0, 0, 0, 0};
    TextFont* font = nullptr;  // not owned
};
