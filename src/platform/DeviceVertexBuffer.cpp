#include "platform/DeviceVertexBuffer.h"

#include <epoxy/gl.h>

#include "platform/GraphicsDevice.h"
#include "platform/ResultCode.h"

DeviceVertexBuffer::DeviceVertexBuffer(GraphicsDevice* device_, unsigned vertexArray_, unsigned buffer_, int bytes_)
    : device(device_), vertexArray(vertexArray_), buffer(buffer_), bytes(bytes_) {}

DeviceVertexBuffer::~DeviceVertexBuffer() {
    if (!device) return;
    if (device->stream == this) device->stream = nullptr;
    if (device->boundVertexArray == vertexArray) {
        device->boundVertexArray = 0;
        glBindVertexArray(0);
    }
    glDeleteVertexArrays(1, &vertexArray);
    glDeleteBuffers(1, &buffer);
    device->forget(this);
}

std::int32_t DeviceVertexBuffer::upload(const void* data, int count) {
    if (!device) return ResultCode::kDeviceLost;
    if (count < 0 || count > bytes || (!data && count > 0)) return ResultCode::kInvalidCall;
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    // Orphan the old storage so that a draw still reading it need not be waited for.
    glBufferData(GL_ARRAY_BUFFER, bytes, nullptr, GL_DYNAMIC_DRAW);
    glBufferSubData(GL_ARRAY_BUFFER, 0, count, data);
    return ResultCode::kOk;
}
