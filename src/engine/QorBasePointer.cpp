#include "engine/QorBasePointer.h"

#include "engine/ClassInfo.h"
#include "engine/PropertyContainer.h"
#include "engine/PropertyPointer.h"
#include "engine/Serializer.h"

QOR_DEFINE_CLASS(QorBasePointer, QorBase, (&makeInstance<QorBasePointer, BasicLink>))

ClassInfo* QorBasePointer::getClass() const { return &classInfo; }

void QorBasePointer::describeProperties(PropertyContainer* container) {
    QorBase::describeProperties(container);
    container->addChild(new PropertyPointer(u"pObject", 0, &pObject));
}

void QorBasePointer::netSerializeLinks(Serializer& p) {
    QorBase::netSerializeLinks(p);
    p.doPointer2(pObject);
}
