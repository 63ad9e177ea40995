#include "engine/BasicLink.h"

#include "engine/ClassInfo.h"

QOR_DEFINE_ROOT_CLASS(BasicLink, (&makeInstance<BasicLink, BasicLink>))

ClassInfo* BasicLink::getClass() const { return &classInfo; }

BasicLink::~BasicLink() {
    if (parent) parent->removeChild(this);
    deleteChildren();
}

void BasicLink::destroy() { delete this; }

void BasicLink::addChild(BasicLink* child) {
    if (!lastChild) {
        child->prev = child->next = nullptr;
        firstChild = lastChild = child;
    } else {
        child->next = nullptr;
        lastChild->next = child;
        child->prev = lastChild;
        lastChild = child;
    }
    child->parent = this;
}

void BasicLink::addChildFirst(BasicLink* child) {
    if (!firstChild) {
        child->prev = child->next = nullptr;
        firstChild = lastChild = child;
    } else {
        child->prev = nullptr;
        firstChild->prev = child;
        child->next = firstChild;
        firstChild = child;
    }
    child->parent = this;
}

void BasicLink::insertChildAfter(BasicLink* child, BasicLink* after) {
    if (!after || after == lastChild) {
        addChild(child);
        return;
    }
    child->prev = after;
    child->next = after->next;
    after->next->prev = child;
    after->next = child;
    child->parent = this;
}

void BasicLink::unlinkChild(BasicLink* child) {
    if (firstChild == lastChild) {
        firstChild = lastChild = nullptr;
    } else if (child == firstChild) {
        firstChild = child->next;
    } else if (child == lastChild) {
        lastChild = child->prev;
    }
    if (child->prev) child->prev->next = child->next;
    if (child->next) child->next->prev = child->prev;
    child->parent = nullptr;
}

void BasicLink::removeChild(BasicLink* child) { unlinkChild(child); }

void BasicLink::deleteChildren() {
    // The parent pointer is cleared before the delete so that the child's destructor
    // does not unlink it a second time.
    while (BasicLink* child = lastChild) {
        unlinkChild(child);
        delete child;
    }
}

int BasicLink::countChildren() const {
    int n = 0;
    for (const BasicLink* c = firstChild; c; c = c->next) ++n;
    return n;
}
