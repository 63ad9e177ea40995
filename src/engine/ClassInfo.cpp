#include "engine/ClassInfo.h"

#include "engine/ClassRegistry.h"

std::uint32_t classIdForName(std::u16string_view name) {
    auto hexDigit = [](char16_t c) -> int {
        if (c >= u'0' && c <= u'9') return c - u'0';
        if (c >= u'a' && c <= u'f') return c - u'a' + 10;
        return -1;
    };
    if (name.size() == 9 && name[0] == u'_') {
        std::uint32_t value = 0;
        bool generated = true;
        for (char16_t c : name.substr(1)) {
            int d = hexDigit(c);
            if (d < 0) {
                generated = false;
                break;
            }
            value = value * 16 + static_cast<std::uint32_t>(d);
        }
        if (generated) return value;
    }
    std::uint32_t h = 0;
    for (char16_t c : name) h = h * 33u + c;
    return h;
}

ClassInfo::ClassInfo(std::uint32_t id_, std::u16string_view name_, ClassInfo* parent_, ClassFactory factory_)
    : name(name_), id(id_), factory(factory_), parent(parent_ == this ? nullptr : parent_) {
    ClassRegistry::instance().add(this);
}

ClassInfo::~ClassInfo() { ClassRegistry::instance().remove(this); }

bool ClassInfo::isA(const ClassInfo* other) const {
    for (const ClassInfo* c = this; c; c = c->parent)
        if (c == other) return true;
    return false;
}
