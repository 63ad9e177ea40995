#include "OutputPath.h"

#include <sstream>

bool OutputPath::isSafe(const std::string& path) {
    if (path.size() < 5 || path.front() == '/' || path.find('\\') != std::string::npos) return false;
    if (path.compare(path.size() - 4, 4, ".ogg") != 0) return false;
    std::istringstream parts(path);
    for (std::string part; std::getline(parts, part, '/');)
        if (part.empty() || part == "." || part == "..") return false;
    return path.back() != '/';
}
