#pragma once
// The primary display as the drawing device sees it: its list of display modes, the
// desktop's own mode and the work area that panels leave free. Read through SDL's video
// subsystem, which must be started.
#include <cstdint>
#include <vector>

struct DisplayMode {
    int width = 0;             // pixels
    int height = 0;            // pixels
    int refreshRate = 0;       // Hz, 0 when unknown
    std::uint32_t format = 0;  // a PixelFormat value
};

struct WorkArea {
    int left = 0, top = 0, right = 0, bottom = 0;  // desktop pixels, right/bottom exclusive
};

class DisplayAdapter {
public:
    DisplayAdapter() = default;
    virtual ~DisplayAdapter() = default;

    // The modes of the primary display in `format`, as the system lists them; the
    // desktop's own mode when the system lists none.
    std::vector<DisplayMode> modes(std::uint32_t format) const;
    // The desktop's current mode; false when the system cannot tell.
    bool desktopMode(DisplayMode& out) const;
    // The usable desktop area; false when the system cannot tell.
    bool workArea(WorkArea& out) const;

    // The PixelFormat value of an SDL pixel format (PixelFormat::kUnknown for others).
    static std::uint32_t formatOfSdl(std::uint32_t sdlFormat);
};
