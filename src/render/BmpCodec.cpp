#include "render/BmpCodec.h"

#include "engine/Format.h"

namespace {
constexpr const char* kFunction = "MemoryImageFile::loadBMP";

std::uint32_t getU32(const std::uint8_t* at) {
    return at[0] | (at[1] << 8) | (at[2] << 16) | (static_cast<std::uint32_t>(at[3]) << 24);
}

void putU16(std::uint8_t* at, std::uint32_t v) {
    at[0] = static_cast<std::uint8_t>(v);
    at[1] = static_cast<std::uint8_t>(v >> 8);
}

void putU32(std::uint8_t* at, std::uint32_t v) {
    putU16(at, v);
    putU16(at + 2, v >> 16);
}

bool refuse(DecodedImage& out, std::u16string message) {
    out.errorFunction = kFunction;
    out.error = std::move(message);
    out.pixels.reset();
    return false;
}

bool checkHeader(const std::uint8_t* data, std::size_t size, DecodedImage& out) {
    if (size < BmpCodec::kHeaderBytes)
        return refuse(out, formatString(u"BMP is truncated (%u bytes; the headers need 54).", size));
    if (data[0] != 'B' || data[1] != 'M') return refuse(out, u"Not a BMP file.");
    if (getU32(data + 14) < 40) return refuse(out, u"BMP information header is of an unsupported version.");
    if ((data[28] | (data[29] << 8)) != 24) return refuse(out, u"Only 24-bit BMPs are supported.");
    if (getU32(data + 30) != 0) return refuse(out, u"Compressed BMPs are not supported.");
    out.width = static_cast<std::int32_t>(getU32(data + 18));
    out.height = static_cast<std::int32_t>(getU32(data + 22));
    out.bHasAlpha = 0;
    if (out.height < 0) return refuse(out, u"Top-down BMPs (negative height) are not supported.");
    if (!DecodedImage::isAcceptableSize(out.width, out.height))
        return refuse(out, formatString(u"BMP size %dx%d is out of range.", out.width, out.height));
    return true;
}
}  // namespace

bool BmpCodec::decode(const std::uint8_t* data, std::size_t size, DecodedImage& out) {
    if (!checkHeader(data, size, out)) return false;
    const std::size_t rowStride = stride(out.width);
    const std::size_t offset = getU32(data + 10);
    const std::size_t needed = offset + rowStride * static_cast<std::size_t>(out.height);
    if (offset > size || needed > size)
        return refuse(out, formatString(u"BMP is truncated (%u of %u bytes).", size, needed));
    out.pixels = std::make_unique_for_overwrite<UColor[]>(static_cast<std::size_t>(out.width) * out.height);
    for (std::int32_t i = 0; i < out.height; ++i) {
        const std::uint8_t* row = data + offset + i * rowStride;
        UColor* target = out.pixels.get() + static_cast<std::size_t>(out.height - 1 - i) * out.width;
        for (std::int32_t x = 0; x < out.width; ++x, row += 3)
            target[x] = 0xFF000000u | (UColor{row[2]} << 16) | (UColor{row[1]} << 8) | row[0];
    }
    return true;
}

std::vector<std::uint8_t> BmpCodec::encode(std::int32_t width, std::int32_t height, const UColor* pixels) {
    const std::size_t rowStride = stride(width);
    const std::size_t dataBytes = rowStride * static_cast<std::size_t>(height);
    // Zero-filled, so the row padding and the reserved fields are written as zeros.
    std::vector<std::uint8_t> bytes(kHeaderBytes + dataBytes, 0);
    std::uint8_t* h = bytes.data();
    h[0] = 'B';
    h[1] = 'M';
    putU32(h + 2, static_cast<std::uint32_t>(kHeaderBytes + dataBytes));
    putU32(h + 10, kHeaderBytes);
    putU32(h + 14, 40);
    putU32(h + 18, static_cast<std::uint32_t>(width));
    putU32(h + 22, static_cast<std::uint32_t>(height));
    putU16(h + 26, 1);
    putU16(h + 28, 24);
    for (std::int32_t y = height - 1, i = 0; y >= 0; --y, ++i) {
        std::uint8_t* row = h + kHeaderBytes + i * rowStride;
        const UColor* source = pixels + static_cast<std::size_t>(y) * width;
        for (std::int32_t x = 0; x < width; ++x, row += 3) {
            row[0] = static_cast<std::uint8_t>(source[x]);
            row[1] = static_cast<std::uint8_t>(source[x] >> 8);
            row[2] = static_cast<std::uint8_t>(source[x] >> 16);
        }
    }
    return bytes;
}
