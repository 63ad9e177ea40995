#pragma once
// A texture of the drawing device: 32-bit ARGB texels, one level, made by
// GraphicsDevice::createTexture. The owner deletes it; a texture that outlives its
// device only forgets its handle.
#include <cstdint>
#include <utility>
#include <vector>

class GraphicsDevice;

class DeviceTexture {
public:
    ~DeviceTexture();
    DeviceTexture(const DeviceTexture&) = delete;
    DeviceTexture& operator=(const DeviceTexture&) = delete;

    int width() const { return w; }   // texels
    int height() const { return h; }  // texels

    // Copies a block of width x height ARGB pixels (rows from the top, `pitch` pixels from
    // one row to the next) to texel (x, y), rows counted from the top. A block that does
    // not fit is refused with ResultCode::kInvalidCall and copies nothing.
    std::int32_t update(int x, int y, int width, int height, const std::uint32_t* pixels, int pitch);
    // Whether every texel is known to have full alpha: each has been written, and the
    // last write of each brought full alpha.
    bool isOpaque() const { return opaqueRows == h; }

private:
    friend class GraphicsDevice;
    DeviceTexture(GraphicsDevice* device, unsigned name, int width, int height);

    GraphicsDevice* device;  // null once the device is gone
    unsigned name;           // the OpenGL texture
    int w, h;
    bool rowsFromTop = false;  // a picture kept from the window holds its rows from the top
    // Which texels are known to have full alpha: rows complete, and per row one span
    // [first, end) of such texels (empty once every row is complete).
    int opaqueRows = 0;  // contents start undefined
    std::vector<std::pair<int, int>> opaqueSpans;

    void noteOpacity(int x, int y, int width, int height, const std::uint32_t* pixels, int pitch);
};
