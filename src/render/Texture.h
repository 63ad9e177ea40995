#pragma once
// A texture: one image file (TGA, BMP or JPEG), or a blank area, as pixels on the
// drawing device, cut into skins (the quads that renderables draw with).
//
// Sizes. The device texture is at most 256 x hq2x texels a side (512 x hq2x with
// kLargeLimit) while the graphics setting bSimulate256x256TextureHW is on (the
// default), sizes rounded up to multiples of 256; without it the device's own largest
// texture is the limit. An image larger than the limit is halved (kHalve) until it
// fits, or split into tiles: blank textures of the limit's size whose skins become
// QuadGrid cells, each tile carrying a one-texel border of its neighbours' pixels so
// that filtered joins stay seamless.
//
// Skins come from the skin file beside the image (image name + ".ini"), or are one
// whole-image skin; in archive mode from the ".preload" record (image name +
// ".preload"), which archive building writes.
//
// Lifetime. Construction settles sizes and skins without a device copy. The pixels go to
// the device at construction, or at first use when the engine delays loading. Device
// loss (paused to frozen) and purge() after a frame without use release the device copy;
// the next use creates it again and reloads the pixels from the file, or from the kept
// copy (kKeepCopy). Pixels given to a blank texture only by copyImageData are not
// restored. Skins and tiles are owned and live as long as the texture. Main thread only.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/QorBase.h"
#include "render/Point.h"
#include "render/Rect.h"

class DeviceTexture;
class MemoryImageFile;
class Skin;
class SkinRecord;

// 4 x realWidth x realHeight for every texture whose device copy exists (main thread).
extern std::int32_t textureBytes;

class Texture : public QorBase {
public:
    // Load flags.
    static constexpr std::uint32_t kForceAlpha = 0x01;  // blend whatever the image says
    static constexpr std::uint32_t kHalve = 0x02;       // halve an oversized image instead of tiling it
    static constexpr std::uint32_t kLargeLimit = 0x04;  // the simulated limit is 512 x hq2x
    static constexpr std::uint32_t kKeepCopy = 0x08;    // keep the pixels in pSavedSourceData
    static constexpr std::uint32_t kNoDither = 0x10;    // never dither before upload

    // The texture of an image file. A missing image, skin record or skin key is fatal.
    Texture(std::uint32_t flags, std::u16string fileName);
    // A blank texture of width x height pixels with one skin covering it; larger than
    // the device limit is fatal. With kKeepCopy, a transparent copy to draw into.
    Texture(int width, int height, std::uint32_t flags);
    ~Texture() override;
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;
    // Device loss releases the device copy.
    void onQORmodeChange(int oldMode, int newMode) override;
    // Releases the device copy when it was not used in this frame or the last.
    void purge() override;

    // Sizes the texture (and with a device, creates its device copy).
    void createEmptyTexture(int w, int h, std::uint32_t flags, bool bNoDevice);
    // The largest side a blank texture made now with `flags` may have without being
    // fatal: the simulated limit while that setting is on, else the device's largest
    // texture (no bound without a device).
    static int largestSide(std::uint32_t flags);
    // `r` in texture coordinates: left, top, right, bottom.
    std::array<float, 4> getUV(const Rect& r) const;
    // Makes the device copy resident and selects it for drawing; counted once a frame.
    void use();
    // Copies `sourceRect` of `sourceData` (null: all of it) to `destPoint` (null: 0, 0)
    // of the device copy. A rectangle that does not fit is fatal.
    void copyImageData(const MemoryImageFile* sourceData, const Rect* sourceRect, const Point* destPoint);
    // The kept copy of the pixels, resident; fatal without kKeepCopy.
    MemoryImageFile* getSavedSourceData();
    // Creates the device copy and loads the pixels when it is missing (for a tile: of
    // the whole image). Nothing without a drawing device.
    void ensureLoaded();

    int width = 0, height = 0;                    // logical size in virtual pixels
    int requestedWidth = 0, requestedHeight = 0;  // the image's size or the blank size asked for
    std::vector<Skin*> skins;                     // owned: Quads, or QuadGrids for a tiled image
    std::uint8_t bHasAlpha = 1;                   // 0: drawn with blending off
    QorBase* pTiles = nullptr;                    // last child; the tiles are its children, row by row
    std::u16string name;                          // "<file>@(x,y)" for a tile, else empty
    int lastUsedFrame = 0;                        // engine frame of the last use()
    int realWidth = 0, realHeight = 0;            // texels of the device texture
    int scaleFactor = 1;                          // 2 per halving
    MemoryImageFile* pSavedSourceData = nullptr;  // owned; kKeepCopy only
    std::u16string fileName;                      // the image file; empty for a blank texture
    std::uint32_t flags = 0;
    std::uint8_t bDiskOnlyAtLoad = 0;    // the file manager's bDiskOnly at construction
    std::uint8_t bSimulatedLimit = 1;    // bSimulate256x256TextureHW at construction
    DeviceTexture* dxTexture = nullptr;  // owned; null while not created or released

private:
    void addTileContainer();
    SkinRecord loadSkinRecord();
    SkinRecord readSkinFile();
    void writePreload(const SkinRecord& record);
    void createSkins(const SkinRecord& record);
    void createTiles(const SkinRecord& record, int w, int h);
    Skin* makeGrid(const Skin* skin, int w, int h);
    void createDeviceTextures();
    void loadImageData();
    MemoryImageFile* readImage();
    void copyTiles(const MemoryImageFile& image);
    void copyTile(Texture& tile, const MemoryImageFile& image, int x, int y);
    void releaseDeviceTexture();
    int limitFor(int size, std::uint32_t flags) const;
    int stepX() const;
    int stepY() const;
    Texture* tile(int k) const;
};
