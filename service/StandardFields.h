#pragma once
// The four plain fields that head every form the game posts: "platform" (e.g. "LINUX"),
// "gameName" (the build name), "gameVersion" and "gamePatch".
#include <string>

#include "MultipartForm.h"

class StandardFields {
public:
    // True when `name` is one of the four.
    static bool isStandard(const std::string& name);

    // Reads the four from `form`: each present once, as a plain field (no file name),
    // within the game's own length limits, with the game's build name. False with a
    // sentence for the client in `error` otherwise.
    bool read(const Form& form, std::string& error);

    std::string platform;
    std::string gameName;
    std::string gameVersion;
    std::string gamePatch;
};
