#include "engine/ChildIterator.h"

#include "engine/BasicLink.h"

ChildIterator::ChildIterator(BasicLink* owner_, std::uint32_t mode_) : mode(mode_), owner(owner_) {
    nextNode = (mode & kBackwards) ? owner->lastChild : owner->firstChild;
    next();
}

void ChildIterator::next() {
    if (done) return;
    for (;;) {
        if (current && (mode & kDestroyPending) && current->pendingDelete) {
            current->destroy();
            current = nullptr;
        }
        current = nextNode;
        if (!current) {
            done = true;
            return;
        }
        nextNode = (mode & kBackwards) ? current->prev : current->next;
        if (!current->pendingDelete && (!current->skip || (mode & kVisitSkipped))) return;
    }
}
