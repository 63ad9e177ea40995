#pragma once
// The one way of walking a node's children.
//
//   for (ChildIterator it(node, ChildIterator::kDestroyPending); !it.done; it.next())
//       use(it.current);
//
// Pending-delete children are never visited; in mode kDestroyPending the walk destroys
// them as it passes, including the child just visited if its visit flagged it. The
// following sibling is taken before the caller sees `current`, so a visit may remove or
// flag the current child, but must not remove or destroy the next one (flag it instead).
#include <cstdint>

class BasicLink;

struct ChildIterator {
    static constexpr std::uint32_t kBackwards = 1;       // last child to first
    static constexpr std::uint32_t kDestroyPending = 2;  // destroy pending children in passing
    static constexpr std::uint32_t kVisitSkipped = 4;    // also visit children with `skip` set

    ChildIterator(BasicLink* owner, std::uint32_t mode = 0);
    void next();

    bool done = false;
    BasicLink* current = nullptr;  // the child being visited, null when done
    std::uint32_t mode = 0;
    BasicLink* owner = nullptr;
    BasicLink* nextNode = nullptr;  // the child the next step looks at
};
