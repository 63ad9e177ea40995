#include "platform/DeviceTexture.h"

#include <epoxy/gl.h>

#include <algorithm>

#include "platform/GlCheck.h"
#include "platform/GraphicsDevice.h"
#include "platform/ResultCode.h"

DeviceTexture::DeviceTexture(GraphicsDevice* device_, unsigned name_, int width, int height)
    : device(device_), name(name_), w(width), h(height) {}

DeviceTexture::~DeviceTexture() {
    if (!device) return;
    device->flushIfUsing(this);
    if (device->boundDeviceTexture == this) device->boundDeviceTexture = nullptr;
    if (device->boundTexture == name) device->boundTexture = 0;  // deleting unbinds it
    GL_CHECK(glDeleteTextures(1, &name));
    device->forget(this);
}

std::int32_t DeviceTexture::update(int x, int y, int width, int height, const std::uint32_t* pixels, int pitch) {
    if (!device) return ResultCode::kDeviceLost;
    if (x < 0 || y < 0 || width <= 0 || height <= 0 || x + width > w || y + height > h || pitch < width || !pixels)
        return ResultCode::kInvalidCall;
    device->flushIfUsing(this);  // gathered draws show the texture as it was
    noteOpacity(x, y, width, height, pixels, pitch);
    GL_CHECK(glBindTexture(GL_TEXTURE_2D, name));
    GL_CHECK(glPixelStorei(GL_UNPACK_ALIGNMENT, 4));
    GL_CHECK(glPixelStorei(GL_UNPACK_ROW_LENGTH, pitch));
    GL_CHECK(glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, width, height, GL_BGRA, GL_UNSIGNED_BYTE, pixels));
    GL_CHECK(glPixelStorei(GL_UNPACK_ROW_LENGTH, 0));
    GL_CHECK(glBindTexture(GL_TEXTURE_2D, device->boundTexture));
    return ResultCode::kOk;
}

// Texels never written are undefined and filtering may read any texel, so the texture
// counts as opaque only once every row is covered by texels written with full alpha.
// Each row keeps one span of such texels; a write with any other alpha forgets its rows'
// spans (knowing less is safe: the texture is then drawn blended).
void DeviceTexture::noteOpacity(int x, int y, int width, int height, const std::uint32_t* pixels, int pitch) {
    if (opaqueSpans.empty() && opaqueRows < h) opaqueSpans.assign(static_cast<std::size_t>(h), {0, 0});
    for (int row = 0; row < height; ++row) {
        const std::uint32_t* line = pixels + static_cast<std::ptrdiff_t>(row) * pitch;
        const bool full = std::all_of(line, line + width, [](std::uint32_t p) { return p >= 0xFF000000u; });
        if (opaqueSpans.empty()) {  // every row was complete
            if (full) continue;
            opaqueSpans.assign(static_cast<std::size_t>(h), {0, w});
        }
        auto& [begin, end] = opaqueSpans[static_cast<std::size_t>(y) + static_cast<std::size_t>(row)];
        const bool wasComplete = begin == 0 && end == w;
        if (!full) {
            begin = end = 0;
        } else if (x <= end && x + width >= begin) {
            begin = std::min(begin, x);
            end = std::max(end, x + width);
        } else if (width > end - begin) {
            begin = x, end = x + width;
        }
        const bool complete = begin == 0 && end == w;
        opaqueRows += (complete ? 1 : 0) - (wasComplete ? 1 : 0);
    }
    // Complete again: the spans are no longer needed.
    if (opaqueRows == h) opaqueSpans.clear();
}
