#pragma once
// The ten player profiles of the machine and the index of the current one.
//
// Stored as "<product>.pro" in the data folder: a record of exactly kSize bytes,
// little-endian (s32 current, 4 bytes padding, then ten ProfileData of 9424 bytes),
// written and read field by field inside the user-data container with the version
// "2.79". A file that does not load leaves every slot free.
//
// Invariants kept by the operations: named profiles fill slots 0, 1, 2, ... without
// gaps, and `current` names a slot with a name whenever any slot has one.
//
// Saving: save() writes the file before it returns; saveInBackground() takes a copy of
// the record and has it written on a worker thread, for the game's autosaves, which
// must not stall a frame. A save() waits for the copies still being written, so the
// file always ends as the latest save asked for.
//
// Lifetime: one, owned by Global, built right after the configuration record; loads
// its file when constructed and saves it when destroyed. Main thread only.
#include <array>
#include <cstdint>
#include <string>

#include "engine/BackgroundSave.h"
#include "ui/ProfileData.h"

class ProfileManager {
public:
    static constexpr int kSlots = 10;
    static constexpr std::uint32_t kSize = 94248;
    static constexpr std::size_t kProfilesOffset = 8;
    static constexpr std::size_t kMaxNameLength = 16;  // wide characters, once current

    // Free slots, then the file, then the change to the current profile.
    ProfileManager();
    // Saves the file.
    ~ProfileManager();
    ProfileManager(const ProfileManager&) = delete;
    ProfileManager& operator=(const ProfileManager&) = delete;

    // True when the file was read.
    bool load();
    bool save();
    // The profiles as they are now, written to the file on a worker thread.
    void saveInBackground();
    // Waits until what saveInBackground handed over is on the disk.
    void finishSaving();
    // Overwrites slot `index` with a fresh profile (new player id).
    void resetProfile(int index);
    // A new profile named `name` in the first free slot becomes current; nothing when
    // every slot is used.
    void createProfile(const std::u16string& name);
    // Removes profile `index` (0..9; others are ignored) and closes the gap. The current
    // profile stays the same one when it lay after the deleted one; when it was the
    // deleted one, the profile moving into its slot becomes current (slot 0 if none).
    void deleteProfile(int index);
    int countProfiles() const;
    // The slot's name; empty for a free slot or an index outside 0..9.
    std::u16string getProfileName(int index) const;
    // Applies a change of `current`: cuts the name to 16 characters, logs the change and
    // clears the highlighted high-score row. Callers set `current` first.
    void onCurrentProfileChanged();

    void toBytes(RecordBytes& record) const;
    // Reads the record, then closes the gaps between named slots (closeGaps).
    void fromBytes(const RecordBytes& record);
    // Restores the invariants on what was read: named profiles close up into slots
    // 0, 1, 2, ... in their order, free slots after them are emptied, and `current`
    // follows its profile or, when it named a free slot or none, becomes 0.
    void closeGaps();

    std::int32_t current = 0;  // 0..9
    std::array<ProfileData, kSlots> profiles;

private:
    BackgroundSave background;
};
