#pragma once
// Gives each finger on a touch device a small integer tag for as long as it touches:
// the contacts of the input service are found by tag, and SDL's own finger ids are
// large, device-dependent numbers. Tags start at 1 (0 is the mouse contact's tag) and
// the smallest free one is handed out, so tags are reused once fingers lift.
#include <cstdint>
#include <vector>

class FingerTags {
public:
    // At most this many fingers are tracked; when a release was lost so often that the
    // table is full, the oldest finger is forgotten to make room.
    static constexpr std::size_t kMaxFingers = 32;

    // The tag of a finger that touches down. A finger that is still known (its
    // release was lost) keeps its tag, so the stale contact can be ended.
    int press(std::int64_t device, std::int64_t finger);
    // The tag of a known finger, -1 for an unknown one.
    int find(std::int64_t device, std::int64_t finger) const;
    // The tag of a finger that lifts, -1 for an unknown one; the tag becomes free.
    int release(std::int64_t device, std::int64_t finger);

private:
    struct Entry {
        std::int64_t device;
        std::int64_t finger;
        int tag;
    };
    int freeTag() const;

    std::vector<Entry> entries;  // oldest press first
};
