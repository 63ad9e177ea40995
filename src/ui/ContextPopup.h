#pragma once
// A question over the screen beneath: a text and two answers. The answer goes into the
// caller's slot (0 the first button, 1 the second) and the popup closes itself; Escape
// closes it without an answer.
//
// For now the answers are given with the keys: Return or Y for the first, N for the
// second; the texts are shown in a band across the screen. Pushed on the screen stack,
// which owns and deletes it.
#include <cstdint>

#include "render/Context.h"

class ContextPopup : public Context {
public:
    // `answer` must outlive the popup; it is written once, when a button is chosen.
    ContextPopup(int textId, int firstButtonId, int secondButtonId, std::int32_t* answer);
    // Builds the popup's contents; call once before pushing it.
    void setup();
    void tickContents(double time, double dt) override;
    // The screen beneath first, then the popup over it.
    void renderContents() override;

    int textId;
    int buttonIds[2];
    std::int32_t* pAnswer;

private:
    void answer(std::int32_t value);
};
