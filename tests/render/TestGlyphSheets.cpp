#include "render/TestGlyphSheets.h"

#include <algorithm>
#include <vector>

#include "engine/Qor.h"
#include "engine/ResourceManager.h"
#include "platform/SystemTypeface.h"
#include "render/CodePages.h"
#include "render/ImageTexture.h"

ImageTexture* makeGlyphSheet(const std::u16string& name, int height, int first, int count) {
    auto face = SystemTypeface::open("Liberation Sans", height);
    const std::uint32_t* table = codePageTable(u"1252");
    constexpr int kSheetWidth = 256;
    struct Cell {
        std::u16string text;
        int x, y, w, lead;
    };
    // The accents that sit above a letter keep only their ink rows, as the game's sheets do.
    auto isRaisedAccent = [](char16_t c) {
        return c == 0x00B4 || c == 0x02D9 || c == 0x00A8 || c == 0x0060 || c == 0x02C6 || c == 0x02DC || c == 0x00B0;
    };
    std::vector<Cell> cells;
    int x = 0, y = 0;
    for (int i = first; i < first + count; ++i) {
        char16_t c = static_cast<char16_t>(table[i]);
        if (i == 0x7F) c = u'\u0131';
        std::u16string text(1, c);
        const bool printable = c >= 0x20 && !(c >= 0x7F && c < 0xA0 && i != 0x7F);
        // A cell holds the character's ink where it overhangs its advance.
        SystemTypeface::ABC abc;
        face->charABC(c, abc);
        const int lead = printable ? std::max(0, -abc.a) : 0;
        const int advance = face->textExtent(text).width;
        const int w = printable ? std::max({1, advance + lead, lead + abc.a + abc.b}) : 1;
        if (x + w > kSheetWidth) {
            x = 0;
            y += height;
        }
        cells.push_back(Cell{printable ? text : std::u16string(), x, y, w, lead});
        x += w;
    }
    const int sheetHeight = y + height;
    std::vector<std::uint32_t> grey(static_cast<std::size_t>(kSheetWidth) * sheetHeight, 0xFF000000u);
    for (const Cell& cell : cells)
        if (!cell.text.empty()) {
            // Each glyph alone in its cell, so that no ink spills into a neighbour.
            std::vector<std::uint32_t> one(static_cast<std::size_t>(cell.w) * height, 0xFF000000u);
            face->drawText(cell.text, cell.lead, 0, one.data(), cell.w, height);
            for (int r = 0; r < height; ++r)
                std::copy_n(one.data() + static_cast<std::size_t>(r) * cell.w, cell.w,
                            grey.data() + static_cast<std::size_t>(cell.y + r) * kSheetWidth + cell.x);
        }
    std::vector<std::uint32_t> argb(grey.size());
    std::transform(grey.begin(), grey.end(), argb.begin(), [](std::uint32_t p) { return (p << 24) | 0x00FFFFFFu; });
    auto* sheet = new ImageTexture(kSheetWidth, sheetHeight, 0xE, argb);
    for (const Cell& cell : cells) {
        int top = 0, bottom = height;
        if (!cell.text.empty() && isRaisedAccent(cell.text[0])) {
            auto inkRow = [&](int r) {
                for (int col = 0; col < cell.w; ++col)
                    if (grey[static_cast<std::size_t>(cell.y + r) * kSheetWidth + cell.x + col] & 0xFF) return true;
                return false;
            };
            while (top < bottom - 1 && !inkRow(top)) ++top;
            while (bottom > top + 1 && !inkRow(bottom - 1)) --bottom;
        }
        sheet->addSkin(Rect{cell.x, cell.y + top, cell.y + bottom, cell.x + cell.w});
    }
    qor->pResourceManager->addResource(sheet, name);
    return sheet;
}
