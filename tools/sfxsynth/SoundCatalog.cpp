#include "SoundCatalog.h"

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>

#include "RecipeParser.h"
#include "ScoreParser.h"

std::string SoundCatalog::readText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + file.string());
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<RenderJob> SoundCatalog::load(const std::filesystem::path& folder) {
    if (!std::filesystem::is_directory(folder)) throw std::runtime_error(folder.string() + " is not a folder");
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        const auto ext = entry.path().extension();
        if (entry.is_regular_file() && (ext == ".sfx" || ext == ".score")) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    std::vector<RenderJob> jobs;
    std::set<std::string> outputs;
    for (const auto& file : files) {
        const std::string name = file.string();
        if (file.extension() == ".sfx")
            jobs.push_back({RecipeParser::parse(name, readText(file))});
        else
            jobs.push_back({ScoreParser::parse(name, readText(file))});
        if (!outputs.insert(jobs.back().output()).second)
            throw std::runtime_error(name + ": output " + jobs.back().output() + " is already made by another source");
    }
    return jobs;
}
