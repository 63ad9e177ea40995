#include "ui/ContextPopup.h"

#include "engine/Qor.h"
#include "inputaudio/QorInput.h"
#include "language/Language.h"
#include "render/FontQuad.h"
#include "render/VertexBuffer.h"
#include "ui/Global.h"

namespace {
constexpr float kBand[4] = {-400.0f, -60.0f, 400.0f, 60.0f};
constexpr std::uint32_t kBandColour = 0xC0000000u;
constexpr std::uint32_t kTextColour = 0xFFFFFFFFu;
constexpr int kCentred = 0x04 | 0x10;
constexpr float kTextY = 24.0f;
constexpr float kButtonX = 96.0f;
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
    drawFilledRect(kBand, kBandColour);
    FontQuad* font = global ? global->fonts[Global::kFontMedium] : nullptr;
    if (!font || !qor->pLanguage) return;
    const Language& language = *qor->pLanguage;
    font->drawTextAt(0.0f, kTextY, 0.0f, kTextColour, kCentred, language.getString(textId));
    font->drawTextAt(-kButtonX, -kTextY, 0.0f, kTextColour, kCentred, language.getString(buttonIds[0]));
    font->drawTextAt(kButtonX, -kTextY, 0.0f, kTextColour, kCentred, language.getString(buttonIds[1]));
}
