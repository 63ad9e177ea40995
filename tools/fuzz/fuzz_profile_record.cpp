// The profile record: any record bytes give named profiles in slots 0, 1, 2, ... without
// gaps, names that end inside their fields, and a current profile in range that has a
// name whenever any profile has one.
#include <cstdint>
#include <cstring>

#include "FuzzDataFolder.h"
#include "ui/ProfileManager.h"
#include "ui/RecordBytes.h"

namespace {
// Made once and never destroyed, so that it never saves.
ProfileManager& profiles() {
    static ProfileManager* made = [] {
        useFuzzDataFolder();
        return new ProfileManager();
    }();
    return *made;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ProfileManager& m = profiles();
    RecordBytes record(ProfileManager::kSize);
    if (size) std::memcpy(record.data(), data, std::min<std::size_t>(size, record.size()));
    m.fromBytes(record);
    if (m.current < 0 || m.current >= ProfileManager::kSlots) __builtin_trap();
    bool freeSeen = false;
    for (const ProfileData& p : m.profiles) {
        if (!std::memchr(p.name.bytes, 0, sizeof p.name.bytes)) __builtin_trap();
        if (!p.isFree() && freeSeen) __builtin_trap();
        freeSeen = freeSeen || p.isFree();
    }
    if (m.countProfiles() > 0 && m.profiles[static_cast<std::size_t>(m.current)].isFree()) __builtin_trap();
    (void)m.getProfileName(m.current);
    return 0;
}
