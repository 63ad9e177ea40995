#pragma once
// A vertex buffer of the drawing device, holding 24-byte vertices (x, y, z as floats, a
// 32-bit ARGB colour, u, v as floats), made by GraphicsDevice::createVertexBuffer. The
// device reads the vertices when a draw is made (it gathers draws and places their
// vertices itself), so a buffer is plain memory. The owner deletes it; a buffer that
// outlives its device refuses uploads.
#include <cstdint>
#include <vector>

class GraphicsDevice;

class DeviceVertexBuffer {
public:
    static constexpr int kStride = 24;  // bytes per vertex
    // Where the device reads a vertex: x, y, z and u, v, all floats. The colour at byte
    // 12 is not read: the drawing code passes a draw's colour as the texture factor.
    static constexpr int kPositionOffset = 0;
    static constexpr int kTexCoordOffset = 16;

    ~DeviceVertexBuffer();
    DeviceVertexBuffer(const DeviceVertexBuffer&) = delete;
    DeviceVertexBuffer& operator=(const DeviceVertexBuffer&) = delete;

    int size() const { return static_cast<int>(contents.size()); }  // bytes

    // Replaces the first `count` bytes (at most size()) with those at `data`.
    std::int32_t upload(const void* data, int count);

private:
    friend class GraphicsDevice;
    DeviceVertexBuffer(GraphicsDevice* device, int bytes);

    GraphicsDevice* device;  // null once the device is gone
    std::vector<std::uint8_t> contents;
};
