#include "ui/MenuFonts.h"

#include "ui/FontQuadTextFont.h"
#include "ui/Global.h"

std::array<TextFont*, MenuFonts::kCount> MenuFonts::fonts{};
std::array<std::unique_ptr<FontQuadTextFont>, MenuFonts::kCount> MenuFonts::adapters{};

TextFont* MenuFonts::get(int index) {
    if (index < 0 || index >= kCount) return nullptr;
    return fonts[index] ? fonts[index] : loaded(index);
}

// The application's font table fills at loading and is built again after a restart, so
// the adapter follows whatever font the table holds now.
TextFont* MenuFonts::loaded(int index) {
    FontQuad* font = global ? global->fonts[index] : nullptr;
    std::unique_ptr<FontQuadTextFont>& adapter = adapters[index];
    if (!font) return nullptr;
    if (!adapter || adapter->font != font) adapter = std::make_unique<FontQuadTextFont>(font);
    return adapter.get();
}

void MenuFonts::set(int index, TextFont* font) {
    if (index >= 0 && index < kCount) fonts[index] = font;
}

void MenuFonts::clear() {
    fonts.fill(nullptr);
    for (auto& adapter : adapters) adapter.reset();
}
