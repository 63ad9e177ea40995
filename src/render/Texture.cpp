#include "render/Texture.h"

#include <algorithm>
#include <limits>

#include "engine/ClassInfo.h"
#include "engine/DiskFile.h"
#include "engine/ErrorManager.h"
#include "engine/FileManager.h"
#include "engine/Logger.h"
#include "engine/MemoryFile.h"
#include "engine/MemoryIniFile.h"
#include "engine/Qor.h"
#include "platform/DeviceTexture.h"
#include "platform/GraphicsDevice.h"
#include "platform/ResultCode.h"
#include "render/MemoryImageFile.h"
#include "render/QorGraphics.h"
#include "render/Quad.h"
#include "render/QuadGrid.h"
#include "render/SkinRecord.h"

QOR_DEFINE_CLASS(Texture, QorBase, nullptr)

std::int32_t textureBytes = 0;

namespace {
int hq2x() { return qor->hq2x > 0 ? qor->hq2x : 1; }

// The simulated hardware is the default, also without a graphics service.
bool usesSimulatedLimit() { return !qor->pQorGraphics || qor->graphics().bSimulate256x256TextureHW; }

GraphicsDevice* device() { return qor->pQorGraphics ? qor->graphics().dxDevice : nullptr; }

// The side of a texture on the simulated 256-pixel hardware.
int simulatedLimit(std::uint32_t flags) { return ((flags & Texture::kLargeLimit) ? 512 : 256) * hq2x(); }

// A value clamped into the 32-bit range, for sums of values read from skin files.
std::int32_t clamp32(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}
}  // namespace

Texture::Texture(std::uint32_t flags_, std::u16string fileName_) : fileName(std::move(fileName_)), flags(flags_) {
    bDiskOnlyAtLoad = qor->files().bDiskOnly;
    bSimulatedLimit = usesSimulatedLimit();
    addTileContainer();
    const SkinRecord record = loadSkinRecord();
    int w = record.imageWidth, h = record.imageHeight;
    bHasAlpha = (flags & kForceAlpha) ? 1 : record.alpha;
    createEmptyTexture(w, h, flags, true);
    if (realWidth >= w && realHeight >= h) {
        createSkins(record);
    } else if (flags & kHalve) {
        while (realWidth < w || realHeight < h) w /= 2, h /= 2, scaleFactor *= 2;
        // The skins keep the image's pixel coordinates; the logical size grows instead,
        // so their texture coordinates land on the halved pixels.
        width *= scaleFactor;
        height *= scaleFactor;
        createSkins(record);
    } else {
        createTiles(record, w, h);
    }
    if (flags & kKeepCopy) pSavedSourceData = new MemoryImageFile(MemoryImageFile::kMayDelay, fileName);
    if (!qor->bEnableDelayedLoad)
        ensureLoaded();
    else
        qor->files().verifyFile(fileName);  // a missing file is reported at start-up
}

Texture::Texture(int w, int h, std::uint32_t flags_) : flags(flags_) {
    if (qor->pFileManager) bDiskOnlyAtLoad = qor->files().bDiskOnly;
    bSimulatedLimit = usesSimulatedLimit();
    addTileContainer();
    createEmptyTexture(w, h, flags, true);
    QOR_ASSERT("Texture::Texture", realWidth >= requestedWidth);
    QOR_ASSERT("Texture::Texture", realHeight >= requestedHeight);
    if (flags & kKeepCopy) {
        pSavedSourceData = new MemoryImageFile(realWidth, realHeight);
        pSavedSourceData->clear(nullptr, false);
    }
    auto* quad = new Quad();
    quad->pTexture = this;
    quad->setSourceRect(0, 0, requestedHeight, requestedWidth);
    skins.push_back(quad);
}

Texture::~Texture() {
    delete pSavedSourceData;
    for (Skin* skin : skins) skin->destroy();
    releaseDeviceTexture();
    // The tile container, a child, goes with the engine object's own destruction.
}

ClassInfo* Texture::getClass() const { return &classInfo; }

void Texture::addTileContainer() {
    pTiles = new QorBase();
    addChild(pTiles);
}

void Texture::onQORmodeChange(int oldMode, int newMode) {
    if (oldMode == Qor::MODE_PAUSED && newMode == Qor::MODE_FROZEN) releaseDeviceTexture();
}

void Texture::purge() {
    if (lastUsedFrame < qor->frameCounter - 1) releaseDeviceTexture();
}

void Texture::releaseDeviceTexture() {
    if (!dxTexture) return;
    textureBytes -= realWidth * realHeight * 4;
    delete dxTexture;
    dxTexture = nullptr;
}

