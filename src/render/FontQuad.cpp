#include "render/FontQuad.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/ClassInfo.h"
#include "engine/ErrorManager.h"
#include "engine/Logger.h"
#include "engine/MemoryFile.h"
#include "engine/Qor.h"
#include "engine/ResourceManager.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "render/CodePages.h"
#include "render/FontCache.h"
#include "render/FontCacheEntry.h"
#include "render/ImageTexture.h"
#include "render/MemoryImageFile.h"
#include "render/QorGraphics.h"
#include "render/Quad.h"
#include "render/Renderable.h"
#include "render/TextLayout.h"

QOR_DEFINE_CLASS(FontQuad, QorBase, nullptr)

namespace {
constexpr char16_t kOgonek = 0x02DB, kAcute = 0x00B4, kDotAbove = 0x02D9, kDiaeresis = 0x00A8, kGrave = 0x0060,
                   kCircumflex = 0x02C6, kTilde = 0x02DC, kRing = 0x00B0, kCedilla = 0x00B8;
constexpr char16_t kDotlessI = 0x007F;  // where the sheets keep their dotless i

std::uint32_t latin1Table[256];

int textureScale() { return qor->hq2x > 0 ? qor->hq2x : 1; }

std::u16string languageString(int id) {
    const char16_t* s = qor->language().getString(id);
    return s ? std::u16string(s) : std::u16string();
}

std::uint32_t readLittle32(const std::uint8_t* p) {
    return p[0] | (static_cast<std::uint32_t>(p[1]) << 8) | (static_cast<std::uint32_t>(p[2]) << 16) |
           (static_cast<std::uint32_t>(p[3]) << 24);
}
}  // namespace

FontQuad::FontQuad() = default;

FontQuad::~FontQuad() {
    if (pFallbackFont) pFallbackFont->destroy();
    if (pFontCache) pFontCache->destroy();
}

ClassInfo* FontQuad::getClass() const { return &classInfo; }

FontSymbol& FontQuad::getSymbol(char16_t code) {
    auto& page = symbolPages[code >> 8];
    if (!page) page = std::make_unique<FontSymbol[]>(256);
    return page[code & 0xFF];
}

void FontQuad::loadGlyphSheets(const std::u16string& name) {
    fontName = name;
    ResourceManager* resources = qor->pResourceManager;
    for (int pass = 0; pass < 2; ++pass) {
        const char16_t* pattern = pass == 0 ? u"%s%d" : u"%sExtra%d";
        for (int n = 1;; ++n) {
            auto* sheet = dynamic_cast<Texture*>(resources->find(false, formatString(pattern, name, n)));
            if (!sheet) break;
            const std::uint16_t first = n > 1 ? kContinue : (pass == 0 ? 0 : 256);
            addSourceTexture(sheet, first, false);
        }
    }
}

const std::uint32_t* FontQuad::chooseTable(bool bLatin1, std::uint32_t& entries) {
    entries = 256;
    if (bLatin1) {
        for (std::uint32_t i = 0; i < 256; ++i) latin1Table[i] = i;
        return latin1Table;
    }
    const std::u16string codePage = languageString(StringId::LANGUAGECODEPAGE);
    if (const std::uint32_t* table = codePageTable(codePage)) return table;
    if (codePage == u"Korean" || codePage == u"Japanese") {
        auto* file = static_cast<MemoryFile*>(qor->resources().find(true, codePage + u".codepointLUT"));
        file->load();
        const std::uint8_t* bytes = static_cast<const std::uint8_t*>(file->block.pData);
        const std::uint32_t size = file->block.size;
        // The count comes from the file: it must agree with the file's size.
        const std::uint32_t count = size >= 8 ? readLittle32(bytes + 4) : 0;
        if (size < 8 || count > (size - 8) / 4)
            QOR_FATAL("FontQuad::addSourceTexture", u"Code-point table '%s' is damaged.", codePage);
        entries = count;
        return reinterpret_cast<const std::uint32_t*>(bytes + 8);
    }
    QOR_FATAL("FontQuad::addSourceTexture", u"No LUT for codepage '%s'.", codePage);
}

