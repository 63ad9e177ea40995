#include "render/TgaCodec.h"

#include <cstring>

#include "engine/Format.h"

namespace {
constexpr const char* kFunction = "MemoryImageFile::loadTGA";

std::uint16_t getU16(const std::uint8_t* at) { return static_cast<std::uint16_t>(at[0] | (at[1] << 8)); }

bool refuse(DecodedImage& out, std::u16string message) {
    out.errorFunction = kFunction;
    out.error = std::move(message);
    out.pixels.reset();
    return false;
}

// Where the pixels start: after the header, the ID field and any colour map.
std::size_t pixelOffset(const std::uint8_t* data) {
    std::size_t offset = TgaCodec::kHeaderBytes + data[0];
    if (data[1] != 0) offset += static_cast<std::size_t>(getU16(data + 5)) * ((data[7] + 7u) / 8u);
    return offset;
}

bool checkHeader(const std::uint8_t* data, std::size_t size, DecodedImage& out) {
    if (size < TgaCodec::kHeaderBytes)
        return refuse(out, formatString(u"TGA is truncated (%u bytes; the header needs 18).", size));
    if (data[2] != 2) return refuse(out, u"TGA is compressed.");
    if (data[16] != 32) return refuse(out, u"TGA depth is not 32 bits");
    if (data[17] & 0x20) return refuse(out, u"TGA is flipped vertically.");
    out.width = static_cast<std::int16_t>(getU16(data + 12));
    out.height = static_cast<std::int16_t>(getU16(data + 14));
    out.bHasAlpha = 1;
    if (!DecodedImage::isAcceptableSize(out.width, out.height))
        return refuse(out, formatString(u"TGA size %dx%d is out of range.", out.width, out.height));
    return true;
}
}  // namespace

bool TgaCodec::decode(const std::uint8_t* data, std::size_t size, bool sizeOnly, DecodedImage& out) {
    if (!checkHeader(data, size, out)) return false;
    const std::size_t rowBytes = static_cast<std::size_t>(out.width) * 4;
    const std::size_t offset = pixelOffset(data);
    const std::size_t needed = offset + rowBytes * static_cast<std::size_t>(out.height);
    if (needed > size) return refuse(out, formatString(u"TGA is truncated (%u of %u bytes).", size, needed));
    if (sizeOnly) return true;
    out.pixels = std::make_unique_for_overwrite<UColor[]>(static_cast<std::size_t>(out.width) * out.height);
    auto* pixels = reinterpret_cast<std::uint8_t*>(out.pixels.get());
    // File rows run bottom-up; the byte order is already the pixel order.
    for (std::int32_t i = 0; i < out.height; ++i)
        std::memcpy(pixels + static_cast<std::size_t>(out.height - 1 - i) * rowBytes, data + offset + i * rowBytes,
                    rowBytes);
    return true;
}

std::vector<std::uint8_t> TgaCodec::encode(std::int32_t width, std::int32_t height, const UColor* pixels) {
    std::vector<std::uint8_t> bytes(kHeaderBytes, 0);
    bytes[2] = 2;
    bytes[12] = static_cast<std::uint8_t>(width);
    bytes[13] = static_cast<std::uint8_t>(width >> 8);
    bytes[14] = static_cast<std::uint8_t>(height);
    bytes[15] = static_cast<std::uint8_t>(height >> 8);
    bytes[16] = 32;
    bytes[17] = 0x08;  // 8 alpha bits, rows from the bottom
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    bytes.resize(kHeaderBytes + rowBytes * static_cast<std::size_t>(height));
    const auto* source = reinterpret_cast<const std::uint8_t*>(pixels);
    for (std::int32_t y = height - 1, i = 0; y >= 0; --y, ++i)
        std::memcpy(bytes.data() + kHeaderBytes + i * rowBytes, source + y * rowBytes, rowBytes);
    return bytes;
}
