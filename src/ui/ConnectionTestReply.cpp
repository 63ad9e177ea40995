#include "ui/ConnectionTestReply.h"

#include <cstring>
#include <vector>

#include "engine/Md5.h"
#include "engine/MemoryIniFile.h"

namespace {
std::uint32_t readU32(const std::uint8_t* p) {
    return p[0] | static_cast<std::uint32_t>(p[1]) << 8 | static_cast<std::uint32_t>(p[2]) << 16 |
           static_cast<std::uint32_t>(p[3]) << 24;
}

// Reads an optionally signed decimal number at `i`; false when there is no digit.
bool readNumber(const std::u16string& text, std::size_t& i, long& value) {
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    const std::size_t start = i;
    value = 0;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9' && i - start < 9)
        value = value * 10 + (text[i++] - u'0');
    if (negative) value = -value;
    return i > start;
}
}  // namespace

bool ConnectionTestReply::isFramed(const std::uint8_t* bytes, std::uint32_t size) {
    return size >= 4 && readU32(bytes) == kMagic;
}

bool ConnectionTestReply::decode(const std::uint8_t* bytes, std::uint32_t size) {
    if (!isFramed(bytes, size) || size < kHeaderSize) return false;
    const std::uint32_t length = readU32(bytes + 4);
    if (length != size - kHeaderSize) return false;
    std::uint8_t digest[16];
    md5Buffer(digest, bytes + kHeaderSize, static_cast<int>(length));
    if (!md5Equal(digest, bytes + 8)) return false;
    MemoryIniFile payload(std::vector<std::uint8_t>(bytes + kHeaderSize, bytes + size));
    if (payload.hasKey(u"", u"masterServer")) masterServer = readAddress(payload.getString(u"", u"masterServer"));
    if (payload.hasKey(u"", u"message")) message = payload.getString(u"", u"message");
    return true;
}

std::optional<NetAddress> ConnectionTestReply::readAddress(const std::u16string& text) {
    std::size_t i = 0;
    long octet = 0;
    for (int part = 0; part < 4; ++part) {
        if (!readNumber(text, i, octet) || octet < 0 || octet > 255) return std::nullopt;
        const char16_t separator = part < 3 ? u'.' : u':';
        if (i >= text.size() || text[i++] != separator) return std::nullopt;
    }
    long port = 0;
    if (!readNumber(text, i, port)) return std::nullopt;
    NetAddress address;
    address.parse(text);
    return address;
}
