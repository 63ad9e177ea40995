#include "ui/ProfileManager.h"

#include "engine/Logger.h"
#include "engine/Strings.h"
#include "ui/Global.h"
#include "ui/RecordBytes.h"
#include "ui/UserFile.h"

namespace {
std::size_t slotOffset(int k) {
    return ProfileManager::kProfilesOffset + ProfileData::kSize * static_cast<std::size_t>(k);
}
}  // namespace

ProfileManager::ProfileManager() {
    load();
    onCurrentProfileChanged();
}

ProfileManager::~ProfileManager() { save(); }

bool ProfileManager::load() {
    RecordBytes record(kSize);
    if (!UserFile::load(record.data(), kSize, getProfileFileName())) return false;
    fromBytes(record);
    return true;
}

bool ProfileManager::save() {
    finishSaving();
    RecordBytes record(kSize);
    toBytes(record);
    return UserFile::save(record.data(), kSize, getProfileFileName());
}

void ProfileManager::finishSaving() { background.finish(); }

void ProfileManager::saveInBackground() {
    RecordBytes record(kSize);
    toBytes(record);
    UserFile::saveInBackground(background, record.data(), kSize, getProfileFileName());
}

void ProfileManager::resetProfile(int index) {
    ProfileData fresh;
    fresh.reset();
    profiles[static_cast<std::size_t>(index)] = fresh;
}

void ProfileManager::createProfile(const std::u16string& name) {
    for (int k = 0; k < kSlots; ++k) {
        if (!profiles[static_cast<std::size_t>(k)].isFree()) continue;
        resetProfile(k);
        profiles[static_cast<std::size_t>(k)].name.assign(name);
        current = k;
        onCurrentProfileChanged();
        return;
    }
}

void ProfileManager::deleteProfile(int index) {
    if (index < 0 || index >= kSlots) return;
    for (int k = index; k < kSlots - 1; ++k)
        profiles[static_cast<std::size_t>(k)] = profiles[static_cast<std::size_t>(k) + 1];
    profiles[kSlots - 1] = ProfileData{};
    // The profiles after the deleted one moved down a slot; the current one with them.
    if (index < current) --current;
    if (index == current && profiles[static_cast<std::size_t>(current)].isFree()) current = 0;
}

int ProfileManager::countProfiles() const {
    int count = 0;
    for (const auto& p : profiles) count += p.isFree() ? 0 : 1;
    return count;
}

std::u16string ProfileManager::getProfileName(int index) const {
    if (index < 0 || index >= kSlots) return {};
    return utf8ToWide(reinterpret_cast<const char*>(profiles[static_cast<std::size_t>(index)].name.bytes));
}

void ProfileManager::onCurrentProfileChanged() {
    std::u16string name = getProfileName(current);
    if (name.size() > kMaxNameLength) {
        name.resize(kMaxNameLength);
        // Half a surrogate pair is no character: it goes with its other half.
        if (name.back() >= 0xD800 && name.back() <= 0xDBFF) name.pop_back();
        profiles[static_cast<std::size_t>(current)].name.assign(name);
    }
    QOR_LOG("ProfileManager::onCurrentProfileChanged", u"Changing profile to '%s'...", name);
    if (global) global->lastHighScorePlace = -1;
}

void ProfileManager::toBytes(RecordBytes& record) const {
    record.putS32(0, current);
    for (int k = 0; k < kSlots; ++k) profiles[static_cast<std::size_t>(k)].write(record, slotOffset(k));
}

void ProfileManager::fromBytes(const RecordBytes& record) {
    current = record.getS32(0);
    for (int k = 0; k < kSlots; ++k) profiles[static_cast<std::size_t>(k)].read(record, slotOffset(k));
    closeGaps();
}

void ProfileManager::closeGaps() {
    // Named profiles move down into free slots before them, in their order; the current
    // one moves with its profile. A current slot that is free or out of range (a damaged
    // index) gives way to the first profile, so that nobody is asked for a new name
    // while profiles exist.
    int named = 0;
    int newCurrent = 0;
    for (int k = 0; k < kSlots; ++k) {
        const auto from = static_cast<std::size_t>(k);
        if (profiles[from].isFree()) continue;
        if (k == current) newCurrent = named;
        if (k != named) profiles[static_cast<std::size_t>(named)] = profiles[from];
        ++named;
    }
    for (int k = named; k < kSlots; ++k) profiles[static_cast<std::size_t>(k)] = ProfileData{};
    current = newCurrent;
}
