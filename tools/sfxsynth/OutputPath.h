#pragma once
#include <string>

// OutputPath: checks that a file name from a recipe or score stays inside the
// output folder: relative, no "..", no empty parts, ending in ".ogg".
class OutputPath {
public:
    static bool isSafe(const std::string& path);
};
