#pragma once
// Addresses of the pages of the game's web service. The service's host is a per-machine
// setting ("webServiceHost" in the section "QorNetwork" of the settings file), "host" or
// "host:port", written with its default when missing; a page's address is "http://",
// the host and the page's path.
#include <string>
#include <string_view>

class WebAddress {
public:
    static constexpr const char16_t* kDefaultHost = u"localhost:8079";
    static constexpr const char16_t* kSection = u"QorNetwork";
    static constexpr const char16_t* kKey = u"webServiceHost";

    // The host from the settings (the default without a settings file, or when the
    // setting is empty or holds characters that do not belong in a host).
    static std::u16string getHost();
    // "http://" + host + path; path starts with "/".
    static std::u16string getPageAddress(std::u16string_view path);
};
