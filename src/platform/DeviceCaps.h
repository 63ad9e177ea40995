#pragma once
// What the drawing device really offers, in the shape of the engine's start-up
// capability report: one bit mask per flag group, bit i set when the i-th flag of that
// group (in the order the report lists them) is supported, and the plain numbers.
// Read from the device's OpenGL context on the thread that owns it.
#include <cstdint>
#include <string>

class GraphicsDevice;

struct DeviceCaps {
    // The kinds of device the report knows.
    enum Type : std::uint32_t { kHardware = 1, kReference = 2, kSoftware = 3 };

    std::uint32_t DeviceType = kHardware;
    std::uint32_t AdapterOrdinal = 0;
    std::uint32_t Caps = 0, Caps2 = 0, PresentationIntervals = 0, CursorCaps = 0, DevCaps = 0;
    std::uint32_t PrimitiveMiscCaps = 0, RasterCaps = 0, ZCmpCaps = 0, SrcBlendCaps = 0, DestBlendCaps = 0;
    std::uint32_t AlphaCmpCaps = 0, ShadeCaps = 0, TextureCaps = 0, TextureFilterCaps = 0;
    std::uint32_t CubeTextureFilterCaps = 0, VolumeTextureFilterCaps = 0, TextureAddressCaps = 0;
    std::uint32_t VolumeTextureAddressCaps = 0, LineCaps = 0;
    std::uint32_t MaxTextureWidth = 0, MaxTextureHeight = 0, MaxVolumeExtent = 0, MaxTextureRepeat = 0;
    std::uint32_t MaxTextureAspectRatio = 0, MaxAnisotropy = 1;
    float MaxVertexW = 0.0f, GuardBandLeft = 0.0f, GuardBandTop = 0.0f, GuardBandRight = 0.0f;
    float GuardBandBottom = 0.0f, ExtentsAdjust = 0.0f;
    std::uint32_t StencilCaps = 0, FVFCaps = 0, FVFTexCoordCount = 0, TextureOpCaps = 0;
    std::uint32_t MaxTextureBlendStages = 1, MaxSimultaneousTextures = 1, VertexProcessingCaps = 0;
    std::uint32_t MaxActiveLights = 0, MaxUserClipPlanes = 0, MaxVertexBlendMatrices = 0;
    std::uint32_t MaxVertexBlendMatrixIndex = 0;
    float MaxPointSize = 1.0f;
    std::uint32_t MaxPrimitiveCount = 0, MaxVertexIndex = 0, MaxStreams = 1, MaxStreamStride = 0;
    std::uint32_t VertexShaderVersion = 0, MaxVertexShaderConst = 0, PixelShaderVersion = 0;
    float PixelShader1xMaxValue = 0.0f;

    // The adapter: the OpenGL vendor, renderer and version texts, the numbers in the
    // version (OpenGL major and minor, then the driver's own first two numbers).
    std::string vendor, renderer, version;
    std::uint16_t versionParts[4] = {0, 0, 0, 0};

    // Fills everything from `device`'s context.
    static DeviceCaps read(const GraphicsDevice& device);
};
