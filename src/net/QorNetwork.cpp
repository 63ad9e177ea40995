#include "net/QorNetwork.h"

#include "engine/ClassInfo.h"
#include "engine/Qor.h"
#include "engine/QorBase.h"
#include "net/NetRole.h"

QOR_DEFINE_ROOT_CLASS(QorNetwork, nullptr)

namespace {
NetRoleFlags* currentRole() { return qor && qor->pQorNetwork ? qor->network().THEROLE : nullptr; }
}  // namespace

QorNetwork::QorNetwork() { QorBase::netRole = &currentRole; }

QorNetwork::~QorNetwork() {
    if (QorBase::netRole == &currentRole) QorBase::netRole = nullptr;
}

ClassInfo* QorNetwork::getClass() const { return &classInfo; }
