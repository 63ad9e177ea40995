#include "StandardFields.h"

#include "Utf8Text.h"

namespace {

struct FieldRule {
    const char* name;
    std::size_t longest;  // bytes
};
constexpr FieldRule kFields[] = {{"platform", 31}, {"gameName", 31}, {"gameVersion", 15}, {"gamePatch", 31}};

bool readField(const Form& form, const FieldRule& rule, std::string& value, std::string& error) {
    const auto [first, last] = form.equal_range(rule.name);
    const std::string quoted = std::string("\"") + rule.name + "\"";
    if (first == last) {
        error = "The form has no " + quoted + " field.";
        return false;
    }
    if (std::next(first) != last) {
        error = "The form has the " + quoted + " field more than once.";
        return false;
    }
    if (!first->second.fileName.empty()) {
        error = "The " + quoted + " field must be plain text, not a file.";
        return false;
    }
    value = first->second.content;
    if (value.size() > rule.longest || Utf8Text::sanitize(value) != value) {
        error = "The " + quoted + " field is longer than " + std::to_string(rule.longest) +
                " bytes or is not one line of text.";
        return false;
    }
    return true;
}

}  // namespace

bool StandardFields::isStandard(const std::string& name) {
    for (const FieldRule& rule : kFields)
        if (name == rule.name) return true;
    return false;
}

bool StandardFields::read(const Form& form, std::string& error) {
    std::string* values[] = {&platform, &gameName, &gameVersion, &gamePatch};
    for (std::size_t i = 0; i < std::size(kFields); ++i)
        if (!readField(form, kFields[i], *values[i], error)) return false;
    if (gameName != TORVANE_BUILD_NAME) {
        error = "This service serves " TORVANE_BUILD_NAME ", not \"" + gameName + "\".";
        return false;
    }
    return true;
}
