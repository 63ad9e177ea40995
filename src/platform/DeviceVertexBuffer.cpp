#include "platform/DeviceVertexBuffer.h"

#include <algorithm>

#include "platform/GraphicsDevice.h"
#include "platform/ResultCode.h"

DeviceVertexBuffer::DeviceVertexBuffer(GraphicsDevice* device_, int bytes)
    : device(device_), contents(static_cast<std::size_t>(bytes)) {}

DeviceVertexBuffer::~DeviceVertexBuffer() {
    if (!device) return;
    if (device->stream == this) device->stream = nullptr;
    device->forget(this);
}

std::int32_t DeviceVertexBuffer::upload(const void* data, int count) {
    if (!device) return ResultCode::kDeviceLost;
    if (count < 0 || count > size() || (!data && count > 0)) return ResultCode::kInvalidCall;
    if (count > 0) std::copy_n(static_cast<const std::uint8_t*>(data), count, contents.begin());
    return ResultCode::kOk;
}
