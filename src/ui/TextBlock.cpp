#include "ui/TextBlock.h"

#include <algorithm>

#include "engine/Qor.h"
#include "language/Language.h"
#include "ui/TextFont.h"
#include "ui/TextLine.h"
#include "ui/TextSpan.h"

namespace {
constexpr char16_t kBreak = u'|';
constexpr char16_t kSpace = u' ';
constexpr std::size_t kNone = std::u16string::npos;

int languageReadsRightToLeft() { return qor->language().rightToLeft; }
}  // namespace

TextBlock::TextBlock(const TextFont* font, float maxWidth, float lineHeight_, std::u16string_view text,
                     int rightToLeft) {
    const float fontLineHeight = font ? static_cast<float>(font->getLineHeight()) : 0.0f;
    lineHeight = lineHeight_ < 0.0f ? fontLineHeight : lineHeight_;
    if (text.empty()) {
        addChild(new TextLine(font, TextSpan::kDefaultColour, u""));
        return;
    }
    if (rightToLeft < 0) rightToLeft = languageReadsRightToLeft();
    if (rightToLeft == 1) {
        // Built in two steps: GCC 12 warns falsely (-Wrestrict) on a prepending +.
        std::u16string spaced(1, kSpace);
        spaced += text;
        wrapRightToLeft(font, maxWidth, spaced);
    } else
        wrapLeftToRight(font, maxWidth, std::u16string(text) + kSpace);
    const int lines = countChildren();
    height = static_cast<float>(lines) * lineHeight - (lineHeight - fontLineHeight);
}

float TextBlock::markedWidth(const TextFont* font, std::u16string_view text) const {
    return font ? font->getMarkedTextSize(text).x : 0.0f;
}

void TextBlock::appendLine(const TextFont* font, std::u16string_view line) {
    auto* l = new TextLine(font, carriedColour, line);
    carriedColour = l->endColour;
    width = std::max(width, l->width);
    addChild(l);
}

// Each pass finds where the next line ends: the last space before the text grows wider
// than maxWidth, or a "|" that comes before the next space. A first word wider than
// maxWidth stands on its own line, so no line is ever empty for lack of room.
void TextBlock::wrapLeftToRight(const TextFont* font, float maxWidth, std::u16string text) {
    while (!text.empty()) {
        std::size_t lastBreak = kNone;
        std::size_t breakAt = kNone;
        while (breakAt == kNone) {
            const std::size_t from = lastBreak == kNone ? 0 : lastBreak + 1;
            const std::size_t bar = text.find(kBreak, from);
            const std::size_t space = text.find(kSpace, from);
            const std::size_t candidate = bar != kNone && bar < space ? bar : space;
            if (candidate == kNone) {
                breakAt = text.size() - 1;
            } else if (markedWidth(font, std::u16string_view(text).substr(0, candidate)) > maxWidth) {
                breakAt = lastBreak != kNone && lastBreak > 0 ? lastBreak : candidate;
            } else if (text[candidate] == kBreak) {
                breakAt = candidate;
            } else {
                lastBreak = candidate;
            }
        }
        appendLine(font, std::u16string_view(text).substr(0, breakAt));
        text.erase(0, breakAt + 1);
    }
}

// The mirror image: marks are searched from the end, the measured part is the one after
// the candidate, and each line is taken off the end of the text.
void TextBlock::wrapRightToLeft(const TextFont* font, float maxWidth, std::u16string text) {
    while (!text.empty()) {
        std::size_t lastBreak = kNone;
        std::size_t breakAt = kNone;
        while (breakAt == kNone) {
            std::size_t candidate = kNone;
            if (lastBreak != 0) {
                const std::size_t from = lastBreak == kNone ? kNone : lastBreak - 1;
                const std::size_t bar = text.rfind(kBreak, from);
                const std::size_t space = text.rfind(kSpace, from);
                candidate = bar != kNone && (space == kNone || bar > space) ? bar : space;
            }
            if (candidate == kNone) {
                breakAt = 0;
            } else if (markedWidth(font, std::u16string_view(text).substr(candidate + 1)) > maxWidth) {
                breakAt = lastBreak != kNone && lastBreak > 0 ? lastBreak : candidate;
            } else if (text[candidate] == kBreak) {
                breakAt = candidate;
            } else {
                lastBreak = candidate;
            }
        }
        appendLine(font, std::u16string_view(text).substr(breakAt + 1));
        text.erase(breakAt);
    }
}
