#pragma once
// The network service.
class ClassInfo;

class QorNetwork {
public:
    QorNetwork() = default;
    virtual ClassInfo* getClass() const;
    virtual ~QorNetwork() = default;
    static ClassInfo classInfo;
};
