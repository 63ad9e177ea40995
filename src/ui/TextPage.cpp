#include "ui/TextPage.h"

#include <algorithm>
#include <cmath>

#include "engine/ChildIterator.h"
#include "engine/ClassInfo.h"
#include "engine/Qor.h"
#include "engine/VirtualScreen.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "render/Camera.h"
#include "ui/FadingText.h"
#include "ui/MenuFonts.h"
#include "ui/TextFont.h"

QOR_DEFINE_CLASS(TextPage, Context, (&makeInstance<TextPage, BasicLink>))

ClassInfo* TextPage::getClass() const { return &classInfo; }

namespace {
constexpr float kLineSpacing = 1.15f;  // line heights between successive lines
constexpr float kFadeOutSpan = 50.0f;  // units below the top edge where lines fade out
constexpr float kFadeInStart = 40.0f;  // units above the bottom edge where lines appear
constexpr float kFadeInSpan = 60.0f;
constexpr float kDeleteAbove = 64.0f;  // a line this far past the top edge is out of sight

float lineHeight(int font) {
    const TextFont* f = MenuFonts::get(font);
    return f ? static_cast<float>(f->getLineHeight()) : 0.0f;
}

float textWidth(int font, const std::u16string& text) {
    const TextFont* f = MenuFonts::get(font);
    return f ? f->measureText(text).x : 0.0f;
}

std::u16string text(int id) { return qor->language().getString(id); }
}  // namespace

TextPage::TextPage() : content(new QorBase()), cursor(-static_cast<float>(kVirtualScreenHeight) / 2.0f) {
    bDeleteOnClose = 1;
    addChild(content);
}

FadingText* TextPage::addLabel(float y, const std::u16string& label, int font, int layoutFlags, UColor colour,
                               float x) {
    auto* line = new FadingText(x, y, 0.0f, label, MenuFonts::get(font), colour);
    line->bShadow = 0;
    line->layoutFlags = layoutFlags;
    content->addChild(line);
    return line;
}

void TextPage::addTitle(const std::u16string& title) {
    addLabel(cursor, title, MenuFonts::kLarge, 4, 0xFFFFFFFFu, 0.0f);
    cursor -= lineHeight(MenuFonts::kLarge) * kLineSpacing;
}

void TextPage::addParagraph(const std::u16string& left, const std::u16string& right) {
    addLine(0.0f, 0xFFFFFFFFu, left, right);
    cursor -= lineHeight(MenuFonts::kMedium) * kLineSpacing;
}

FadingText* TextPage::addLine(float offset, UColor colour, const std::u16string& left, const std::u16string& right) {
    const float y = cursor + offset;
    if (left.empty() && right.empty()) return addLabel(y, u"", MenuFonts::kMedium, 4, colour, 0.0f);
    if (right.empty()) return addLabel(y, left, MenuFonts::kMedium, 4, colour, 0.0f);
    const bool swap = qor->language().rightToLeft != 0;
    const std::u16string& first = swap ? right : left;
    const std::u16string& second = swap ? left : right;
    // The first column ends near the centre, the second starts just after it.
    const float w = textWidth(MenuFonts::kMedium, first + u"   ");
    return addLabel(y, first + u"      " + second, MenuFonts::kMedium, 2, colour, -w);
}

int TextPage::alphaAt(float y, float top, float bottom) {
    float share = 1.0f;
    if (y > top - kFadeOutSpan)
        share = std::clamp((y - top) / -kFadeOutSpan, 0.0f, 1.0f);
    else if (y < bottom + kFadeInStart + kFadeInSpan)
        share = std::clamp((y - (bottom + kFadeInStart)) / kFadeInSpan, 0.0f, 1.0f);
    return static_cast<int>(std::lround(255.0f * share));
}

void TextPage::tickContents(double time, double step) {
    Context::tickContents(time, step);  // the children: the lines and their content node
    const ViewRect view = pCamera->getViewRect(0.0f);
    const Vector3 move = velocity * static_cast<float>(step);
    for (ChildIterator it(content); !it.done; it.next()) {
        auto* line = dynamic_cast<FadingText*>(static_cast<QorBase*>(it.current));
        if (!line) continue;
        line->position = line->position + move;
        line->updateXform();
        int alpha = alphaAt(line->position.y, view.top, view.bottom);
        // Lines without red (coloured headings) fade at half strength.
        if (((line->color >> 16) & 0xFFu) == 0) alpha /= 2;
        line->color = (line->color & 0x00FFFFFFu) | (static_cast<UColor>(alpha) << 24);
        line->bHidden = alpha == 0 ? 1 : 0;
        if (line->position.y - kDeleteAbove > view.top) line->pendingDelete = 1;
    }
}

void fillCreditsPage(TextPage* page) {
    const std::u16string blank;
    page->addTitle(text(StringId::TORVANE2));
    page->addParagraph(blank, blank);
    page->addParagraph(text(StringId::COPYRIGHT), blank);
    page->addParagraph(blank, blank);
    page->addParagraph(text(StringId::CREDITS1A1), u" ");
    page->addParagraph(text(StringId::CREDITS1A2), u" ");
    page->addParagraph(text(StringId::CREDITS1A3), text(StringId::CREDITS1B));
    page->addParagraph(blank, blank);
    page->addParagraph(text(StringId::CREDITS2A), blank);
    page->addParagraph(text(StringId::CREDITS2B1XMAS), blank);
    page->addParagraph(text(StringId::CREDITS2B2XMAS), blank);
    page->addParagraph(blank, blank);
    page->addParagraph(text(StringId::CREDITS3A), text(StringId::CREDITS3B));
}