namespace {
// The glyph cells of a sheet: the skins cut at run time, or those of its skin file.
std::vector<Quad*> glyphCells(Texture* texture) {
    if (auto* cut = dynamic_cast<ImageTexture*>(texture)) return cut->glyphSkins;
    std::vector<Quad*> cells;
    for (Skin* skin : texture->skins)
        if (auto* q = dynamic_cast<Quad*>(skin)) cells.push_back(q);
    return cells;
}
}  // namespace

void FontQuad::addSourceTexture(Texture* _pTexture, std::uint16_t firstIndex, bool bLatin1) {
    const std::vector<Quad*> cells = glyphCells(_pTexture);
    if (firstIndex != kContinue) nextSymbolToLoad = firstIndex;
    std::uint32_t codepage2unicodeEntries = 0;
    const std::uint32_t* table = chooseTable(bLatin1, codepage2unicodeEntries);
    QOR_ASSERT("FontQuad::addSourceTexture", nextSymbolToLoad + cells.size() <= codepage2unicodeEntries);
    for (Quad* skin : cells) {
        if (nextSymbolToLoad != 32) {
            std::uint32_t entry;
            // The lookup data need not be aligned.
            std::memcpy(&entry, table + nextSymbolToLoad, sizeof entry);
            FontSymbol* sym = &getSymbol(static_cast<char16_t>(entry & 0xFFFF));
            QOR_ASSERT("FontQuad::addSourceTexture",
                       sym->pBaseQuad == NULL);  // NOLINT(modernize-use-nullptr): the report shows this text
            sym->pBaseQuad = skin;
            skin->setAnchor(7);
            sym->spacing = spacing;
            if (nextSymbolToLoad < 256)
                fontHeightRaw = std::max(fontHeightRaw, static_cast<int>(skin->height));
            else
                QOR_ASSERT("FontQuad::addSourceTexture", sym->pBaseQuad->height <= fontHeightRaw);
        }
        ++nextSymbolToLoad;
    }
}

void FontQuad::setCompositeChar(char16_t code, char16_t base, char16_t accent, int accentY) {
    FontSymbol& b = getSymbol(base);
    FontSymbol& a = getSymbol(accent);
    if (!b.pBaseQuad) {
        // A letter without its base glyph would be drawn as a floating accent: left out.
        QOR_LOG("FontQuad::setCompositeChar", u"No glyph for U+%04X in %s; U+%04X is not composed.",
                static_cast<int>(base), fontName, static_cast<int>(code));
        return;
    }
    FontSymbol* sym = &getSymbol(code);
    sym->pBaseQuad = b.pBaseQuad;
    sym->pAccentQuad = a.pBaseQuad;
    QOR_ASSERT("FontQuad::setCompositeChar",
               sym->pAccentQuad != NULL);  // NOLINT(modernize-use-nullptr): the report shows this text
    sym->accentX = static_cast<int>((sym->pBaseQuad->width + 1.0f - sym->pAccentQuad->width) * 0.5f);
    if (accentY == kAutomaticAccentY) {
        const bool small = (base >= u'a' && base <= u'z') || base == kDotlessI;
        const int line = small ? fontLowercaseLineRaw : fontUppercaseLineRaw;
        sym->accentY = static_cast<int>(sym->pAccentQuad->height - static_cast<float>(line) + 1.0f);
    } else {
        sym->accentY = accentY;
    }
    sym->spacing = b.spacing;
}

