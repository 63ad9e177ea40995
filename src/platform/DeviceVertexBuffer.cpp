#include "platform/DeviceVertexBuffer.h"

#include <epoxy/gl.h>

#include <algorithm>

#include "platform/GraphicsDevice.h"
#include "platform/ResultCode.h"

DeviceVertexBuffer::DeviceVertexBuffer(GraphicsDevice* device_, unsigned vertexArray_, unsigned buffer_, int pool_,
                                       int offset_, int bytes_)
    : device(device_),
      vertexArray(vertexArray_),
      buffer(buffer_),
      pool(pool_),
      offset(offset_),
      bytes(bytes_),
      contents(static_cast<std::size_t>(bytes_)) {}

DeviceVertexBuffer::~DeviceVertexBuffer() {
    if (!device) return;
    if (device->stream == this) device->stream = nullptr;
    device->forget(this);
    if (pool >= 0) {
        device->releaseRange(pool, offset, bytes);
        return;
    }
    if (device->boundVertexArray == vertexArray) {
        device->boundVertexArray = 0;
        glBindVertexArray(0);
    }
    glDeleteVertexArrays(1, &vertexArray);
    glDeleteBuffers(1, &buffer);
}

std::int32_t DeviceVertexBuffer::upload(const void* data, int count) {
    if (!device) return ResultCode::kDeviceLost;
    if (count < 0 || count > bytes || (!data && count > 0)) return ResultCode::kInvalidCall;
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    // A buffer of its own is replaced whole, so that a draw still reading the old
    // contents need not be waited for; a shared one can only be written in place.
    if (pool < 0) glBufferData(GL_ARRAY_BUFFER, bytes, nullptr, GL_DYNAMIC_DRAW);
    glBufferSubData(GL_ARRAY_BUFFER, offset, count, data);
    if (count > 0) std::copy_n(static_cast<const std::uint8_t*>(data), count, contents.begin());
    return ResultCode::kOk;
}
