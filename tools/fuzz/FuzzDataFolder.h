#pragma once
// The user records read their files from the data folder when they are made: the fuzz
// targets give them an empty private one, so that no real user file is read or written.
#include <stdlib.h>

#include <filesystem>
#include <string>

inline void useFuzzDataFolder() {
    static const bool done = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "torvane-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data())) setenv("XDG_DATA_HOME", pattern.c_str(), 1);
        return true;
    }();
    (void)done;
}
