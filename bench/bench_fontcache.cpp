// Draws 300 distinct text lines per frame with a bitmap font, once through the font
// cache (one quad per row of cached text) and once glyph by glyph (flag 0x100), and
// prints the frames per second of both and the ratio of their frame times. The font's
// glyph sheets are drawn at start from a free typeface. The two ways take turns frame by
// frame, so that a busy machine slows both alike. Runs on the current display, or on
// SDL's offscreen driver when there is none.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchEngine.h"
#include "engine/Format.h"
#include "engine/Qor.h"
#include "engine/ResourceManager.h"
#include "engine/Strings.h"
#include "engine/SystemHelpers.h"
#include "platform/GraphicsDevice.h"
#include "platform/SystemTypeface.h"
#include "platform/Window.h"
#include "render/CodePages.h"
#include "render/FontQuad.h"
#include "render/ImageTexture.h"
#include "render/QorGraphics.h"

namespace {
constexpr int kLines = 300;
constexpr int kGlyphHeight = 12;
constexpr int kTextNoCache = 0x100;

FontQuad* font = nullptr;
ImageTexture* sheet = nullptr;
std::vector<std::u16string> lines;
double cachedSeconds = 0.0, uncachedSeconds = 0.0, ratio = 0.0;

// One sheet of the code page 1252 positions 32 to 255, white glyphs with their ink as alpha.
ImageTexture* makeSheet() {
    auto face = SystemTypeface::open("Liberation Sans", kGlyphHeight);
    const std::uint32_t* table = codePageTable(u"1252");
    const int width = 512;
    std::vector<Rect> cells;
    std::vector<std::uint32_t> grey(static_cast<std::size_t>(width) * 64, 0xFF000000u);
    int x = 0, y = 0;
    for (int i = 32; i < 256; ++i) {
        const std::u16string text(1, static_cast<char16_t>(table[i]));
        const int w = std::max(1, face->textExtent(text).width);
        if (x + w > width) {
            x = 0;
            y += kGlyphHeight;
        }
        std::vector<std::uint32_t> one(static_cast<std::size_t>(w) * kGlyphHeight, 0xFF000000u);
        face->drawText(text, 0, 0, one.data(), w, kGlyphHeight);
        for (int r = 0; r < kGlyphHeight; ++r)
            std::copy_n(one.data() + static_cast<std::size_t>(r) * w, w,
                        grey.data() + static_cast<std::size_t>(y + r) * width + x);
        cells.push_back(Rect{x, y, y + kGlyphHeight, x + w});
        x += w;
    }
    std::vector<std::uint32_t> argb(grey.size());
    std::transform(grey.begin(), grey.end(), argb.begin(), [](std::uint32_t p) { return (p << 24) | 0x00FFFFFFu; });
    auto* t = new ImageTexture(width, 64, 0xE, argb);
    for (const Rect& r : cells) t->addSkin(r);
    return t;
}

void buildFont() {
    sheet = makeSheet();
    font = new FontQuad();
    font->bCacheClearWhite = 1;
    font->addSourceTexture(sheet, 32, true);
    font->createCache();
    for (int i = 0; i < kLines; ++i)
        lines.push_back(formatString(u"Line %d: the quick brown fox jumps over the lazy dog", i));
}

void frame(int flags) {
    QorGraphics& g = qor->graphics();
    ++qor->frameCounter;
    g.dxDevice->beginScene();
    g.clear();
    for (int i = 0; i < kLines; ++i)
        font->drawTextAt(-395.0f + static_cast<float>(i % 2) * 400.0f, 235.0f - static_cast<float>(i / 2 % 40) * 12.0f,
                         0.0f, 0xFFFFFFFFu, flags, lines[static_cast<std::size_t>(i)]);
    g.dxDevice->endScene();
    g.flip();
    glFinish();
}

void BM_CachedThenUncached(benchmark::State& state) {
    std::vector<double> cached, uncached, ratios;
    frame(0);  // fills the cache
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        frame(0);
        const double c = secondsSince(start);
        start = std::chrono::steady_clock::now();
        frame(kTextNoCache);
        const double u = secondsSince(start);
        cached.push_back(c);
        uncached.push_back(u);
        ratios.push_back(u / c);
    }
    cachedSeconds = median(cached);
    uncachedSeconds = median(uncached);
    ratio = median(ratios);
    state.counters["cached_fps"] = 1.0 / cachedSeconds;
    state.counters["uncached_fps"] = 1.0 / uncachedSeconds;
    state.counters["ratio"] = ratio;
}

}  // namespace

BENCHMARK(BM_CachedThenUncached)->Unit(benchmark::kMillisecond)->MinTime(4.0)->UseRealTime();

int main(int argc, char** argv) {
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) setenv("SDL_VIDEODRIVER", "offscreen", 1);
    Window window;
    const std::string dataHome = startBenchEngine(window);
    if (dataHome.empty()) {
        std::fprintf(stderr, "bench_fontcache: no display for OpenGL (%s)\n", SDL_GetError());
        return 0;
    }
    buildFont();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("%d distinct text lines per frame on %s\n", kLines, qor->graphics().dxDevice->rendererName());
    std::printf("cached: %.1f fps, glyph by glyph: %.1f fps, uncached frame time / cached: %.2f (median of pairs)\n",
                1.0 / cachedSeconds, 1.0 / uncachedSeconds, ratio);
    font->destroy();
    sheet->destroy();
    delete qor;
    window.destroy();
    Window::shutdownVideo();
    std::filesystem::remove_all(dataHome);
    return 0;
}
