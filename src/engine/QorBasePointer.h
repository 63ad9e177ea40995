#pragma once
// An object that does nothing but refer to another object, so that the reference can
// travel as a property. The pointer is plain: it is not a weak link, and the target is
// not owned; whoever sets it keeps it valid.
#include "engine/QorBase.h"

class QorBasePointer : public QorBase {
public:
    QorBasePointer() = default;

    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // The base's child references, then the referenced object.
    void netSerializeLinks(Serializer& p) override;
    // The base's properties, then "pObject".
    void describeProperties(PropertyContainer* container) override;

    QorBase* pObject = nullptr;  // the referenced object, not owned
};
