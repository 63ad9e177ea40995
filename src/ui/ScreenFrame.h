#pragma once
// The frame that the menu screens share: the title at the top in the large font, and
// 160-wide items in the bottom corners (the one that closes the screen on the left, the
// one that goes on at the right).
#include <string>

class ContextMenu;
class FadingText;
class MenuButton;
class MenuItemBack;
class MessageViewer;

class ScreenFrame {
public:
    // The menu background behind `menu`, its title and a Back item; the screen deletes
    // itself when closed.
    static void build(ContextMenu* menu, const std::u16string& title);

    static FadingText* addTitle(ContextMenu* menu, const std::u16string& title);
    // Bottom left: closes the screen.
    static MenuItemBack* addBack(ContextMenu* menu, const std::u16string& caption);
    // Bottom right.
    static MenuButton* addNext(ContextMenu* menu, const std::u16string& caption);
    // A button of the screen's column, centred at height `y`, without a help line.
    static MenuButton* addButton(ContextMenu* menu, float y, const std::u16string& caption);
    // Keeps `viewer`'s lines in the band between the title and the highest of `menu`'s
    // items, a little clear of both: call once the items are all in place.
    static void keepBetweenTitleAndItems(ContextMenu* menu, MessageViewer* viewer);
};
