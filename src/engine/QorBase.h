#pragma once
// The base class of every engine and game object: a tree node whose children it ticks
// and draws each frame, a state machine, event routing to an optional listener, the
// hooks through which the engine reaches every object, and the head of the list of weak
// links that point to it. Every live QorBase is also threaded into the engine object
// list, in construction order, so objects may only exist while the engine object does.
//
// Lifetime: a parent owns its children. End an object with destroy(), or flag it with
// `pendingDelete` and let its parent's next tick or draw walk destroy it.
#include <cstdint>

#include "engine/BasicLink.h"
#include "engine/Link.h"
#include "engine/StateBase.h"

struct Event;
class Serializer;
struct NetRoleFlags;
class PropertyContainer;

class QorBase : public BasicLink, public StateBase {
public:
    QorBase();
    ~QorBase() override;

    static ClassInfo classInfo;
    ClassInfo* getClass() const override;
    void destroy() override;

    virtual void tick(double time, double dt);
    virtual void render();
    // The n-th object under the pointer, counting from 0, front to back; decrements n
    // for every hit it passes.
    virtual QorBase* findNthHit(int& n);
    virtual bool hitTest() { return false; }
    virtual bool previewEvent(Event& e);
    virtual bool bubbleEvent(Event& e);
    virtual bool onPreviewEvent(Event& e);
    virtual bool onEvent(Event& e);
    virtual bool onBubbleEvent(Event& e);
    virtual void onQORmodeChange(int /*oldMode*/, int /*newMode*/) {}
    virtual void onInputModeChange() {}
    virtual void purge() {}
    virtual void onPresentationRestored() {}
    // The object's properties, the marker (packet flag 4), then its children by
    // reference, in both directions. Objects read as children are appended with addChild.
    virtual void netSerialize(Serializer& p);
    // The child references alone; writes only children with an id above 0.
    virtual void netSerializeLinks(Serializer& p);
    virtual void onRemoteSignalA() {}
    virtual void onRemoteSignalB() {}
    // Destroys the children, last to first, each through its own destroy().
    virtual void deleteChildren();

    // Appends "objectUID" (never serialised), then a "StateBase" container with the
    // state fields. Subclasses call this first and append their own.
    void describeProperties(PropertyContainer* container) override;

    // A new container named "<class name> (<address>)" filled by describeProperties;
    // the caller deletes it (destroy()).
    PropertyContainer* getProperties();

    // The current network role, or null without one; set by the network service while it
    // exists (the network layer stands above this one).
    static NetRoleFlags* (*netRole)();
    // How a replicated object (objectUID >= 1) ends while the network service exists:
    // true when the hook took the object over (it ends through the network role's
    // deletion call); false leaves destroy() to delete it at once.
    static bool (*remoteDestroy)(QorBase* object);

    // A state change asked for by the far side. Without a network role, or on the
    // server, it is an ordinary setState; on a client a delayed change only records the
    // state asked for.
    void setStateRemote(std::int32_t s, double delay);

    // The nearest object from this one up whose class is Context or derives from it;
    // finding none is fatal.
    QorBase* findContext();

    // The parent as an engine object; null for a root or a plain list head (such as the
    // input service's contact list).
    QorBase* parentObject() const { return dynamic_cast<QorBase*>(parent); }

    std::uint8_t bVisible = 1;            // visibility result kept for drawn subclasses
    std::uint8_t bSkipVisibility = 0;     // used by drawn subclasses
    std::uint8_t bNoInput = 0;            // no hits from the subtree; events swallowed
    std::uint8_t bNoNet = 0;              // not written as a child by network serialisation
    std::int32_t objectUID = -1;          // network object id; registered when > 0
    QorBase* listener = nullptr;          // receives the on*Event calls when set
    BasicLink referrers;                  // the Links that point to this object
    EngineListNode engineListNode{this};  // threads the object into the engine object list

private:
    void clearReferrers();
    // Child references ended by a null one; `registeredOnly`: children with an id above
    // 0 only, else also honouring bNoNet and packet flag 1.
    void serializeChildren(Serializer& p, bool registeredOnly);
};
