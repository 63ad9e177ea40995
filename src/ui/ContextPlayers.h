#pragma once
// The players screen, shown over the title menu: the profiles listed by name with the
// current one marked, a click (or the activate key on a row) selects another, "Add"
// asks for a name and creates a profile, "Delete" removes the current profile after
// "Are you sure?". There are always between one and eight profiles from here: Add is
// disabled at eight, Delete at one. "Done" closes the screen.
//
// Reads and changes Global's profiles. Deleted by the screen stack when it closes.
// Main thread only.
#include "ui/ContextMenu.h"

class MenuButton;

class ContextPlayers : public ContextMenu {
public:
    static constexpr int kMaxProfiles = 8;  // Add is offered below this many
    static constexpr float kRowHalfWidth = 150.0f;
    static constexpr float kNameWidth = 300.0f;  // a longer name is squeezed to this

    ContextPlayers();

    // The buttons' states, the menu, the buttons' actions, then a press on a row.
    void tickContents(double time, double dt) override;
    // The title menu beneath, the menu, then the rows.
    void renderContents() override;

    // The row under the world point `p`, or -1: rows are 300 wide from x = -150, 30
    // high, row i from y = 120 - 30 i (excluded) to 150 - 30 i (included).
    static int rowAt(const Vector3& p, int rows);

    MenuButton* pAddButton = nullptr;  // children
    MenuButton* pDeleteButton = nullptr;

private:
    void selectPressedRow();
    void drawRow(int i);
};
