#pragma once
// The skins of one image file: rectangles in image pixels, with their origin moves.
// Built from the skin file beside the image (image name + ".ini", one section "Skin %d"
// per skin), or as one whole-image skin, and kept in archives as the ".preload" record
// (image name + ".preload"), all values 32-bit little-endian:
//
//   0  version 1          4 image width        8 image height
//   12 alpha (low byte; the other three bytes 0 when written, ignored when read)
//   16 n, the number of skins
//   20 + 24 i  skin i: left, top, width, height, origin_adjust_x, origin_adjust_y (s32)
//
// exactly 20 + 24 n bytes. A ".preload" file is outside data: parse() checks it whole.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class MemoryIniFile;

class SkinRecord {
public:
    static constexpr std::int32_t kVersion = 1;
    static constexpr std::size_t kHeaderBytes = 20;
    static constexpr std::size_t kSkinBytes = 24;

    struct Entry {
        std::int32_t left = 0;           // image pixels from the left edge
        std::int32_t top = 0;            // image pixels from the top edge
        std::int32_t width = 0;          // image pixels
        std::int32_t height = 0;         // image pixels
        std::int32_t originAdjustX = 0;  // the drawn skin moves right by this many image pixels
        std::int32_t originAdjustY = 0;  // the drawn skin moves down by this many image pixels
    };

    // One skin covering the image.
    static SkinRecord wholeImage(std::int32_t width, std::int32_t height, std::uint8_t alpha);
    // One skin per section of `ini`, read from the sections "Skin 0" .. "Skin n-1" (n =
    // the number of sections); a missing left, top, width or height is the INI reader's
    // fatal error, a missing origin_adjust_x or _y is 0.
    static SkinRecord fromIni(MemoryIniFile& ini, std::int32_t width, std::int32_t height, std::uint8_t alpha);
    // Reads a ".preload" record. False, with the reason in `why`, when the record is not
    // version 1, its skin count does not match its size, its image size is out of range
    // or a skin lies outside the image.
    static bool parse(const std::uint8_t* data, std::size_t size, SkinRecord& out, std::u16string& why);
    // The ".preload" bytes.
    std::vector<std::uint8_t> encode() const;

    std::int32_t imageWidth = 0;   // pixels of the image file
    std::int32_t imageHeight = 0;  // pixels of the image file
    std::uint8_t alpha = 0;        // 1 when the image carries alpha (TGA)
    std::vector<Entry> skins;
};
