#include "net/QorNetwork.h"

#include "engine/ClassInfo.h"
#include "engine/Logger.h"
#include "engine/Qor.h"
#include "engine/QorBase.h"
#include "net/HttpRequest.h"
#include "net/NetRole.h"

QOR_DEFINE_ROOT_CLASS(QorNetwork, nullptr)

namespace {
NetRoleFlags* currentRoleFlags() { return QorNetwork::currentRole(); }

// How long the program waits at exit for web requests that are still running.
constexpr double kRequestShutdownSeconds = 3.0;
}  // namespace

QorNetwork::QorNetwork() { QorBase::netRole = &currentRoleFlags; }

QorNetwork::~QorNetwork() {
    if (!HttpRequest::shutdown(kRequestShutdownSeconds))
        QOR_LOG("QorNetwork::~QorNetwork", u"%d web requests did not end in time.", HttpRequest::runningWorkers());
    if (QorBase::netRole == &currentRoleFlags) QorBase::netRole = nullptr;
}

NetRole* QorNetwork::currentRole() { return qor && qor->pQorNetwork ? qor->network().THEROLE : nullptr; }

ClassInfo* QorNetwork::getClass() const { return &classInfo; }
