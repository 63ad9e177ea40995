#include "ui/ContextPopup.h"

#include "engine/Qor.h"
#include "inputaudio/QorInput.h"

namespace {
constexpr int kReturn = 28;
constexpr int kKeyY = 21;
constexpr int kKeyN = 49;
}  // namespace

ContextPopup::ContextPopup(int textId_, int firstButtonId, int secondButtonId, std::int32_t* answer_)
    : textId(textId_), buttonIds{firstButtonId, secondButtonId}, pAnswer(answer_) {
    bDeleteOnClose = 1;
}

void ContextPopup::setup() {
    // A new question has no answer yet, whatever the last one was.
    if (pAnswer) *pAnswer = -1;
}

void ContextPopup::tickContents(double time, double dt) {
    Context::tickContents(time, dt);
    const QorInput* input = qor->pQorInput;
    if (!input) return;
    if (input->wasPressed(kReturn) || input->wasPressed(kKeyY))
        answer(0);
    else if (input->wasPressed(kKeyN))
        answer(1);
}

void ContextPopup::answer(std::int32_t value) {
    if (pAnswer) *pAnswer = value;
    bFinished = 1;
}

void ContextPopup::renderContents() {
    if (auto* beneath = dynamic_cast<Context*>(prev)) beneath->render();
    Context::renderContents();
}
