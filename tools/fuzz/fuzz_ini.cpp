// Settings text: any bytes must parse, and reading keys the way the engine does (set a
// default when missing, then get) must never fail.
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzEngine.h"
#include "engine/MemoryIniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzEngine();
    MemoryIniFile ini(std::vector<std::uint8_t>(data, data + size));
    for (const char16_t* section : {u"", u"Qor", u"QorGraphics", u"Skin 0"}) {
        for (const char16_t* key : {u"debugLevel", u"left", u"width", u"bFullScreen", u"gamma"}) {
            if (ini.hasKey(section, key)) {
                (void)ini.getInt(section, key);
                (void)ini.getDouble(section, key);
                (void)ini.getBool(section, key);
                (void)ini.getString(section, key);
            }
        }
    }
    if (!ini.hasKey(u"Qor", u"debugLevel")) ini.setInt(u"Qor", u"debugLevel", 0);
    (void)ini.getInt(u"Qor", u"debugLevel");
    return 0;
}
