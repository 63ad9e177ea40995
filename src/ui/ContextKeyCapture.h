#pragma once
// The popup of a key-binding item: a title and a text, no buttons and no mouse pointer,
// waiting for the next newly pressed key, joystick direction or button. It writes that
// code into the caller's answer slot and closes in the first frame after the press in
// which nothing new is pressed (so a second code in the very next frame replaces the
// first). Escape answers 1 (its code) and the screen stack closes the popup at once;
// so does either player's fire key, which is bound like any other key.
#include <cstdint>
#include <string>

#include "ui/ContextPopup.h"

class ContextKeyCapture : public ContextPopup {
public:
    // result: the caller's answer slot (not owned, must outlive the popup), set to 0 here.
    ContextKeyCapture(std::int32_t* result, std::u16string title, std::u16string text);

    void tickContents(double time, double dt) override;
    // The lowest input code down in this poll and up in the previous one, or 0.
    static int firstNewlyPressedCode();

    std::int32_t* keyResult;
};
