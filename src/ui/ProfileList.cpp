#include "ui/ProfileList.h"

#include "engine/Qor.h"
#include "render/Context.h"
#include "ui/ContextMenu.h"
#include "ui/ContextPlayers.h"
#include "ui/Global.h"

// Invisible: only its navigation points count.
void ProfileList::render() {}

Vector3 ProfileList::getNavigationPoint(int i) {
    if (!global || i < 0 || i >= global->profiles.countProfiles()) return kNoPoint;
    const Vector3 row{kRowX, rowY(i), 0.0f};
    for (BasicLink* p = parent; p; p = p->parent)
        if (auto* menu = dynamic_cast<ContextMenu*>(static_cast<QorBase*>(p))) return menu->worldToScreen(row);
    return row;
}

bool ProfileList::isUnderPointer() {
    const Context* context = qor->pCurrentContext;
    return global && context && ContextPlayers::rowAt(context->pointer, global->profiles.countProfiles()) >= 0;
}
