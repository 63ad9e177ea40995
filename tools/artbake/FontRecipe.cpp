#include "FontRecipe.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "Utf8.h"

namespace artbake {

FontRecipe FontRecipe::load(const std::string& file) {
    std::ifstream in(file);
    if (!in) throw std::runtime_error(file + ": cannot open");
    FontRecipe recipe;
    recipe.file = file;
    std::string text;
    int line = 0;
    auto fail = [&](const std::string& what) {
        throw std::runtime_error(file + ":" + std::to_string(line) + ": " + what);
    };
    while (std::getline(in, text)) {
        ++line;
        std::istringstream words(text);
        std::string key;
        if (!(words >> key) || key[0] == '#') continue;
        std::string rest;
        std::getline(words >> std::ws, rest);
        if (key != "meaning" && key != "face" && key != "fallback")
            if (size_t hash = rest.find('#'); hash != std::string::npos) rest.resize(hash);
        rest.erase(rest.find_last_not_of(" \t\r") + 1);
        try {
            if (key == "font")
                recipe.folder = rest;
            else if (key == "prefix")
                recipe.prefix = rest;
            else if (key == "archive")
                recipe.archive = rest;
            else if (key == "codepage")
                recipe.codePage = rest;
            else if (key == "face")
                recipe.face = rest;
            else if (key == "fallback")
                recipe.fallback = rest;
            else if (key == "meaning")
                recipe.meaning = rest;
            else if (key == "apart") {
                for (char32_t c : decodeUtf8(rest))
                    if (c != U' ' && c != U'\t') recipe.apart.push_back(c);
            } else if (key == "pixels")
                recipe.pixels = std::stod(rest);
            else if (key == "capline")
                recipe.capLine = std::stoi(rest);
            else if (key == "outline")
                recipe.outline = std::stoi(rest);
            else if (key == "shade")
                recipe.shade = std::stod(rest);
            else if (key == "single")
                recipe.single = rest;
            else if (key == "first")
                recipe.first = std::stoi(rest);
            else if (key == "last")
                recipe.last = std::stoi(rest);
            else if (key == "sheet") {
                char x = 0;
                std::istringstream size(rest);
                if (!(size >> recipe.sheetWidth >> x >> recipe.sheetHeight) || x != 'x')
                    fail("bad sheet size '" + rest + "'");
            } else {
                fail("unknown key '" + key + "'");
            }
        } catch (const std::invalid_argument&) {
            fail("bad number '" + rest + "'");
        }
    }
    if (recipe.folder.empty() || recipe.face.empty()) throw std::runtime_error(file + ": needs font and face");
    if (recipe.first < 0 || recipe.last > 255 || recipe.first > recipe.last)
        throw std::runtime_error(file + ": first/last must lie within 0..255");
    return recipe;
}

}  // namespace artbake
