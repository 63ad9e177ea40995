#include "ui/ContextMenu.h"

#include "engine/ChildIterator.h"
#include "engine/Qor.h"
#include "inputaudio/QorInput.h"
#include "render/Renderable.h"
#include "ui/MenuNavEntry.h"
#include "ui/NavigationTarget.h"

namespace {
constexpr int kReturn = 28;
constexpr int kUp = 200, kLeft = 203, kRight = 205, kDown = 208;

bool pressedJoystick(const QorInput& input, int offset) {
    for (int j = 0; j < 2; ++j)
        if (input.wasPressed(QorInput::kJoystickBase + QorInput::kJoystickCodes * j + offset)) return true;
    return false;
}
}  // namespace

ContextMenu::ContextMenu() { bDeleteOnClose = 1; }

MenuNavEntry* ContextMenu::addNavigationEntry(QorBase* widget) {
    auto* entry = new MenuNavEntry(widget);
    navigationList.addChild(entry);
    return entry;
}

std::vector<Vector3> ContextMenu::collectPoints() {
    std::vector<Vector3> points;
    for (ChildIterator it(&navigationList); !it.done; it.next()) {
        auto* entry = static_cast<MenuNavEntry*>(it.current);
        QorBase* widget = entry->widget();
        if (!widget) {
            entry->pendingDelete = 1;  // its widget has gone
            continue;
        }
        auto* drawn = dynamic_cast<Renderable*>(widget);
        auto* target = dynamic_cast<NavigationTarget*>(widget);
        if (!target || (drawn && drawn->bHidden)) continue;
        for (int i = 0;; ++i) {
            const Vector3 p = target->getNavigationPoint(i);
            if (p.x == -1.0f && p.y == -1.0f && p.z == -1.0f) break;
            points.push_back(p);
        }
    }
    return points;
}

void ContextMenu::moveSelection(int step) {
    const std::vector<Vector3> points = collectPoints();
    if (points.empty()) return;
    const int n = static_cast<int>(points.size());
    selected = selected < 0 ? (step > 0 ? 0 : n - 1) : ((selected + step) % n + n) % n;
    const Vector3& p = points[static_cast<std::size_t>(selected)];
    qor->pQorInput->setMousePos(p.x, p.y, 0.0f);
}

void ContextMenu::tickContents(double time, double dt) {
    Context::tickContents(time, dt);
    QorInput* input = qor->pQorInput;
    if (!input || bFinished) return;
    if (input->wasPressed(kDown) || input->wasPressed(kRight) || pressedJoystick(*input, QorInput::kDirDown) ||
        pressedJoystick(*input, QorInput::kDirRight))
        moveSelection(1);
    else if (input->wasPressed(kUp) || input->wasPressed(kLeft) || pressedJoystick(*input, QorInput::kDirUp) ||
             pressedJoystick(*input, QorInput::kDirLeft))
        moveSelection(-1);
    if (input->wasPressed(kReturn) || pressedJoystick(*input, QorInput::kJoystickButtonOffset))
        input->addMouseContact();
}
