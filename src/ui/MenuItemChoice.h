#pragma once
// A choice among named values: the value indexes either the language's texts from a
// first string id, or a list of texts of the caller's. Stepped by 1 like MenuItemValue.
#include <string>
#include <vector>

#include "ui/MenuItemValue.h"

class MenuItemChoice : public MenuItemValue {
public:
    MenuItemChoice(float x, float y, float z, std::int32_t* value, std::int32_t minimum, std::int32_t maximum,
                   std::int32_t firstStringId, std::u16string caption, std::u16string helpText);
    // choices: not owned, must outlive the item.
    MenuItemChoice(float x, float y, float z, std::int32_t* value, std::int32_t minimum, std::int32_t maximum,
                   const std::vector<std::u16string>* choices, std::u16string caption, std::u16string helpText);

    void drawValue(float x, float y, float z) override;
    // The text shown for the present value; empty when there is none.
    std::u16string getChoiceText() const;

    std::int32_t firstStringId = 0;
    const std::vector<std::u16string>* choices = nullptr;
};
