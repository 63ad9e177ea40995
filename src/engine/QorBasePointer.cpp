#include "engine/QorBasePointer.h"

#include "engine/ClassInfo.h"
#include "engine/PropertyContainer.h"
#include "engine/PropertyPointer.h"
#include "net/Packet.h"

QOR_DEFINE_CLASS(QorBasePointer, QorBase, (&makeInstance<QorBasePointer, BasicLink>))

ClassInfo* QorBasePointer::getClass() const { return &classInfo; }

void QorBasePointer::describeProperties(PropertyContainer* container) {
    QorBase::describeProperties(container);
    container->addChild(new PropertyPointer(u"pObject", 0, &pObject));
}

void QorBasePointer::netSerializeLinks(Packet& p) {
    QorBase::netSerializeLinks(p);
    p.doPointer2(pObject);
}
