#include "engine/QorBase.h"

#include <cstdint>

#include "engine/ChildIterator.h"
#include "engine/ClassInfo.h"
#include "engine/ClassRegistry.h"
#include "engine/ErrorManager.h"
#include "engine/Event.h"
#include "engine/NetRoleFlags.h"
#include "engine/Property.h"
#include "engine/PropertyContainer.h"
#include "engine/PropertyInt.h"
#include "engine/Qor.h"
#include "engine/Serializer.h"

QOR_DEFINE_CLASS(QorBase, BasicLink, (&makeInstance<QorBase, BasicLink>))

QorBase::QorBase() {
    QOR_ASSERT("QorBase::QorBase", qor != nullptr);
    qor->objectList.addChild(&engineListNode);
}

QorBase::~QorBase() {
    // Children end first, each through its own destroy(), which unlinks it from us.
    while (lastChild) lastChild->destroy();
    if (engineListNode.parent) engineListNode.parent->removeChild(&engineListNode);
    clearReferrers();
    // The BasicLink destructor unlinks this object from its parent.
}

void QorBase::clearReferrers() {
    // Weak links are cleared, and their owners told, before the object leaves its parent.
    while (referrers.firstChild) static_cast<Link*>(referrers.firstChild)->set(nullptr);
}

ClassInfo* QorBase::getClass() const { return &classInfo; }

void QorBase::destroy() {
    if (objectUID >= 1 && remoteDestroy && remoteDestroy(this)) return;
    delete this;
}

void QorBase::tick(double time, double dt) {
    tickState(time, dt);
    for (ChildIterator it(this, ChildIterator::kDestroyPending); !it.done; it.next())
        static_cast<QorBase*>(it.current)->tick(time, dt);
}

void QorBase::render() {
    for (ChildIterator it(this, ChildIterator::kDestroyPending); !it.done; it.next())
        static_cast<QorBase*>(it.current)->render();
}

QorBase* QorBase::findNthHit(int& n) {
    if (bNoInput) return nullptr;
    for (ChildIterator it(this, ChildIterator::kBackwards); !it.done; it.next()) {
        if (QorBase* hit = static_cast<QorBase*>(it.current)->findNthHit(n)) {
            if (--n < 0) return hit;
        }
    }
    if (hitTest() && --n < 0) return this;
    return nullptr;
}

bool QorBase::previewEvent(Event& e) {
    if (bNoInput) return true;
    if (QorBase* p = parentObject(); p && p->previewEvent(e)) return true;
    return onPreviewEvent(e);
}

bool QorBase::bubbleEvent(Event& e) {
    if (bNoInput) return false;
    if (onBubbleEvent(e)) return true;
    QorBase* p = parentObject();
    return p ? p->bubbleEvent(e) : false;
}

bool QorBase::onPreviewEvent(Event& e) { return listener ? listener->onPreviewEvent(e) : false; }
bool QorBase::onEvent(Event& e) { return listener ? listener->onEvent(e) : false; }
bool QorBase::onBubbleEvent(Event& e) { return listener ? listener->onBubbleEvent(e) : false; }

void QorBase::deleteChildren() {
    while (lastChild) lastChild->destroy();
}

NetRoleFlags* (*QorBase::netRole)() = nullptr;
bool (*QorBase::remoteDestroy)(QorBase*) = nullptr;

QorBase* QorBase::findContext() {
    // Contexts belong to the rendering layer above this one: known by their record's name.
    static const ClassInfo* const context = ClassRegistry::instance().findByName(u"Context");
    for (QorBase* o = this; o; o = o->parentObject())
        if (context && o->getClass()->isA(context)) return o;
    QOR_FATAL("QorBase::findContext", u"Could not find any Context object.");
}

void QorBase::describeProperties(PropertyContainer* container) {
    container->addChild(
        new PropertyInt(u"objectUID", Property::kNotSerialisedA | Property::kNotSerialisedB, &objectUID));
    auto* stateProperties = new PropertyContainer(u"StateBase", 0);
    container->addChild(stateProperties);
    StateBase::describeProperties(stateProperties);
}

PropertyContainer* QorBase::getProperties() {
    auto* container = new PropertyContainer(
        getClass()->name +
            formatString(u" (%08llx)", static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(this))),
        0);
    describeProperties(container);
    return container;
}

void QorBase::netSerialize(Serializer& p) {
    PropertyContainer* properties = getProperties();
    properties->serialize(p);
    properties->destroy();
    if (p.flags & Serializer::kClassHashes) {
        std::uint32_t marker = Serializer::kObjectMarker;
        p.doRaw32(&marker);
        // A message that lost its place comes from outside: it is refused, never fatal.
        if (!p.bWriting && marker != Serializer::kObjectMarker) p.bBad = 1;
    }
    if (p.bBad) return;
    serializeChildren(p, false);
}

void QorBase::netSerializeLinks(Serializer& p) { serializeChildren(p, true); }

void QorBase::serializeChildren(Serializer& p, bool registeredOnly) {
    std::uint8_t hasChildren = p.bWriting && firstChild ? 1 : 0;
    p.doBool(hasChildren, 0);
    if (!hasChildren) return;
    if (p.bWriting) {
        for (BasicLink* node = firstChild; node; node = node->next) {
            auto* child = static_cast<QorBase*>(node);
            const bool skipped =
                registeredOnly
                    ? child->objectUID <= 0
                    : ((p.flags & Serializer::kOnlyRegisteredChildren) && child->objectUID <= 0) || child->bNoNet;
            if (!skipped) p.doPointer2(child);
        }
        QorBase* end = nullptr;
        p.doPointer2(end);
        return;
    }
    QorBase* child = nullptr;
    while (p.doPointer2(child)) {
        // An id the role does not know, or an object already in a tree, is not adopted.
        if (child && !child->parent && child != this) addChild(child);
    }
}

void QorBase::setStateRemote(std::int32_t s, double delay) {
    if (delay == 0.0) {
        setState(s, 0.0);
        return;
    }
    NetRoleFlags* role = netRole ? netRole() : nullptr;
    if (!role || role->bServer) {
        const bool inside = role ? role->bInsideClientCall : false;
        if (role) role->bInsideClientCall = false;
        setState(s, delay);
        if (role) role->bInsideClientCall = inside;
    }
    if (!role) {
        stateGoto = s;
    } else if (!role->bServer) {
        const bool inside = role->bInsideServerCall;
        role->bInsideServerCall = false;
        stateGoto = s;
        role->bInsideServerCall = inside;
    }
}