void FontQuad::setupCompositeChars() {
    if (languageString(StringId::LANGUAGECOMPOSITECHARS) != u"Yes") return;
    const std::u16string codePage = languageString(StringId::LANGUAGECODEPAGE);
    constexpr int autoY = kAutomaticAccentY;
    if (codePage == u"1250") {
        const struct {
            char16_t code, base, accent;
        } list[] = {{0x0104, u'A', kOgonek}, {0x0106, u'C', kAcute}, {0x0118, u'E', kOgonek}, {0x0143, u'N', kAcute},
                    {0x00D3, u'O', kAcute},  {0x015A, u'S', kAcute}, {0x0179, u'Z', kAcute},  {0x017B, u'Z', kDotAbove},
                    {0x0105, u'a', kOgonek}, {0x0107, u'c', kAcute}, {0x0119, u'e', kOgonek}, {0x0144, u'n', kAcute},
                    {0x00F3, u'o', kAcute},  {0x015B, u's', kAcute}, {0x017A, u'z', kAcute}};
        for (const auto& c : list) setCompositeChar(c.code, c.base, c.accent, c.accent == kOgonek ? 0 : autoY);
        return;
    }
    if (codePage != u"1252") return;
    auto run = [this](char16_t first, char16_t base, std::initializer_list<char16_t> accents) {
        char16_t code = first;
        for (char16_t accent : accents)
            setCompositeChar(code++, base, accent, accent == kCedilla ? 0 : kAutomaticAccentY);
    };
    setCompositeChar(0x0178, u'Y', kDiaeresis, autoY);
    run(0x00C0, u'A', {kGrave, kAcute, kCircumflex, kTilde, kDiaeresis, kRing});
    run(0x00C7, u'C', {kCedilla});
    run(0x00C8, u'E', {kGrave, kAcute, kCircumflex, kDiaeresis});
    run(0x00CC, u'I', {kGrave, kAcute, kCircumflex, kDiaeresis});
    run(0x00D1, u'N', {kTilde});
    run(0x00D2, u'O', {kGrave, kAcute, kCircumflex, kTilde, kDiaeresis});
    run(0x00D9, u'U', {kGrave, kAcute, kCircumflex, kDiaeresis});
    run(0x00DD, u'Y', {kAcute});
    run(0x00E0, u'a', {kGrave, kAcute, kCircumflex, kTilde, kDiaeresis, kRing});
    run(0x00E7, u'c', {kCedilla});
    run(0x00E8, u'e', {kGrave, kAcute, kCircumflex, kDiaeresis});
    run(0x00EC, kDotlessI, {kGrave, kAcute, kCircumflex, kDiaeresis});
    run(0x00F1, u'n', {kTilde});
    run(0x00F2, u'o', {kGrave, kAcute, kCircumflex, kTilde, kDiaeresis});
    run(0x00F9, u'u', {kGrave, kAcute, kCircumflex, kDiaeresis});
    run(0x00FD, u'y', {kAcute});
    run(0x00FF, u'y', {kDiaeresis});
}

void FontQuad::createCache() {
    for (char16_t c : {u'A', u'a', u'0'}) {
        if (const Quad* q = getSymbol(c).pBaseQuad) {
            fontBaselineRaw = static_cast<int>(q->height);
            break;
        }
    }
    pFontCache = new FontCache(textureScale() * fontHeightRaw + 1, bCacheClearWhite,
                               formatString(u"%s%dpx", fontName, fontHeightRaw));
    recalcScaledMetrics();
}

void FontQuad::enablePixelScaling() {
    bPixelScalingAsked = 1;
    recalcScaledMetrics();
}

void FontQuad::recalcScaledMetrics() {
    // The scale stays plain unless the engine allows real-pixel scaling, which it never
    // does (see enablePixelScaling).
    scale = Vector3{1.0f, 1.0f, 1.0f};
    fontHeight = static_cast<int>(static_cast<float>(fontHeightRaw) * scale.y);
    fontBaseline = static_cast<int>(static_cast<float>(fontBaselineRaw) * scale.y);
    fontUppercaseLine = static_cast<int>(static_cast<float>(fontUppercaseLineRaw) * scale.y);
    fontLowercaseLine = static_cast<int>(static_cast<float>(fontLowercaseLineRaw) * scale.y);
}

