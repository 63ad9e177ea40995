#include "platform/DeviceTexture.h"

#include <epoxy/gl.h>

#include "platform/GraphicsDevice.h"
#include "platform/ResultCode.h"

DeviceTexture::DeviceTexture(GraphicsDevice* device_, unsigned name_, int width, int height)
    : device(device_), name(name_), w(width), h(height) {}

DeviceTexture::~DeviceTexture() {
    if (!device) return;
    if (device->boundTexture == name) device->setTexture(nullptr);
    glDeleteTextures(1, &name);
    device->forget(this);
}

std::int32_t DeviceTexture::update(int x, int y, int width, int height, const std::uint32_t* pixels, int pitch) {
    if (!device) return ResultCode::kDeviceLost;
    if (x < 0 || y < 0 || width <= 0 || height <= 0 || x + width > w || y + height > h || pitch < width || !pixels)
        return ResultCode::kInvalidCall;
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, pitch);
    glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, width, height, GL_BGRA, GL_UNSIGNED_BYTE, pixels);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glBindTexture(GL_TEXTURE_2D, device->boundTexture);
    return ResultCode::kOk;
}
