#include "net/NetIdCounter.h"

#include <cstdint>

#include "engine/ClassInfo.h"
#include "engine/Property.h"
#include "engine/PropertyContainer.h"
#include "engine/PropertyInt.h"
#include "net/NetRole.h"
#include "net/QorNetwork.h"

QOR_DEFINE_CLASS(_04790976, QorBase, (&makeInstance<_04790976, BasicLink>))

ClassInfo* _04790976::getClass() const { return &classInfo; }

void _04790976::describeProperties(PropertyContainer* container) {
    QorBase::describeProperties(container);
    // Without a role the property list keeps its shape over a counter nobody reads.
    static std::int32_t noRole = 0;
    NetRole* role = QorNetwork::currentRole();
    container->addChild(
        new PropertyInt(u"THEROLE->nextObjectUID", Property::kUnsigned, role ? &role->nextObjectUID : &noRole));
}
