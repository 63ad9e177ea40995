#include "net/QorNetwork.h"

#include "engine/ClassInfo.h"
#include "engine/Qor.h"
#include "engine/QorBase.h"
#include "net/NetRole.h"

QOR_DEFINE_ROOT_CLASS(QorNetwork, nullptr)

namespace {
NetRoleFlags* currentRoleFlags() { return QorNetwork::currentRole(); }
}  // namespace

QorNetwork::QorNetwork() { QorBase::netRole = &currentRoleFlags; }

QorNetwork::~QorNetwork() {
    if (QorBase::netRole == &currentRoleFlags) QorBase::netRole = nullptr;
}

NetRole* QorNetwork::currentRole() { return qor && qor->pQorNetwork ? qor->network().THEROLE : nullptr; }

ClassInfo* QorNetwork::getClass() const { return &classInfo; }
