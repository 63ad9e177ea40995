#include "net/NetIdCounter.h"

#include <cstdint>

#include "engine/ClassInfo.h"
#include "engine/Property.h"
#include "engine/PropertyContainer.h"
#include "engine/PropertyInt.h"
#include "net/NetRole.h"
#include "net/QorNetwork.h"

QOR_DEFINE_CLASS_AS(NetIdCounter, "_04790976", QorBase, (&makeInstance<NetIdCounter, BasicLink>))

ClassInfo* NetIdCounter::getClass() const { return &classInfo; }

void NetIdCounter::describeProperties(PropertyContainer* container) {
    QorBase::describeProperties(container);
    // Without a role the property list keeps its shape over a counter nobody reads.
    static std::int32_t noRole = 0;
    NetRole* role = QorNetwork::currentRole();
    container->addChild(
        new PropertyInt(u"THEROLE->nextObjectUID", Property::kUnsigned, role ? &role->nextObjectUID : &noRole));
}
