#include "platform/DisplayAdapter.h"

#include <SDL.h>

#include "platform/PixelFormat.h"

namespace {
constexpr int kPrimaryDisplay = 0;

DisplayMode fromSdl(const SDL_DisplayMode& m) {
    return DisplayMode{m.w, m.h, m.refresh_rate, DisplayAdapter::formatOfSdl(m.format)};
}
}  // namespace

std::uint32_t DisplayAdapter::formatOfSdl(std::uint32_t sdlFormat) {
    switch (sdlFormat) {
        case SDL_PIXELFORMAT_RGB888:
            return PixelFormat::kX8R8G8B8;
        case SDL_PIXELFORMAT_ARGB8888:
            return PixelFormat::kA8R8G8B8;
        case SDL_PIXELFORMAT_RGB565:
            return PixelFormat::kR5G6B5;
        case SDL_PIXELFORMAT_RGB555:
            return PixelFormat::kX1R5G5B5;
        case SDL_PIXELFORMAT_ARGB1555:
            return PixelFormat::kA1R5G5B5;
        case SDL_PIXELFORMAT_ARGB4444:
            return PixelFormat::kA4R4G4B4;
        case SDL_PIXELFORMAT_RGB444:
            return PixelFormat::kX4R4G4B4;
        case SDL_PIXELFORMAT_RGB24:
            return PixelFormat::kR8G8B8;
        case SDL_PIXELFORMAT_RGB332:
            return PixelFormat::kR3G3B2;
        case SDL_PIXELFORMAT_ARGB2101010:
            return PixelFormat::kA2B10G10R10;
        default:
            return PixelFormat::kUnknown;
    }
}

// A display that lists no usable mode (some drivers list none, or only an empty one)
// still has its desktop's: full screen covers the desktop at its own mode, so that one
// is always there to use.
std::vector<DisplayMode> DisplayAdapter::modes(std::uint32_t format) const {
    std::vector<DisplayMode> result;
    bool anyUsable = false;
    const int count = SDL_GetNumDisplayModes(kPrimaryDisplay);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode m{};
        if (SDL_GetDisplayMode(kPrimaryDisplay, i, &m) != 0 || m.w <= 0 || m.h <= 0) continue;
        anyUsable = anyUsable || formatOfSdl(m.format) != PixelFormat::kUnknown;
        if (formatOfSdl(m.format) == format) result.push_back(fromSdl(m));
    }
    DisplayMode desktop;
    if (!anyUsable && desktopMode(desktop) && desktop.format == format) result.push_back(desktop);
    return result;
}

bool DisplayAdapter::desktopMode(DisplayMode& out) const {
    SDL_DisplayMode m{};
    if (SDL_GetDesktopDisplayMode(kPrimaryDisplay, &m) != 0) return false;
    out = fromSdl(m);
    return true;
}

bool DisplayAdapter::workArea(WorkArea& out) const {
    SDL_Rect r{};
    if (SDL_GetDisplayUsableBounds(kPrimaryDisplay, &r) != 0 || r.w <= 0 || r.h <= 0) return false;
    out = WorkArea{r.x, r.y, r.x + r.w, r.y + r.h};
    return true;
}
