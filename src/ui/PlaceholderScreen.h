#pragma once
// The common body of the screens that the title menu leads to and whose contents come
// later: a title at the top and a Back item in the bottom corner, so that each screen
// can be reached and closed.
#include <string>

class ContextMenu;

class PlaceholderScreen {
public:
    // Adds the title (large font) and the Back item to `menu`.
    static void build(ContextMenu* menu, const std::u16string& title);
};
