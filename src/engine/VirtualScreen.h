#pragma once
// The virtual screen: every position on the screen is in these units, x from 0 to the
// width, y from 0 at the bottom to the height, whatever the display mode; the graphics
// service fits the display to it.
inline constexpr int kVirtualScreenWidth = 800;
inline constexpr int kVirtualScreenHeight = 480;
