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

// The scale at which the entries fill the band exactly when they are taller than it;
// the band's edges are taken at whole units inside it, as the entries are drawn there.
float MessageViewer::getFitScale() const {
    const float height = static_cast<float>(entries.size()) * std::fabs(lineStep);
    const float room = std::floor(bandTop) - std::ceil(bandBottom);
    return height > room ? std::max(0.0f, room) / height : 1.0f;
}

// Where the position puts the first entry, on a whole unit (the fonts draw crispest
// there), raised as far as the band's bottom needs at scale `fit` and never above the
// band's top.
float MessageViewer::getDrawnTop(float fit) const {
    const auto count = static_cast<float>(entries.size());
    float top = position.y;
    if (bGrowUp && count > 0.0f) top -= (count - 1.0f) * lineStep;
    top = std::trunc(top);
    top = std::max(top, std::ceil(bandBottom) + count * std::fabs(lineStep) * fit);
    return std::min(top, std::floor(bandTop));
}

void MessageViewer::render() {
    const float fit = getFitScale();
    if (bHidden || visibility <= 0.0f || !font || fit <= 0.0f) return;
    const auto alpha = static_cast<UColor>(std::lround(visibility * static_cast<float>(color >> 24)));
    const UColor shown = (color & 0x00FFFFFFu) | alpha << 24;
    Renderable pen;
    pen.scale = Vector3{fit, fit, 1.0f};
    float y = getDrawnTop(fit);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const bool older = i + 1 < entries.size();
        pen.color = bDimOlder && older ? scaleRGB(shown, 0.5f) : shown;
        pen.setPosition(position.x, y, position.z);
        font->drawText(pen, layoutFlags, entries[i]);
        y += lineStep * fit;
    }
}
