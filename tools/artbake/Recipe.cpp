#include "Recipe.h"

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <tuple>

namespace artbake {

namespace {

[[noreturn]] void fail(const std::string& file, int line, const std::string& what) {
    throw std::runtime_error(file + ":" + std::to_string(line) + ": " + what);
}

std::pair<int, int> parseSize(const std::string& text, const std::string& file, int line) {
    int w = 0, h = 0;
    char x = 0;
    std::istringstream in(text);
    if (!(in >> w >> x >> h) || x != 'x' || w <= 0 || h <= 0) fail(file, line, "bad size '" + text + "', expected WxH");
    return {w, h};
}

int parseInt(const std::string& text, const std::string& file, int line) {
    try {
        size_t used = 0;
        int value = std::stoi(text, &used);
        if (used != text.size()) throw std::invalid_argument(text);
        return value;
    } catch (const std::exception&) {
        fail(file, line, "bad number '" + text + "'");
    }
}

std::pair<std::string, std::string> splitAssignment(const std::string& token, const std::string& file, int line) {
    size_t eq = token.find('=');
    if (eq == std::string::npos || eq == 0) fail(file, line, "expected name=value, got '" + token + "'");
    return {token.substr(0, eq), token.substr(eq + 1)};
}

FrameGroup parseGroup(std::istringstream& in, const std::string& file, int line) {
    FrameGroup group;
    std::string token;
    while (in >> token) {
        auto [key, value] = splitAssignment(token, file, line);
        if (key == "count")
            group.count = parseInt(value, file, line);
        else if (key == "cell")
            std::tie(group.cellWidth, group.cellHeight) = parseSize(value, file, line);
        else if (key == "svg")
            group.svg = value;
        else if (key == "layer")
            group.layer = value;
        else if (key == "gap")
            group.gap = parseInt(value, file, line);
        else if (key == "trim")
            group.trim = parseInt(value, file, line) != 0;
        else if (key == "newrow")
            group.newRow = parseInt(value, file, line) != 0;
        else if (key == "inset") {
            char comma = 0;
            std::istringstream numbers(value);
            if (!(numbers >> group.insetX >> comma >> group.insetY) || comma != ',' || group.insetX < 0 ||
                group.insetY < 0)
                fail(file, line, "bad inset '" + value + "', expected X,Y");
        } else if (key == "ox")
            group.originX = value;
        else if (key == "oy")
            group.originY = value;
        else
            group.vars.emplace_back(key, value);
    }
    if (group.count <= 0 || group.cellWidth <= 0) fail(file, line, "a group needs count=N and cell=WxH");
    return group;
}

}  // namespace

Recipe Recipe::load(const std::string& file) {
    std::ifstream in(file);
    if (!in) throw std::runtime_error(file + ": cannot open");
    Recipe recipe;
    recipe.file = file;
    std::string defaultSvg;
    std::string text;
    int line = 0;
    while (std::getline(in, text)) {
        ++line;
        if (size_t hash = text.find('#'); hash != std::string::npos && text.compare(0, 7, "meaning") != 0)
            text.resize(hash);
        std::istringstream words(text);
        std::string key;
        if (!(words >> key)) continue;
        std::string rest;
        std::getline(words >> std::ws, rest);
        // A comment after a value leaves blanks that are no part of it (paths above all).
        rest.erase(rest.find_last_not_of(" \t\r") + 1);
        std::istringstream restWords(rest);
        if (key == "texture")
            recipe.path = rest;
        else if (key == "archive")
            recipe.archive = rest;
        else if (key == "name")
            recipe.name = rest;
        else if (key == "meaning")
            recipe.meaning = rest;
        else if (key == "width")
            recipe.width = parseInt(rest, file, line);
        else if (key == "height")
            recipe.height = parseInt(rest, file, line);
        else if (key == "limit")
            std::tie(recipe.limitWidth, recipe.limitHeight) = parseSize(rest, file, line);
        else if (key == "svg")
            defaultSvg = rest;
        else if (key == "set")
            recipe.vars.push_back(splitAssignment(rest, file, line));
        else if (key == "group")
            recipe.groups.push_back(parseGroup(restWords, file, line));
        else
            fail(file, line, "unknown key '" + key + "'");
    }
    for (FrameGroup& group : recipe.groups) {
        if (group.svg.empty()) group.svg = defaultSvg;
        if (group.svg.empty()) throw std::runtime_error(file + ": a group has no drawing (svg)");
    }
    if (recipe.path.empty() || recipe.name.empty() || recipe.groups.empty())
        throw std::runtime_error(file + ": needs texture, name and at least one group");
    return recipe;
}

int Recipe::skinCount() const {
    int total = 0;
    for (const FrameGroup& group : groups) total += group.count;
    return total;
}

}  // namespace artbake
