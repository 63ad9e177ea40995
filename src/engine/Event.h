#pragma once
// The record that travels through event routing: preview from the root down, then the
// target itself, then bubbling from its parent up.
#include <cstdint>

class QorBase;
class MouseDispatcher;

struct Event {
    enum Code : std::int32_t {
        kLinkEmptied = 0,  // a weak link's target died; param1 is the Link
        kCaptureLost = 2,
        kCaptureGained = 3,
        kClick = 4,
        kDrag = 5,
        kKey = 6,
        kMove = 7,
    };

    std::int32_t code = 0;
    QorBase* source = nullptr;         // the object the event is about, may be null
    QorBase* currentTarget = nullptr;  // the object the event is delivered to
    MouseDispatcher* dispatcher = nullptr;
    std::uintptr_t param1 = 0;
    std::uintptr_t param2 = 0;
};
