#pragma once
// A menu screen: widgets as its children and a navigation list through which the keys
// reach them. The arrow keys and the first two joysticks' directions move the system
// pointer to the next or previous navigation point in list order; Return and joystick
// button 0 click where the pointer is (a synthetic contact), so widgets handle only the
// pointer. Widgets offer their points through NavigationTarget.
#include <vector>

#include "engine/QorBase.h"
#include "render/Context.h"
#include "render/Vector3.h"

class MenuNavEntry;

class ContextMenu : public Context {
public:
    ContextMenu();

    // Enters `widget` (already in the tree) in the navigation list; the list owns the entry.
    MenuNavEntry* addNavigationEntry(QorBase* widget);
    void tickContents(double time, double dt) override;

    QorBase navigationList;  // the MenuNavEntry records, in the order entered
    int selected = -1;       // index of the navigation point the keys chose last

private:
    std::vector<Vector3> collectPoints();
    void moveSelection(int step);
};
