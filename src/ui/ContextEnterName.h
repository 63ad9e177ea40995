#pragma once
// The name entry dialog, shown over the screen beneath it: the player types a name (at
// most 16 UTF-16 units, a surrogate pair never split), and "OK" or Return creates a new
// profile with it, trailing spaces removed, which becomes the current one. "OK" stays
// disabled while the name is blank. On touch input the dialog is larger and has an
// on-screen keyboard of the letters a to z, space and backspace; it is rebuilt on every
// change of the input mode, keeping the name typed so far.
//
// The players screen opens it for "Add" (Escape leaves); the title menu's greeting
// opens it when the current profile has no name, and then it cannot be left without a
// name. Creates profiles in Global's profiles. Deleted by the screen stack when it
// closes. Main thread only.
#include <cstddef>
#include <string>

#include "ui/ContextMenu.h"

class FadingText;
class MenuButton;

class ContextEnterName : public ContextMenu {
public:
    static constexpr std::size_t kMaxNameLength = 16;  // UTF-16 units
    static constexpr char16_t kBackspace = 8;
    static constexpr char16_t kReturn = 13;
    static constexpr float kNameWidth = 600.0f;             // a wider name is squeezed to this
    enum class Edit { kNone, kAppended, kHalf, kRemoved };  // kHalf: the first half of a pair

    // closeOnEscape: true from the players screen, false from the title menu's greeting.
    explicit ContextEnterName(bool closeOnEscape);

    // On touch input navigation goes back to the pointer; the layout is built anew.
    void onInputModeChange() override;
    void tickContents(double time, double dt) override;
    // The screen beneath, then the dialog.
    void renderContents() override;

    // Applies the character `c` typed to `name`: backspace removes the last character
    // (a surrogate pair whole); a printable character is appended while it fits. A pair
    // arrives as two characters: the first half is appended only when both fit, and is
    // dropped when anything but its second half follows. Control characters, a second
    // half without its first and anything past the 16th unit change nothing.
    static Edit type(std::u16string& name, char16_t c);
    // `name` as a profile gets it: without trailing spaces, tabs and line breaks, nor an
    // unpaired surrogate at its end.
    static std::u16string keptName(std::u16string name);

    MenuButton* pOkButton = nullptr;  // children, renewed with the layout
    FadingText* pNameText = nullptr;
    std::u16string name;
    char16_t pendingChar = 0;  // the on-screen key's character of this frame, 0 none

private:
    void buildLayout();
    void clearLayout();
    void addKeyboard();
    void showName();
};
