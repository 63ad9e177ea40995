#include "ui/MessageViewer.h"

#include <algorithm>
#include <cmath>

#include "engine/ChildIterator.h"
#include "engine/Logger.h"
#include "engine/Qor.h"
#include "engine/TimeKeeper.h"
#include "engine/VirtualScreen.h"
#include "ui/MenuFonts.h"
#include "ui/TextBlock.h"
#include "ui/TextFont.h"
#include "ui/TextSpan.h"

namespace {
double now() { return qor->timeKeeper().getPhysicalTime(); }
}  // namespace

MessageViewer::MessageViewer() : wrapWidth(kVirtualScreenWidth - 10), font(MenuFonts::get(MenuFonts::kMedium)) {
    lineStep = -static_cast<float>(font ? font->getLineHeight() : 0);
    color = 0xFFFFFFFFu;
    setPosition(0.0f, 0.0f, 0.0f);
}

void MessageViewer::addMessage(const std::u16string& text) {
    QOR_LOG("MessageViewer::addMessage", u"> %s", text);
    TextBlock block(font, static_cast<float>(wrapWidth), std::fabs(lineStep), text);
    for (ChildIterator line(&block); !line.done; line.next())
        for (ChildIterator span(line.current); !span.done; span.next())
            entries.push_back(static_cast<TextSpan*>(span.current)->text);
    while (entries.size() > maxMessages) entries.pop_front();
    lastMessageTime = now();
}

void MessageViewer::centreVertically(float x) {
    setPosition(x, -static_cast<float>(entries.size()) * lineStep / 2.0f, position.z);
}

void MessageViewer::tick(double, double) {
    if (fadeTime <= 0.0) {
        visibility = 1.0f;
        return;
    }
    const double end = lastMessageTime + fadeTime;
    visibility = static_cast<float>(1.0 - std::clamp(now() - (end - 1.0), 0.0, 1.0));
}

void MessageViewer::render() {
    if (bHidden || visibility <= 0.0f || !font) return;
    const auto alpha = static_cast<UColor>(std::lround(visibility * static_cast<float>(color >> 24)));
    const UColor shown = (color & 0x00FFFFFFu) | alpha << 24;
    float y = position.y;
    if (bGrowUp) y -= static_cast<float>(entries.size() - 1) * lineStep;
    y = std::trunc(y);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const bool older = i + 1 < entries.size();
        const UColor c = bDimOlder && older ? scaleRGB(shown, 0.5f) : shown;
        font->drawTextAt(Vector3{position.x, y, position.z}, c, layoutFlags, entries[i]);
        y += lineStep;
    }
}
