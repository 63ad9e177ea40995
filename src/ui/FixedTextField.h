#pragma once
// A text field that edits a 32-byte UTF-8 field of a plain record (a FixedString32 of
// the configuration record) instead of a wide string, so that a setting typed on a menu
// lands in the record at once. The record keeps what fits its 31 bytes, cut at a whole
// character, and the field shows what the record keeps. The target is not owned and
// must outlive the item.
#include "engine/FixedString.h"
#include "ui/TextField.h"

class FixedTextField : public TextField {
public:
    FixedTextField(float x, float y, float z, FixedString32* target, std::int32_t maxLength, std::u16string caption,
                   std::u16string helpText);

    void commit() override;

    // The field's text as a wide string; a field without a NUL ends at its last byte.
    static std::u16string read(const FixedString32& field);

    FixedString32* pTarget;  // not owned
};