// The device limit of one side: with the simulated hardware multiples of 256 up to 256
// or 512 x hq2x; otherwise the device's own largest texture. The choice is made once, at
// construction, so that a device copy made later has the size the skins were laid out
// for.
int Texture::limitFor(int size, std::uint32_t flags_) const {
    const QorGraphics* g = qor->pQorGraphics;
    if (bSimulatedLimit) {
        const int rounded = ((size - 1) / 256 + 1) * 256;
        return std::min(rounded, simulatedLimit(flags_));
    }
    return g->dxDevice ? std::min(size, g->dxDevice->maxTextureSize()) : size;
}

int Texture::largestSide(std::uint32_t flags_) {
    if (usesSimulatedLimit()) return simulatedLimit(flags_);
    const GraphicsDevice* d = device();
    return d ? d->maxTextureSize() : std::numeric_limits<int>::max();
}

void Texture::createEmptyTexture(int w, int h, std::uint32_t flags_, bool bNoDevice) {
    width = realWidth = requestedWidth = w;
    height = realHeight = requestedHeight = h;
    realWidth = limitFor(w, flags_);
    realHeight = limitFor(h, flags_);
    if (!bNoDevice && device()) {
        dxTexture = device()->createTexture(realWidth, realHeight);
        if (!dxTexture) {
            QOR_LOG("Texture::createEmptyTexture", u"%dx%d: %hs", realWidth, realHeight, device()->lastError());
            callFailedAt("Texture::createEmptyTexture", __FILE__, __LINE__, ResultCode::kOutOfVideoMemory,
                         "qor->graphics().dxDevice->createTexture(realWidth, realHeight)");
        }
        realWidth = dxTexture->width();
        realHeight = dxTexture->height();
        textureBytes += realWidth * realHeight * 4;
    }
    scaleFactor = 1;
    width = realWidth / hq2x();
    height = realHeight / hq2x();
}

std::array<float, 4> Texture::getUV(const Rect& r) const {
    const float w = static_cast<float>(width * hq2x());
    const float h = static_cast<float>(height * hq2x());
    return {static_cast<float>(r.left) / w, static_cast<float>(r.top) / h, static_cast<float>(r.right) / w,
            static_cast<float>(r.bottom) / h};
}

void Texture::use() {
    ensureLoaded();
    if (GraphicsDevice* d = device()) d->setTexture(dxTexture);
    if (lastUsedFrame < qor->frameCounter) {
        ++qor->counters.texturesUsed;
        qor->counters.texelsUsed += realWidth * realHeight;
        lastUsedFrame = qor->frameCounter;
    }
}

MemoryImageFile* Texture::getSavedSourceData() {
    QOR_ASSERT("Texture::getSavedSourceData",
               pSavedSourceData != NULL);  // NOLINT(modernize-use-nullptr): the report shows this text
    pSavedSourceData->unpurge();
    return pSavedSourceData;
}

// ---- skins ----------------------------------------------------------------------------

SkinRecord Texture::loadSkinRecord() {
    FileManager& files = qor->files();
    if (files.bUseWad && !files.bDiskOnly) {
        const std::u16string preload = fileName + u".preload";
        MemoryFile file(0, preload);
        SkinRecord record;
        std::u16string why;
        if (!SkinRecord::parse(file.block.pData, file.block.size, record, why))
            QOR_FATAL("Texture::loadSkinRecord", u"The skin record '%s' is damaged: %s.", preload, why);
        return record;
    }
    SkinRecord record = readSkinFile();
    if (files.bCreateWad && !files.bDiskOnly) writePreload(record);
    return record;
}

// From disk: the image's size and alpha from its header, the skins from the skin file
// beside it, or one whole-image skin when there is none.
SkinRecord Texture::readSkinFile() {
    FileManager& files = qor->files();
    const MemoryImageFile image(MemoryImageFile::kSizeOnly, fileName);
    const std::u16string iniName = fileName + u".ini";
    if (!files.exists(iniName)) return SkinRecord::wholeImage(image.width, image.height, image.bHasAlpha);
    const std::uint8_t diskOnly = files.bDiskOnly;
    files.bDiskOnly = 1;
    MemoryIniFile ini(iniName);
    files.bDiskOnly = diskOnly;
    return SkinRecord::fromIni(ini, image.width, image.height, image.bHasAlpha);
}

// Archive building: the record goes beside the image and, opened once, into the archive.
void Texture::writePreload(const SkinRecord& record) {
    const std::u16string preload = fileName + u".preload";
    const std::vector<std::uint8_t> bytes = record.encode();
    if (!DiskFile::saveAtomically(preload, bytes.data(), bytes.size())) return;
    MemoryFile recorded(0, preload);
}

