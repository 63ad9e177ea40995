#pragma once
// A vertex buffer of the drawing device, holding 24-byte vertices (x, y, z as floats, a
// 32-bit ARGB colour, u, v as floats), made by GraphicsDevice::createVertexBuffer. The
// owner deletes it; a buffer that outlives its device only forgets its handles.
#include <cstdint>

class GraphicsDevice;

class DeviceVertexBuffer {
public:
    static constexpr int kStride = 24;  // bytes per vertex

    ~DeviceVertexBuffer();
    DeviceVertexBuffer(const DeviceVertexBuffer&) = delete;
    DeviceVertexBuffer& operator=(const DeviceVertexBuffer&) = delete;

    int size() const { return bytes; }  // bytes

    // Replaces the contents with `count` bytes from `data` (at most size()); the old
    // contents are discarded, so a draw still in flight keeps its own copy.
    std::int32_t upload(const void* data, int count);

private:
    friend class GraphicsDevice;
    DeviceVertexBuffer(GraphicsDevice* device, unsigned vertexArray, unsigned buffer, int bytes);

    GraphicsDevice* device;  // null once the device is gone
    unsigned vertexArray;    // the OpenGL vertex array object with the attribute layout
    unsigned buffer;         // the OpenGL buffer object
    int bytes;
};
