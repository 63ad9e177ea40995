#include "net/QorNetwork.h"

#include "engine/ClassInfo.h"

QOR_DEFINE_ROOT_CLASS(QorNetwork, nullptr)

ClassInfo* QorNetwork::getClass() const { return &classInfo; }
