#include "platform/DeviceCaps.h"

#include <epoxy/gl.h>

#include <cfloat>
#include <cstdio>
#include <cstring>

#include "platform/DeviceVertexBuffer.h"
#include "platform/GlCheck.h"
#include "platform/GraphicsDevice.h"

namespace {
// The bit of the flag at `index` in its group's list.
constexpr std::uint32_t bit(int index) { return 1u << index; }

std::string glText(GLenum name) {
    const auto* text = reinterpret_cast<const char*>(GL_CHECK(glGetString(name)));
    return text ? text : "";
}

GLint glInt(GLenum name) {
    GLint value = 0;
    GL_CHECK(glGetIntegerv(name, &value));
    return value;
}

// A rasteriser that runs on the processor draws everything in software.
bool isSoftware(const std::string& renderer) {
    for (const char* name : {"llvmpipe", "softpipe", "swrast", "Software"})
        if (renderer.find(name) != std::string::npos) return true;
    return false;
}

// "4.5 (Core Profile) Mesa 22.3.6": the OpenGL version, then the first two numbers after
// it that belong to the driver.
void parseVersion(const std::string& text, std::uint16_t parts[4]) {
    unsigned a = 0, b = 0, c = 0, d = 0;
    std::sscanf(text.c_str(), "%u.%u", &a, &b);
    const std::size_t space = text.find_first_of(' ');
    if (space != std::string::npos) {
        const std::size_t digit = text.find_first_of("0123456789", text.find_first_not_of("0123456789.", space));
        if (digit != std::string::npos) std::sscanf(text.c_str() + digit, "%u.%u", &c, &d);
    }
    const unsigned values[4] = {a, b, c, d};
    for (int i = 0; i < 4; ++i) parts[i] = static_cast<std::uint16_t>(values[i]);
}

// The drawing classes' fixed pipeline: one texture stage that modulates or selects,
// source-alpha blending, the "greater than" alpha test, wrap addressing with point or
// linear filtering, no depth or stencil buffer, shaders doing the vertex work.
void fillPipeline(DeviceCaps& c, bool software) {
    c.PresentationIntervals = bit(0) | bit(1);                 // IMMEDIATE, ONE
    c.Caps2 = bit(1);                                          // FULLSCREENGAMMA
    c.CursorCaps = bit(0);                                     // COLOR
    c.DevCaps = bit(1) | bit(2) | bit(4) | bit(15) | bit(17);  // render after flip, TL vertices...
    if (!software) c.DevCaps |= bit(5) | bit(6);               // HWRASTERIZATION, HWTRANSFORMANDLIGHT
    c.PrimitiveMiscCaps = bit(0) | bit(2) | bit(3) | bit(4) | bit(5) | bit(6) | bit(7);
    c.RasterCaps = bit(1) | bit(6);                           // COLORPERSPECTIVE, MIPMAPLODBIAS
    c.SrcBlendCaps = bit(9);                                  // SRCALPHA
    c.DestBlendCaps = bit(6);                                 // INVSRCALPHA
    c.AlphaCmpCaps = bit(2);                                  // GREATER
    c.ShadeCaps = bit(1);                                     // COLORGOURAUDRGB
    c.TextureCaps = bit(0) | bit(8);                          // ALPHA, PERSPECTIVE
    c.TextureFilterCaps = bit(1) | bit(2) | bit(4) | bit(5);  // MAG/MIN LINEAR, POINT
    c.TextureAddressCaps = bit(5);                            // WRAP
    c.LineCaps = bit(0) | bit(1) | bit(3);                    // ALPHACMP, BLEND, TEXTURE
    c.TextureOpCaps = bit(14) | bit(23) | bit(24);            // MODULATE, SELECTARG1, SELECTARG2
    c.FVFTexCoordCount = 1;
    c.MaxStreamStride = DeviceVertexBuffer::kStride;
}
}  // namespace

DeviceCaps DeviceCaps::read(const GraphicsDevice& device) {
    DeviceCaps c;
    c.vendor = glText(GL_VENDOR);
    c.renderer = device.rendererName() ? device.rendererName() : "";
    c.version = device.versionName() ? device.versionName() : "";
    parseVersion(c.version, c.versionParts);
    const bool software = isSoftware(c.renderer);
    c.DeviceType = software ? kSoftware : kHardware;
    fillPipeline(c, software);
    c.MaxTextureWidth = c.MaxTextureHeight = static_cast<std::uint32_t>(device.maxTextureSize());
    c.MaxTextureRepeat = c.MaxTextureWidth;
    c.MaxPrimitiveCount = static_cast<std::uint32_t>(glInt(GL_MAX_ELEMENTS_VERTICES) / 3);
    c.MaxVertexIndex = static_cast<std::uint32_t>(glInt(GL_MAX_ELEMENTS_INDICES));
    c.MaxVertexShaderConst = static_cast<std::uint32_t>(glInt(GL_MAX_VERTEX_UNIFORM_COMPONENTS) / 4);
    GLfloat pointSizes[2] = {1.0f, 1.0f};
    GL_CHECK(glGetFloatv(GL_POINT_SIZE_RANGE, pointSizes));
    c.MaxPointSize = pointSizes[1];
    // Shader versions as major.minor in two hexadecimal digits each: 3.30 is 0x0303.
    c.VertexShaderVersion = c.PixelShaderVersion = 0x0303;
    c.PixelShader1xMaxValue = FLT_MAX;
    return c;
}
