#pragma once
// The intrusive tree node of every engine object.
//
// A parent owns its children: destroying a node destroys its whole subtree. Objects
// are never deleted in the middle of a walk; code sets `pendingDelete` and the next
// deleting walk of the parent (ChildIterator mode 2) destroys the node as it passes.
// The list operations check nothing: inserting a node that is linked elsewhere, or
// removing one from a parent that does not hold it, corrupts the lists.
#include <cstdint>

class ClassInfo;

class BasicLink {
public:
    BasicLink() = default;
    BasicLink(const BasicLink&) = delete;
    BasicLink& operator=(const BasicLink&) = delete;

    virtual ClassInfo* getClass() const;
    // Unlinks the node from its parent, then deletes its children last to first.
    virtual ~BasicLink();
    // Ends the object's life; for a plain node, delete through the virtual destructor.
    virtual void destroy();

    static ClassInfo classInfo;

    void addChild(BasicLink* child);       // append after the last child
    void addChildFirst(BasicLink* child);  // insert before the first child
    // Inserts `child` right behind `after`, which must be a child of this node; with
    // `after` the last child (or null on an empty list) this is addChild.
    void insertChildAfter(BasicLink* child, BasicLink* after);
    // Unlinks `child`; its own prev/next keep their stale values until reinserted.
    void removeChild(BasicLink* child);
    // Unlinks and deletes every child, last to first.
    void deleteChildren();
    int countChildren() const;

    BasicLink* prev = nullptr;        // previous sibling, null for the first child
    BasicLink* next = nullptr;        // next sibling, null for the last child
    BasicLink* firstChild = nullptr;  // null when there are no children
    BasicLink* lastChild = nullptr;   // null when there are no children
    BasicLink* parent = nullptr;      // null for a root or an unlinked node
    std::uint8_t pendingDelete = 0;   // no walk visits it; a deleting walk destroys it
    std::uint8_t skip = 0;            // walks pass over it unless they ask for skipped nodes

protected:
    // Unlinks a child without touching its parent pointer's owner (shared by removeChild
    // and deleteChildren).
    void unlinkChild(BasicLink* child);
};