FontGDI* FontQuad::getFallbackFont() {
    if (!pFallbackFont) {
        pFallbackFont = new FontGDI(fontHeight, 0.75f, 1.0f, 1.0f, u"Comic Sans MS");
        pFallbackFont->outline = 1;  // as the bitmap fonts' letters, so names read on any background
        // Sharp at the window's size and as bold as the bitmap fonts beside it.
        pFallbackFont->followWindow(true);
    }
    return pFallbackFont;
}

int FontQuad::glyphAdvance(const FontSymbol& sym) const {
    return (sym.pBaseQuad ? static_cast<int>(sym.pBaseQuad->width) : defaultWidth) + sym.spacing;
}

TextSize FontQuad::measureTextRaw(bool bIncludeLastSpacing, int* pCharIndex, int flags, std::u16string_view text) {
    if (flags & TextFlags::kFallback) {
        if (pCharIndex) *pCharIndex = static_cast<int>(text.size());
        return getFallbackFont()->measureTextRaw(nullptr, nullptr, text);
    }
    TextSize size{0, fontHeightRaw};
    for (std::size_t i = 0; i < text.size(); ++i) {
        const FontSymbol& sym = getSymbol(text[i]);
        int w = sym.pBaseQuad ? static_cast<int>(sym.pBaseQuad->width) : defaultWidth;
        if (bIncludeLastSpacing || i + 1 < text.size()) w += sym.spacing;
        size.width += w;
        if (pCharIndex && size.width > *pCharIndex) {
            *pCharIndex = static_cast<int>(i);
            return {size.width - w, size.height};
        }
    }
    if (pCharIndex) *pCharIndex = static_cast<int>(text.size());
    return size;
}

TextSizeF FontQuad::measureText(bool bIncludeLastSpacing, int* pCharIndex, int flags, std::u16string_view text) {
    if (flags & TextFlags::kFallback) {
        if (pCharIndex) *pCharIndex = static_cast<int>(text.size());
        return getFallbackFont()->measureText(text);
    }
    if (pCharIndex) *pCharIndex = static_cast<int>(static_cast<float>(*pCharIndex) / scale.x);
    const TextSize raw = measureTextRaw(bIncludeLastSpacing, pCharIndex, 0, text);
    return {static_cast<float>(raw.width) * scale.x, static_cast<float>(raw.height) * scale.y};
}

TextSize FontQuad::measureMarkedText(std::u16string_view text) {
    TextSize size{0, 0};
    while (!text.empty()) {
        const std::size_t marker = text.find(kColourMarker);
        const TextSize segment = measureTextRaw(true, nullptr, 0, text.substr(0, marker));
        size.width += segment.width;
        size.height = std::max(size.height, segment.height);
        if (marker == std::u16string_view::npos) break;
        // A marker too close to the end carries no full colour: the text ends there.
        const std::size_t next = marker + 1 + kColourLength;
        text = next < text.size() ? text.substr(next) : std::u16string_view();
    }
    return size;
}

TextSizeF FontQuad::getMarkedTextSize(std::u16string_view text) {
    const TextSize raw = measureMarkedText(text);
    return {static_cast<float>(raw.width), static_cast<float>(raw.height)};
}

void FontQuad::drawAccents(Renderable& glyphPen, std::u16string_view text) {
    int x = 0;
    for (char16_t c : text) {
        const FontSymbol& sym = getSymbol(c);
        if (sym.pAccentQuad) {
            Renderable accent;
            accent.color = glyphPen.color;
            accent.pSkin = sym.pAccentQuad;
            accent.bSkipVisibility = 1;
            accent.position = Vector3{static_cast<float>(x + sym.accentX), static_cast<float>(sym.accentY), 0.0f};
            accent.postXform = glyphPen.xform;
            accent.updateXform();
            accent.render();
        }
        x += glyphAdvance(sym);
    }
}

