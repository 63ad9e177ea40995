#include "platform/FingerTags.h"

#include <algorithm>

int FingerTags::freeTag() const {
    for (int tag = 1;; ++tag) {
        const bool used = std::any_of(entries.begin(), entries.end(), [tag](const Entry& e) { return e.tag == tag; });
        if (!used) return tag;
    }
}

int FingerTags::press(std::int64_t device, std::int64_t finger) {
    if (const int tag = find(device, finger); tag >= 0) return tag;
    if (entries.size() >= kMaxFingers) entries.erase(entries.begin());
    const int tag = freeTag();
    entries.push_back({device, finger, tag});
    return tag;
}

int FingerTags::find(std::int64_t device, std::int64_t finger) const {
    for (const Entry& e : entries)
        if (e.device == device && e.finger == finger) return e.tag;
    return -1;
}

int FingerTags::release(std::int64_t device, std::int64_t finger) {
    for (auto it = entries.begin(); it != entries.end(); ++it) {
        if (it->device != device || it->finger != finger) continue;
        const int tag = it->tag;
        entries.erase(it);
        return tag;
    }
    return -1;
}
