#pragma once
// A texture: pixels on the drawing device that quads draw from.
//
// For now a blank texture whose pixels are given from memory (setPixels) and kept there,
// so that the device copy, dropped when the device is lost, comes back on first use.
// Image files, skins and the size limits of the device arrive with texture loading and
// replace this class's insides; the drawing classes use only use(), getUV(), the sizes
// and bHasAlpha.
#include <array>
#include <cstdint>
#include <vector>

#include "engine/QorBase.h"
#include "render/Rect.h"

class DeviceTexture;

class Texture : public QorBase {
public:
    // A blank texture of width x height texels (transparent black).
    Texture(int width, int height, int flags);
    ~Texture() override;
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;
    // The device copy goes when the device is lost and comes back on first use.
    void onQORmodeChange(int oldMode, int newMode) override;

    // Makes the device copy resident and selects it for drawing; counts it once a frame.
    void use();
    // The rectangle in texture coordinates (left, top, right, bottom), 0..1.
    std::array<float, 4> getUV(const Rect& r) const;
    // Replaces all texels with ARGB pixels, rows from the top (realWidth x realHeight).
    void setPixels(const std::vector<std::uint32_t>& argb);

    int width = 0, height = 0;   // logical size in virtual pixels
    std::uint8_t bHasAlpha = 1;  // 0: drawn with blending off
    int lastUsedFrame = 0;
    int realWidth = 0, realHeight = 0;  // texels
    int flags = 0;
    DeviceTexture* dxTexture = nullptr;  // owned; null while released

private:
    void ensureLoaded();
    std::vector<std::uint32_t> pixels;  // what the device copy is rebuilt from
};