void Texture::createSkins(const SkinRecord& record) {
    const float pixel = 1.0f / static_cast<float>(hq2x());
    for (const SkinRecord::Entry& e : record.skins) {
        auto* quad = new Quad();
        quad->pTexture = this;
        quad->refresh();
        // An odd size has its centre on a pixel's middle: move by half a pixel so that the
        // drawn pixels stay on whole screen pixels.
        if (e.width % 2) quad->origin.x -= 0.5f * pixel;
        if (e.height % 2) quad->origin.y += 0.5f * pixel;
        quad->origin.x -= static_cast<float>(e.originAdjustX) * pixel;
        quad->origin.y += static_cast<float>(e.originAdjustY) * pixel;
        quad->setSourceRect(e.left, e.top, clamp32(std::int64_t{e.top} + e.height),
                            clamp32(std::int64_t{e.left} + e.width));
        skins.push_back(quad);
    }
}

// A step of one tile: the tile's size, less a border texel on each side when the image
// is split along that axis.
int Texture::stepX() const { return realWidth - (requestedWidth > realWidth ? 2 * hq2x() : 0); }
int Texture::stepY() const { return realHeight - (requestedHeight > realHeight ? 2 * hq2x() : 0); }

Texture* Texture::tile(int k) const {
    BasicLink* node = pTiles->firstChild;
    for (int i = 0; node && i < k; ++i) node = node->next;
    return static_cast<Texture*>(node);
}

void Texture::createTiles(const SkinRecord& record, int w, int h) {
    createSkins(record);
    for (int y = 0; y < h; y += stepY())
        for (int x = 0; x < w; x += stepX()) {
            // Tiles take the same limit as this texture, or they could not hold a tile.
            auto* t = new Texture(realWidth, realHeight, flags & kLargeLimit);
            pTiles->addChild(t);
            t->name = formatString(u"%s@(%d,%d)", fileName, x, y);
            t->bHasAlpha = bHasAlpha;
        }
    std::vector<Skin*> grids;
    for (Skin* skin : skins) {
        grids.push_back(makeGrid(skin, w, h));
        skin->destroy();
    }
    skins = std::move(grids);
}

// The grid of tile quads that covers skin S (a rectangle in image pixels). A skin
// reaching outside the image covers only the part inside it.
Skin* Texture::makeGrid(const Skin* skin, int w, int h) {
    const auto* quad = static_cast<const Quad*>(skin);
    const Rect s{std::clamp(quad->sourceRect.left, 0, w), std::clamp(quad->sourceRect.top, 0, h),
                 std::clamp(quad->sourceRect.bottom, 0, h), std::clamp(quad->sourceRect.right, 0, w)};
    auto* grid = new QuadGrid();
    grid->origin = quad->origin;
    if (s.width() <= 0 || s.height() <= 0) {
        grid->layout();
        return grid;
    }
    const int sx = stepX(), sy = stepY();
    const int col0 = s.left / sx, row0 = s.top / sy;
    const int cols = (s.right - 1) / sx - col0 + 1, rows = (s.bottom - 1) / sy - row0 + 1;
    const int tilesPerRow = (w - 1) / sx + 1;
    const int borderX = w > realWidth ? 1 : 0, borderY = h > realHeight ? 1 : 0;
    grid->setSize(cols, rows);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            Texture* t = tile((row0 + r) * tilesPerRow + col0 + c);
            const int tx = (col0 + c) * sx, ty = (row0 + r) * sy;
            auto* cell = new Quad();
            cell->pTexture = t;
            cell->setSourceRect(std::clamp(s.left - tx, 0, sx) + borderX, std::clamp(s.top - ty, 0, sy) + borderY,
                                std::clamp(s.bottom - ty, 0, sy) + borderY, std::clamp(s.right - tx, 0, sx) + borderX);
            t->skins.push_back(cell);
            grid->cells[c + cols * r] = cell;
        }
    grid->layout();
    return grid;
}

// ---- device copy ----------------------------------------------------------------------

void Texture::ensureLoaded() {
    if (dxTexture || !device()) return;
    // A tile has no image of its own: the texture that owns it loads all its tiles.
    Texture* owner = this;
    while (QorBase* container = owner->parentObject()) {
        auto* up = dynamic_cast<Texture*>(container->parentObject());
        if (!up || up->pTiles != container) break;
        owner = up;
        if (owner->dxTexture) return;
    }
    owner->createDeviceTextures();
    owner->loadImageData();
}

void Texture::createDeviceTextures() {
    if (dxTexture) return;
    if (!pTiles->firstChild) createEmptyTexture(requestedWidth, requestedHeight, flags, false);
    for (BasicLink* node = pTiles->firstChild; node; node = node->next)
        static_cast<Texture*>(node)->createDeviceTextures();
}

