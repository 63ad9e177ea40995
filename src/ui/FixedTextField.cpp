#include "ui/FixedTextField.h"

#include <string>

#include "engine/Strings.h"

FixedTextField::FixedTextField(float x, float y, float z, FixedString32* target, std::int32_t maxLength_,
                               std::u16string caption_, std::u16string helpText_)
    : TextField(x, y, z, nullptr, maxLength_, std::move(caption_), std::move(helpText_)), pTarget(target) {
    if (pTarget) text = read(*pTarget);
}

std::u16string FixedTextField::read(const FixedString32& field) {
    // Records come from files: the field's bytes are all there is, NUL or not.
    const auto* bytes = reinterpret_cast<const char*>(field.bytes);
    std::size_t length = 0;
    while (length < sizeof(field.bytes) && bytes[length] != 0) ++length;
    return utf8ToWide(std::string(bytes, length));
}

void FixedTextField::commit() {
    TextField::commit();
    if (!pTarget) return;
    pTarget->assign(text);
    // Characters the record has no room for are not shown as if they were kept.
    text = read(*pTarget);
}
