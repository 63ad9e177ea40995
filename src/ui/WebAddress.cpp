#include "ui/WebAddress.h"

#include "engine/MemoryIniFile.h"
#include "engine/Qor.h"

namespace {
// Letters, digits, '.', '-', ':' (port), '[' and ']' (IPv6): anything else (a path, a
// scheme, spaces) would change what the address points at.
bool isHostText(std::u16string_view host) {
    if (host.empty()) return false;
    for (char16_t c : host) {
        const bool ok = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'.' ||
                        c == u'-' || c == u':' || c == u'[' || c == u']';
        if (!ok) return false;
    }
    return true;
}
}  // namespace

std::u16string WebAddress::getHost() {
    const std::u16string host = qor->settings().getString(kSection, kKey, kDefaultHost);
    return isHostText(host) ? host : std::u16string(kDefaultHost);
}

std::u16string WebAddress::getPageAddress(std::u16string_view path) {
    return u"http://" + getHost() + std::u16string(path);
}
