#pragma once
// The name entry dialog. For now: the typed characters form the name, Return or Done
// keeps it (a new profile when the current one has no name, else the current one is
// renamed) and Escape leaves when allowed. An empty name is kept as "Player", so the
// title menu never asks again and again.
#include <string>

#include "ui/ContextMenu.h"

class FadingText;
class MenuButton;

class ContextEnterName : public ContextMenu {
public:
    // closeOnEscape: 1 from the Players screen, 0 from the title menu's greeting.
    explicit ContextEnterName(bool closeOnEscape);

    void tickContents(double time, double dt) override;

    std::u16string name;

private:
    void keepName();

    FadingText* nameLabel = nullptr;  // child
    MenuButton* doneItem = nullptr;   // child
};
