#pragma once
#include <filesystem>
#include <vector>

#include "RenderJob.h"

// SoundCatalog: finds every recipe (*.sfx) and score (*.score) below a source
// folder, in a sorted, stable order, and parses them. Throws ParseError for a
// malformed source, std::runtime_error for unreadable files and for two
// sources that claim the same output file.
class SoundCatalog {
public:
    static std::vector<RenderJob> load(const std::filesystem::path& folder);

private:
    static std::string readText(const std::filesystem::path& file);
};