void Texture::loadImageData() {
    if (fileName.empty() && !pSavedSourceData) return;
    MemoryImageFile* image = fileName.empty() ? getSavedSourceData() : readImage();
    if (realWidth >= image->width && realHeight >= image->height) {
        copyImageData(image, nullptr, nullptr);
    } else if (flags & kHalve) {
        while (realWidth < image->width || realHeight < image->height) {
            image->halveSize();
            scaleFactor *= 2;
        }
        width *= scaleFactor;
        height *= scaleFactor;
        copyImageData(image, nullptr, nullptr);
    } else {
        copyTiles(*image);
    }
    if (image != pSavedSourceData) delete image;
}

// The image file, read with the file manager's disk mode as it was at construction, and
// dithered for a 16-bit display when asked.
MemoryImageFile* Texture::readImage() {
    FileManager& files = qor->files();
    const std::uint8_t diskOnly = files.bDiskOnly;
    files.bDiskOnly = bDiskOnlyAtLoad;
    auto* image = new MemoryImageFile(0, fileName);
    files.bDiskOnly = diskOnly;
    // The skins and tiles were laid out for the size the skin record gave.
    if (image->width != requestedWidth || image->height != requestedHeight)
        QOR_FATAL("Texture::loadImageData", u"The image '%s' is %dx%d, but its skin record says %dx%d.", fileName,
                  image->width, image->height, requestedWidth, requestedHeight);
    if (qor->graphics().bitsPerPixel < 17 && !(flags & kNoDither)) {
        if (qor->ditherDepth == 15) image->ditherDiffusion15bpp();
        if (qor->ditherDepth == 12) image->ditherDiffusion12bpp();
    }
    return image;
}

void Texture::copyTiles(const MemoryImageFile& image) {
    int k = 0;
    for (int y = 0; y < image.height; y += stepY())
        for (int x = 0; x < image.width; x += stepX())
            if (Texture* t = tile(k++)) copyTile(*t, image, x, y);
}

// One tile: its part of the image with a one-texel border of the neighbours' pixels, or
// of the image's own edge repeated where the tile meets the image's border.
void Texture::copyTile(Texture& t, const MemoryImageFile& image, int x, int y) {
    const int bx = requestedWidth > realWidth ? 1 : 0, by = requestedHeight > realHeight ? 1 : 0;
    const Rect wanted{x - bx, y - by, std::min(y + stepY(), image.height) + by,
                      std::min(x + stepX(), image.width) + bx};
    const Rect r{std::max(wanted.left, 0), std::max(wanted.top, 0), std::min(wanted.bottom, image.height),
                 std::min(wanted.right, image.width)};
    const Point at{r.left != wanted.left ? 1 : 0, r.top != wanted.top ? 1 : 0};
    t.copyImageData(&image, &r, &at);
    if (r.left != wanted.left) {
        const Rect column{r.left, r.top, r.bottom, r.left + 1};
        const Point to{at.x - 1, at.y};
        t.copyImageData(&image, &column, &to);
    }
    if (r.top != wanted.top) {
        const Rect row{r.left, r.top, r.top + 1, r.right};
        const Point to{at.x, at.y - 1};
        t.copyImageData(&image, &row, &to);
    }
    if (r.right != wanted.right) {
        const Rect column{r.right - 1, r.top, r.bottom, r.right};
        const Point to{at.x + r.width(), at.y};
        t.copyImageData(&image, &column, &to);
    }
    if (r.bottom != wanted.bottom) {
        const Rect row{r.left, r.bottom - 1, r.bottom, r.right};
        const Point to{at.x, at.y + r.height()};
        t.copyImageData(&image, &row, &to);
    }
}

void Texture::copyImageData(const MemoryImageFile* sourceData, const Rect* sourceRect_, const Point* destPoint_) {
    ensureLoaded();
    if (sourceRect_) QOR_ASSERT("Texture::copyImageData", scaleFactor == 1);
    const Rect whole{0, 0, sourceData->height, sourceData->width};
    const Point origin;
    const Rect* sourceRect = sourceRect_ ? sourceRect_ : &whole;
    const Point* destPoint = destPoint_ ? destPoint_ : &origin;
    if (sourceRect->width() <= 0 || sourceRect->height() <= 0) return;
    QOR_ASSERT("Texture::copyImageData",
               destPoint->x + sourceRect->width() <= realWidth && destPoint->y + sourceRect->height() <= realHeight);
    // The device checks the destination; the source is read here.
    QOR_ASSERT("Texture::copyImageData",
               sourceRect->left >= 0 && sourceRect->top >= 0 && sourceRect->right <= sourceData->width &&
                   sourceRect->bottom <= sourceData->height && sourceData->pImageData != nullptr);
    if (!dxTexture) return;
    const UColor* first =
        sourceData->pImageData.get() + static_cast<std::size_t>(sourceRect->top) * sourceData->width + sourceRect->left;
    QOR_CHECK("Texture::copyImageData", dxTexture->update(destPoint->x, destPoint->y, sourceRect->width(),
                                                          sourceRect->height(), first, sourceData->width));
}
