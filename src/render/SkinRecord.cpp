#include "render/SkinRecord.h"

#include "engine/Format.h"
#include "engine/MemoryIniFile.h"
#include "render/DecodedImage.h"

namespace {
std::int32_t getS32(const std::uint8_t* at) {
    return static_cast<std::int32_t>(at[0] | (at[1] << 8) | (at[2] << 16) | (static_cast<std::uint32_t>(at[3]) << 24));
}

void putS32(std::vector<std::uint8_t>& out, std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(u >> shift));
}

bool insideImage(const SkinRecord::Entry& s, const SkinRecord& r) {
    return s.left >= 0 && s.top >= 0 && s.width >= 0 && s.height >= 0 &&
           std::int64_t{s.left} + s.width <= r.imageWidth && std::int64_t{s.top} + s.height <= r.imageHeight;
}

// The header: version, a plausible image, and a skin count that fills the record exactly.
bool parseHeader(const std::uint8_t* data, std::size_t size, SkinRecord& out, std::int32_t& count,
                 std::u16string& why) {
    if (size < SkinRecord::kHeaderBytes) {
        why = formatString(u"the record is %u bytes, shorter than its 20-byte header", size);
        return false;
    }
    if (getS32(data) != SkinRecord::kVersion) {
        why = formatString(u"version %d is not %d", getS32(data), SkinRecord::kVersion);
        return false;
    }
    out.imageWidth = getS32(data + 4);
    out.imageHeight = getS32(data + 8);
    out.alpha = data[12];
    count = getS32(data + 16);
    if (!DecodedImage::isAcceptableSize(out.imageWidth, out.imageHeight)) {
        why = formatString(u"image size %dx%d is out of range", out.imageWidth, out.imageHeight);
        return false;
    }
    const std::size_t skinBytes = size - SkinRecord::kHeaderBytes;
    if (count < 0 || skinBytes % SkinRecord::kSkinBytes != 0 ||
        skinBytes / SkinRecord::kSkinBytes != std::size_t(count)) {
        why = formatString(u"%d skins do not fill a record of %u bytes", count, size);
        return false;
    }
    return true;
}
}  // namespace

SkinRecord SkinRecord::wholeImage(std::int32_t width, std::int32_t height, std::uint8_t alpha) {
    SkinRecord r;
    r.imageWidth = width;
    r.imageHeight = height;
    r.alpha = alpha;
    r.skins.push_back(Entry{0, 0, width, height, 0, 0});
    return r;
}

SkinRecord SkinRecord::fromIni(MemoryIniFile& ini, std::int32_t width, std::int32_t height, std::uint8_t alpha) {
    SkinRecord r;
    r.imageWidth = width;
    r.imageHeight = height;
    r.alpha = alpha;
    // Counted before any lookup, since a lookup of a missing section creates it.
    const int count = ini.countSections();
    for (int i = 0; i < count; ++i) {
        const std::u16string section = formatString(u"Skin %d", i);
        Entry e;
        e.left = ini.getInt(section, u"left");
        e.top = ini.getInt(section, u"top");
        e.width = ini.getInt(section, u"width");
        e.height = ini.getInt(section, u"height");
        if (ini.hasKey(section, u"origin_adjust_x")) e.originAdjustX = ini.getInt(section, u"origin_adjust_x");
        if (ini.hasKey(section, u"origin_adjust_y")) e.originAdjustY = ini.getInt(section, u"origin_adjust_y");
        r.skins.push_back(e);
    }
    return r;
}

bool SkinRecord::parse(const std::uint8_t* data, std::size_t size, SkinRecord& out, std::u16string& why) {
    std::int32_t count = 0;
    if (!parseHeader(data, size, out, count, why)) return false;
    out.skins.clear();
    out.skins.reserve(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        const std::uint8_t* at = data + kHeaderBytes + static_cast<std::size_t>(i) * kSkinBytes;
        const Entry e{getS32(at), getS32(at + 4), getS32(at + 8), getS32(at + 12), getS32(at + 16), getS32(at + 20)};
        if (!insideImage(e, out)) {
            why = formatString(u"skin %d (%d, %d, %dx%d) lies outside the %dx%d image", i, e.left, e.top, e.width,
                               e.height, out.imageWidth, out.imageHeight);
            return false;
        }
        out.skins.push_back(e);
    }
    return true;
}

std::vector<std::uint8_t> SkinRecord::encode() const {
    std::vector<std::uint8_t> out;
    out.reserve(kHeaderBytes + kSkinBytes * skins.size());
    for (std::int32_t v : {kVersion, imageWidth, imageHeight, std::int32_t{alpha}, std::int32_t(skins.size())})
        putS32(out, v);
    for (const Entry& s : skins)
        for (std::int32_t v : {s.left, s.top, s.width, s.height, s.originAdjustX, s.originAdjustY}) putS32(out, v);
    return out;
}
