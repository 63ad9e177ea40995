#pragma once
// The user's own files in the data folder (the configuration record ".hst" and the
// profiles ".pro"): whole fixed-size records inside the digest-checked user-data
// container, read and saved through UserFileGuard.
//
// A file that exists but cannot be loaded (damaged, foreign, another version or size)
// is logged and copied to "<name>.bak" before anything else happens, so that the first
// save, which overwrites it with the defaults, never costs the player the only copy.
// When the copy cannot be made, or the file cannot be read at all, the file is left as
// it is for the rest of the run: its saves are skipped and the player is told.
#include <cstdint>
#include <string>

class BackgroundSave;

// "Torvane2Xmas": the build name, which names the user files.
std::u16string getProductName();
// The per-machine data folder (created when missing), ending in "/".
std::u16string getUserDataFolder();
// The configuration record's file name: the product name and ".hst".
std::u16string getHighScoreFileName();
// The profile store's file name: the product name and ".pro".
std::u16string getProfileFileName();

class UserFile {
public:
    // The version text the records are stored under.
    static constexpr char16_t kVersion[] = u"2.79";

    // Fills `record` (`size` bytes) from the file `fileName` of the data folder when it
    // holds a valid container of exactly that size; else leaves `record` untouched and
    // returns false (keeping a damaged file as "<fileName>.bak").
    static bool load(void* record, std::uint32_t size, const std::u16string& fileName);
    // Writes the record atomically; false (logged, and reported to the player) on
    // failure, and false without writing while the file is left alone.
    static bool save(const void* record, std::uint32_t size, const std::u16string& fileName);
    // Has `writer` pack a copy of the record and write it on its worker thread; false
    // when nothing will be written (a file left alone).
    static bool saveInBackground(BackgroundSave& writer, const void* record, std::uint32_t size,
                                 const std::u16string& fileName);
};
