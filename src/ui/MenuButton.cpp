#include "ui/MenuButton.h"

#include "engine/Qor.h"
#include "inputaudio/QorInput.h"
#include "inputaudio/TouchPoint.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "ui/ContextPopup.h"
#include "ui/ScreenStack.h"

MenuButton::MenuButton(float x, float y, float z, std::u16string caption_, std::u16string helpText_)
    : MenuItem(x, y, z, std::move(caption_), std::move(helpText_)) {
    setFrames(u"gui-game-button", kFrameMargin, kFrameMargin, kFrameMargin, kFrameMargin);
    setWidth(256.0f);
    captionLocation = kCaptionInside;
}

void MenuButton::tick(double time, double dt) {
    MenuItem::tick(time, dt);
    TouchPoint* contact = qor->input().getTouch(0);
    if (!bDisabled && !bHidden && contact) {
        if (bHovered && contact->bPressed && !contact->handled) contact->handled = this;
        if (contact->bReleased && contact->handled == this && (!contact->bMoved || bHovered)) {
            if (!questionTitle.empty() || !questionText.empty())
                askQuestion();
            else
                onClick();
        }
    }
    if (answer == 0) {
        onClick();
        answer = -1;
    }
}

void MenuButton::askQuestion() {
    auto* popup = new ContextPopup();
    popup->title = questionTitle;
    popup->text = questionText;
    const Language* language = &qor->language();
    popup->firstButtonLabel = language ? language->getString(StringId::YES) : u"Yes";
    popup->secondButtonLabel = language ? language->getString(StringId::NO) : u"No";
    popup->result = &answer;
    popup->setup();
    ScreenStack::push(popup);
}
