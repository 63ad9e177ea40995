#include "engine/Property.h"

#include "engine/ChildIterator.h"
#include "engine/ClassInfo.h"
#include "engine/Format.h"
#include "engine/Serializer.h"

QOR_DEFINE_CLASS(Property, QorBase, nullptr)

Property::Property(std::u16string name_, std::uint32_t flags_) : flags(flags_), name(std::move(name_)) {}

ClassInfo* Property::getClass() const { return &classInfo; }

std::u16string Property::describe() const { return formatString(u"%s:%s", name, toString()); }

std::u16string Property::formatDecimal(double value) {
    std::u16string text = formatString(u"%.9lf", value);
    if (text.find(u'.') == std::u16string::npos) return text;
    while (!text.empty() && text.back() == u'0') text.pop_back();
    if (!text.empty() && text.back() == u'.') text.push_back(u'0');
    return text;
}

void Property::netSerialize(Serializer& p) {
    if ((flags & p.flags & (kNotSerialisedA | kNotSerialisedB)) != 0) return;
    for (ChildIterator it(this); !it.done; it.next()) static_cast<QorBase*>(it.current)->netSerialize(p);
}