void FontQuad::drawText(Renderable& pen, int flags, std::u16string_view text) {
    if (text.empty()) return;
    if (flags & TextFlags::kFallback) {
        getFallbackFont()->drawText(pen, flags, text);
        return;
    }
    const TextSize size = measureTextRaw(false, nullptr, flags, text);
    float ox = 0.0f, oy = 0.0f;
    textOrigin(flags, size.width, fontHeightRaw, fontUppercaseLineRaw, fontBaselineRaw, ox, oy);
    ox *= scale.x;
    oy *= scale.y;
    Renderable glyphPen;
    placeGlyphPen(glyphPen, pen, scale, ox, oy);
    drawAccents(glyphPen, text);

    const QorGraphics* g = qor->pQorGraphics;
    if (bUseCache && pFontCache && g && g->bEnableFontCache && !(flags & TextFlags::kNoCache) && text.size() >= 4) {
        if (FontCacheEntry* e = findOrCacheText(text)) e->drawRows(glyphPen, ox, oy, scale.x);
        return;
    }
    for (char16_t c : text) {
        const FontSymbol& sym = getSymbol(c);
        if (sym.pBaseQuad) {
            glyphPen.pSkin = sym.pBaseQuad;
            glyphPen.position = Vector3{ox, oy, 0.0f};
            glyphPen.updateXform();
            glyphPen.render();
        }
        ox += static_cast<float>(glyphAdvance(sym)) * scale.x;
    }
}

void FontQuad::drawTextAt(float x, float y, float z, UColor color, int flags, std::u16string_view text) {
    Renderable pen;
    placeTextPen(pen, x, y, z, color);
    drawText(pen, flags, text);
}

void FontQuad::drawTextWithShadow(Renderable& pen, int flags, float dx, float dy, float dz, UColor shadowColour,
                                  std::u16string_view text) {
    if (qor->pQorGraphics && qor->graphics().bHighDetail) {
        const Vector3 position = pen.position;
        const UColor color = pen.color;
        pen.position = Vector3{position.x + dx, position.y + dy, position.z + dz};
        pen.updateXform();
        pen.color = shadowColour;
        drawText(pen, flags, text);
        pen.position = position;
        pen.updateXform();
        pen.color = color;
    }
    drawText(pen, flags, text);
}

void FontQuad::drawTextWithShadowAt(float x, float y, float z, UColor color, int flags, float dx, float dy, float dz,
                                    UColor shadowColour, std::u16string_view text) {
    Renderable pen;
    placeTextPen(pen, x, y, z, color);
    drawTextWithShadow(pen, flags, dx, dy, dz, shadowColour, text);
}

FontCacheEntry* FontQuad::findOrCacheText(std::u16string_view text) {
    if (FontCacheEntry* e = pFontCache->findText(text)) return e;
    return cacheText(text);
}

FontCacheEntry* FontQuad::cacheText(std::u16string_view text) { return pFontCache->addTextFromFontQuad(*this, text); }

void FontQuad::blitGlyph(const Quad& glyph, ImageTexture& destination, int x, int y) const {
    // With delayed loading the sheet's kept copy is decoded at its first use, here.
    if (!glyph.pTexture || !glyph.pTexture->pSavedSourceData) return;
    const MemoryImageFile* sheet = glyph.pTexture->getSavedSourceData();
    if (!sheet->isResident()) return;
    const Rect& r = glyph.sourceRect;
    for (int row = 0; row < r.height(); ++row) {
        const int sy = r.top + row, dy = y + row;
        if (sy < 0 || sy >= sheet->height || dy < 0 || dy >= destination.imageHeight()) continue;
        for (int col = 0; col < r.width(); ++col) {
            const int sx = r.left + col, dx = x + col;
            if (sx < 0 || sx >= sheet->width || dx < 0 || dx >= destination.imageWidth()) continue;
            destination.row(dy)[dx] = sheet->at(sx, sy);
        }
    }
}
