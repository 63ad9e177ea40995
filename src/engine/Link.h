#pragma once
// A weak reference to a QorBase: cleared when its target dies, and its owner is then
// told by an event of code 0 (Event::kLinkEmptied). While set, the link hangs in the
// target's `referrers` list. Embed it by value in the object that holds it.
#include "engine/BasicLink.h"

class QorBase;

class Link : public BasicLink {
public:
    explicit Link(QorBase* owner_ = nullptr) : owner(owner_) {}
    ~Link() override;

    // Re-points the link. Setting it to the object it already holds moves it to the end
    // of the referrer list and sends nothing; clearing a set link notifies the owner.
    void set(QorBase* newTarget);
    QorBase* get() const { return target; }

    QorBase* target = nullptr;  // the referenced object or null
    QorBase* owner = nullptr;   // told when the link is cleared; may be null

private:
    void notifyOwner();
};

// The node that threads every live QorBase into the engine object list.
class EngineListNode : public BasicLink {
public:
    explicit EngineListNode(QorBase* self) : target(self) {}
    ~EngineListNode() override;
    QorBase* target;  // the object the node belongs to
};
