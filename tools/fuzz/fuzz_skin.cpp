// Skin records: a ".preload" record that parses must write back to the same bytes, and
// a skin file whose "Skin %d" sections all hold their four keys must give one skin per
// section.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/Format.h"
#include "engine/MemoryIniFile.h"
#include "render/SkinRecord.h"

namespace {
void checkPreload(const std::uint8_t* data, std::size_t size) {
    SkinRecord record;
    std::u16string why;
    if (!SkinRecord::parse(data, size, record, why)) {
        if (why.empty()) __builtin_trap();
        return;
    }
    std::vector<std::uint8_t> again = record.encode();
    // The alpha field's upper three bytes are ignored when read and written as zeros.
    if (again.size() != size || std::memcmp(again.data(), data, 13) != 0 ||
        std::memcmp(again.data() + 16, data + 16, size - 16) != 0)
        __builtin_trap();
}

bool allKeysPresent(const std::vector<std::uint8_t>& bytes) {
    MemoryIniFile ini(bytes);
    const int count = ini.countSections();
    for (int i = 0; i < count; ++i) {
        const std::u16string section = formatString(u"Skin %d", i);
        for (const char16_t* key : {u"left", u"top", u"width", u"height"})
            if (!ini.hasKey(section, key)) return false;
    }
    return true;
}

void checkSkinFile(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    if (!allKeysPresent(bytes)) return;
    MemoryIniFile ini(bytes);
    const int count = ini.countSections();
    if (SkinRecord::fromIni(ini, 64, 64, 1).skins.size() != static_cast<std::size_t>(count)) __builtin_trap();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    checkPreload(data, size);
    checkSkinFile(data, size);
    return 0;
}
