// Property text: any text given to fromString leaves every property in a state that
// converts back to text, and no text may turn into an object address.
#include <cstdint>
#include <string>

#include "FuzzEngine.h"
#include "engine/PropertyContainer.h"
#include "engine/PropertyDWORD.h"
#include "engine/PropertyFloat.h"
#include "engine/PropertyPointer.h"
#include "engine/PropertyUColor.h"
#include "engine/QorBasePointer.h"
#include "engine/Strings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Qor& engine = fuzzEngine();
    static QorBasePointer* target = [&engine] {
        auto* t = new QorBasePointer();
        engine.pResourceManager->addResource(t, u"target");
        return t;
    }();
    const std::u16string text = utf8ToWide(std::string_view(reinterpret_cast<const char*>(data), size));
    QorBasePointer object;
    float f = 0.0f;
    std::uint32_t colour = 0, word = 0;
    PropertyContainer* properties = object.getProperties();
    properties->addChild(new PropertyFloat(u"f", 0, &f));
    properties->addChild(new PropertyUColor(u"colour", 0, &colour));
    properties->addChild(new PropertyDWORD(u"word", 0, &word));
    std::u16string described;
    for (BasicLink* p = properties->firstChild; p; p = p->next) {
        static_cast<Property*>(p)->fromString(text);
        described += static_cast<Property*>(p)->toString();
    }
    described += properties->describe();
    if (object.pObject && object.pObject != target) __builtin_trap();
    properties->destroy();
    return 0;
}
