#pragma once
// A vertex buffer of the drawing device, holding 24-byte vertices (x, y, z as floats, a
// 32-bit ARGB colour, u, v as floats), made by GraphicsDevice::createVertexBuffer. Small
// buffers are ranges of a few shared device buffers, so that drawing many small shapes
// does not switch buffers; large ones have their own. The owner deletes it; a buffer
// that outlives its device only forgets its handles.
#include <cstdint>
#include <vector>

class GraphicsDevice;

class DeviceVertexBuffer {
public:
    static constexpr int kStride = 24;  // bytes per vertex

    ~DeviceVertexBuffer();
    DeviceVertexBuffer(const DeviceVertexBuffer&) = delete;
    DeviceVertexBuffer& operator=(const DeviceVertexBuffer&) = delete;

    int size() const { return bytes; }  // bytes

    // Replaces the first `count` bytes (at most size()) with those at `data`.
    std::int32_t upload(const void* data, int count);

private:
    friend class GraphicsDevice;
    DeviceVertexBuffer(GraphicsDevice* device, unsigned vertexArray, unsigned buffer, int pool, int offset, int bytes);

    GraphicsDevice* device;  // null once the device is gone
    unsigned vertexArray;    // the OpenGL vertex array object with the attribute layout
    unsigned buffer;         // the OpenGL buffer object
    int pool;                // the shared buffer this is a range of; -1 for its own
    int offset;              // bytes from the start of `buffer`, a whole number of vertices
    int bytes;
    // What the buffer holds, kept so that the device can see where a draw's texels land.
    std::vector<std::uint8_t> contents;
};
