#include "engine/Link.h"

#include "engine/Event.h"
#include "engine/Qor.h"
#include "engine/QorBase.h"

Link::~Link() { set(nullptr); }

void Link::set(QorBase* newTarget) {
    const bool wasSet = target != nullptr;
    if (target) target->referrers.removeChild(this);
    target = newTarget;
    if (newTarget) {
        newTarget->referrers.addChild(this);
        return;
    }
    if (wasSet) notifyOwner();
}

void Link::notifyOwner() {
    if (!owner) return;
    Event e;
    e.code = Event::kLinkEmptied;
    e.currentTarget = owner;
    e.dispatcher = qor->pMouseDispatcher;  // none in programs without input
    e.param1 = reinterpret_cast<std::uintptr_t>(this);
    QorBase* ownerParent = owner->parentObject();
    if (ownerParent && ownerParent->previewEvent(e)) return;
    if (!owner->bNoInput && owner->onEvent(e)) return;
    if (ownerParent) ownerParent->bubbleEvent(e);
}

EngineListNode::~EngineListNode() {
    // The owner has already unlinked this node from the engine list.
    parent = nullptr;
    firstChild = lastChild = nullptr;
}
