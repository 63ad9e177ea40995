#include "ui/TextPanel.h"

#include <cmath>

#include "engine/ChildIterator.h"
#include "ui/FadingText.h"
#include "ui/TextBlock.h"
#include "ui/TextFont.h"
#include "ui/TextLine.h"
#include "ui/TextSpan.h"

TextPanel::TextPanel(const FadingText& t, float maxWidth) {
    const float lineHeight = t.font ? static_cast<float>(t.font->getLineHeight()) : 0.0f;
    TextBlock block(t.font, maxWidth, lineHeight, t.text);
    width = block.width;
    height = block.height;
    bAutoRemove = t.bAutoRemove;
    float y = 0.0f;
    if (t.layoutFlags & 0x10) y = std::trunc(height * 0.5f);
    if (t.layoutFlags & 0x20) y += std::trunc(height);
    for (ChildIterator line(&block); !line.done; line.next()) {
        const auto* l = static_cast<TextLine*>(line.current);
        float x = 0.0f;
        if (t.layoutFlags & 0x08)
            x = -std::trunc(l->width);
        else if (t.layoutFlags & 0x04)
            x = std::trunc(l->width * -0.5f);
        for (ChildIterator span(line.current); !span.done; span.next()) {
            const auto* s = static_cast<TextSpan*>(span.current);
            auto* label = new FadingText(x, y, 0.0f, s->text, t.font, t.color);
            label->layoutFlags = 3;
            label->bAutoRemove = t.bAutoRemove;
            label->bShadow = t.bShadow;
            label->delay = t.delay;
            label->lifetime = t.lifetime;
            label->fadeIn = t.fadeIn;
            label->fadeOut = t.fadeOut;
            addChild(label);
            x += s->width;
        }
        y -= lineHeight;
    }
    position = t.position;
    rotation = t.rotation;
    scale = t.scale;
    updateXform();
}

void TextPanel::tick(double time, double dt) {
    QorBase::tick(time, dt);
    if (bAutoRemove && !firstChild) pendingDelete = 1;
}

void TextPanel::render() {
    // The panel's own quad, then its children as a plain object draws them: the layers in
    // between would draw the panel's skin a second time.
    Renderable::render();
    QorBase::render();  // NOLINT(bugprone-parent-virtual-call)
}

void TextPanel::updateXform() {
    Renderable::updateXform();
    for (ChildIterator it(this); !it.done; it.next()) static_cast<Renderable*>(it.current)->setPostXform(xform);
}
