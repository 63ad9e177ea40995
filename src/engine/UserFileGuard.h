#pragma once
// The keeper of the player's own files in the data folder (the per-machine settings,
// the configuration record and the profiles): every read and save of them goes through
// here, so that the player's data is never lost without a word.
//
//  - A file that is there but cannot be read (no permission, a folder or a pipe in its
//    place) is never written over while the program runs: it is logged, left alone
//    ("protected") and reported. Nothing at the path counts as missing.
//  - A damaged file is copied to "<name>.bak" before its first save replaces it; when
//    the copy cannot be made, the file is protected and reported instead.
//  - A save that fails (read-only or missing folder, full disk) is logged and reported;
//    it leaves any earlier file as it was.
//
// Reports are kept for the player, who is told each one once per run (the menus ask
// for the untold ones). Protection and reports last for the whole process, across
// engine restarts. Main thread only.
#include <cstdint>
#include <string>
#include <vector>

class UserFileGuard {
public:
    enum class ReadResult {
        kRead,        // `bytes` holds the file (at most maxBytes + 1 of its bytes)
        kMissing,     // nothing is at the path (or its folder is missing)
        kUnreadable,  // something is there that cannot be read: now protected and reported
    };

    struct Problem {
        enum class Kind {
            kUnreadable,  // `path` names a file that could not be read
            kNoBackup,    // `path` names a damaged file whose copy could not be kept
            kNotSaved,    // `path` names the folder where a save failed
        };
        Kind kind;
        std::u16string path;
        int error = 0;  // errno, or DiskFile::kNotRegularFile
        bool operator==(const Problem&) const = default;
    };

    // Reads the regular file at `path` without blocking. A file longer than `maxBytes`
    // gives its first maxBytes + 1 bytes, so that the caller sees it is too long.
    static ReadResult read(const std::u16string& path, std::vector<std::uint8_t>& bytes, std::uint32_t maxBytes);
    // Copies the damaged file at `path` to "<path>.bak" (atomically). False when the copy
    // could not be made: the file is then protected and reported.
    static bool keepBackup(const std::u16string& path);
    // Writes `bytes` atomically over `path` unless the file is protected (logged; false).
    // A failed save is logged and reported under the file's folder; false.
    static bool save(const std::u16string& path, const void* bytes, std::size_t count);
    // Reports a save of `path` that failed with `error` elsewhere (BackgroundSave), as
    // save() reports its own failures.
    static void reportFailedSave(const std::u16string& path, int error);

    static bool isProtected(const std::u16string& path);
    // The reports not yet taken, oldest first; each report is handed out once per run.
    static std::vector<Problem> takeUntoldProblems();
    // Forgets every protection and report, as a new run would (for tests).
    static void forgetAll();

private:
    static void protect(const std::u16string& path);
    static void report(Problem problem);
};
