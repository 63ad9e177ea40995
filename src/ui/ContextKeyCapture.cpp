#include "ui/ContextKeyCapture.h"

#include "engine/Qor.h"
#include "inputaudio/QorInput.h"

ContextKeyCapture::ContextKeyCapture(std::int32_t* result, std::u16string title_, std::u16string text_)
    : keyResult(result) {
    title = std::move(title_);
    text = std::move(text_);
    firstButtonLabel.clear();
    bShowPointer = 0;
    setup();
    if (keyResult) *keyResult = 0;
}

int ContextKeyCapture::firstNewlyPressedCode() {
    const QorInput& in = qor->input();
    for (int code = 1; code < QorInput::kInputCodeCount; ++code)
        if ((in.keyState[code] & QorInput::kDown) && !(in.previousKeyState[code] & QorInput::kDown)) return code;
    return 0;
}

void ContextKeyCapture::tickContents(double time, double dt) {
    ContextPopup::tickContents(time, dt);
    if (!keyResult) return;
    if (const int code = firstNewlyPressedCode())
        *keyResult = code;
    else if (*keyResult != 0)
        bFinished = 1;
}
