#include "ui/MenuItemChoice.h"

#include <cmath>

#include "engine/Qor.h"
#include "language/Language.h"

namespace {
constexpr int kLastStringId = 888;
}

MenuItemChoice::MenuItemChoice(float x, float y, float z, std::int32_t* value_, std::int32_t minimum_,
                               std::int32_t maximum_, std::int32_t firstStringId_, std::u16string caption_,
                               std::u16string helpText_)
    : MenuItemValue(x, y, z, value_, minimum_, maximum_, 1, std::move(caption_), std::move(helpText_)),
      firstStringId(firstStringId_) {}

MenuItemChoice::MenuItemChoice(float x, float y, float z, std::int32_t* value_, std::int32_t minimum_,
                               std::int32_t maximum_, const std::vector<std::u16string>* choices_,
                               std::u16string caption_, std::u16string helpText_)
    : MenuItemValue(x, y, z, value_, minimum_, maximum_, 1, std::move(caption_), std::move(helpText_)),
      choices(choices_) {}

// A value outside the texts (set by the caller, read from a file) shows nothing rather
// than reading past the table.
std::u16string MenuItemChoice::getChoiceText() const {
    if (!value) return u"";
    if (firstStringId != 0) {
        const long long id = static_cast<long long>(firstStringId) + *value;
        if (id < 0 || id > kLastStringId) return u"";
        return qor->language().getString(static_cast<int>(id));
    }
    if (!choices || *value < 0 || static_cast<std::size_t>(*value) >= choices->size()) return u"";
    return (*choices)[static_cast<std::size_t>(*value)];
}

void MenuItemChoice::drawValue(float x, float y, float z) {
    const std::u16string text = getChoiceText();
    drawValueText(text, x, y, z, getTextFitScale(text, std::trunc(getFrameWidth() - getFrameHeight())));
}
