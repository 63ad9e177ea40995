#pragma once
// A private data folder for the duration of a test: $XDG_DATA_HOME points into a
// temporary folder, so the user files the test writes never touch the real ones. The
// test starts as a new run would: no file is left alone and nothing is reported yet.
#include <cstdlib>
#include <string>

#include "engine/UserFileGuard.h"
#include "support/TempFolder.h"

class UserDataHome {
public:
    UserDataHome() {
        if (const char* old = std::getenv("XDG_DATA_HOME")) previous = old, hadPrevious = true;
        setenv("XDG_DATA_HOME", home.path.c_str(), 1);
        UserFileGuard::forgetAll();
    }
    ~UserDataHome() {
        if (hadPrevious)
            setenv("XDG_DATA_HOME", previous.c_str(), 1);
        else
            unsetenv("XDG_DATA_HOME");
    }
    UserDataHome(const UserDataHome&) = delete;
    UserDataHome& operator=(const UserDataHome&) = delete;

    // A file of the program's data folder.
    std::string file(const std::string& name) const { return home.path + "/Quorrel studios/Torvane2Xmas/2.79/" + name; }

    TempFolder home;

private:
    std::string previous;
    bool hadPrevious = false;
};
