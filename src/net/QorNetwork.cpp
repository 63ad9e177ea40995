#include "net/QorNetwork.h"

#include <cerrno>

#include "engine/ChildIterator.h"
#include "engine/ClassInfo.h"
#include "engine/Format.h"
#include "engine/Logger.h"
#include "engine/MemoryIniFile.h"
#include "engine/Qor.h"
#include "engine/QorBase.h"
#include "net/HttpRequest.h"
#include "net/NetRole.h"
#include "net/Packet.h"
#include "net/RPCDestroyObject.h"

QOR_DEFINE_ROOT_CLASS(QorNetwork, nullptr)

namespace {
NetRoleFlags* currentRoleFlags() { return QorNetwork::currentRole(); }

// A replicated object ends through the current role, which tells the other side.
bool destroyThroughRole(QorBase* object) {
    NetRole* role = QorNetwork::currentRole();
    if (!role || object->objectUID < 1) return false;
    destroyObjectRemotely(object);
    return true;
}

struct ErrorName {
    int code;
    const char16_t* name;
};
constexpr ErrorName kErrorNames[] = {
    {EACCES, u"EACCES"},
    {EADDRINUSE, u"EADDRINUSE"},
    {EADDRNOTAVAIL, u"EADDRNOTAVAIL"},
    {EAFNOSUPPORT, u"EAFNOSUPPORT"},
    {EAGAIN, u"EWOULDBLOCK"},
    {EALREADY, u"EALREADY"},
    {EBADF, u"EBADF"},
    {ECONNABORTED, u"ECONNABORTED"},
    {ECONNREFUSED, u"ECONNREFUSED"},
    {ECONNRESET, u"ECONNRESET"},
    {EDESTADDRREQ, u"EDESTADDRREQ"},
    {EDQUOT, u"EDQUOT"},
    {EFAULT, u"EFAULT"},
    {EHOSTDOWN, u"EHOSTDOWN"},
    {EHOSTUNREACH, u"EHOSTUNREACH"},
    {EINPROGRESS, u"EINPROGRESS"},
    {EINVAL, u"EINVAL"},
    {EISCONN, u"EISCONN"},
    {ELOOP, u"ELOOP"},
    {EMFILE, u"EMFILE"},
    {EMSGSIZE, u"EMSGSIZE"},
    {ENAMETOOLONG, u"ENAMETOOLONG"},
    {ENETDOWN, u"ENETDOWN"},
    {ENETRESET, u"ENETRESET"},
    {ENETUNREACH, u"ENETUNREACH"},
    {ENFILE, u"ENFILE"},
    {ENOBUFS, u"ENOBUFS"},
    {ENOMEM, u"ENOMEM"},
    {ENOPROTOOPT, u"ENOPROTOOPT"},
    {ENOTCONN, u"ENOTCONN"},
    {ENOTEMPTY, u"ENOTEMPTY"},
    {ENOTSOCK, u"ENOTSOCK"},
    {EOPNOTSUPP, u"EOPNOTSUPP"},
    {EPERM, u"EPERM"},
    {EPFNOSUPPORT, u"EPFNOSUPPORT"},
    {EPROTONOSUPPORT, u"EPROTONOSUPPORT"},
    {EPROTOTYPE, u"EPROTOTYPE"},
    {EREMOTE, u"EREMOTE"},
    {ESHUTDOWN, u"ESHUTDOWN"},
    {ESOCKTNOSUPPORT, u"ESOCKTNOSUPPORT"},
    {ESTALE, u"ESTALE"},
    {ETIMEDOUT, u"ETIMEDOUT"},
    {ETOOMANYREFS, u"ETOOMANYREFS"},
    {EUSERS, u"EUSERS"},
};
// How long the program waits at exit for web requests that are still running.
constexpr double kRequestShutdownSeconds = 3.0;
}  // namespace

QorNetwork::QorNetwork() {
    start();
    bEmulateLocalhost = qor->settings().getBool(u"QorNetwork", u"bEmulateLocalhost", true) ? 1 : 0;
    QOR_LOG("QorNetwork::QorNetwork", u"Done.");
}

QorNetwork::QorNetwork(bool emulateLocalhost) {
    start();
    bEmulateLocalhost = emulateLocalhost ? 1 : 0;
}

// POSIX sockets need no library start-up; the service only takes its hooks.
void QorNetwork::start() {
    QOR_LOG("QorNetwork::QorNetwork", u"Starting...");
    emulatedQueue = new QorBase();
    QorBase::netRole = &currentRoleFlags;
    QorBase::remoteDestroy = &destroyThroughRole;
}

QorNetwork::~QorNetwork() {
    QOR_LOG("QorNetwork::~QorNetwork", u"Cleaning up...");
    if (!HttpRequest::shutdown(kRequestShutdownSeconds))
        QOR_LOG("QorNetwork::~QorNetwork", u"%d web requests did not end in time.", HttpRequest::runningWorkers());
    if (QorBase::netRole == &currentRoleFlags) QorBase::netRole = nullptr;
    if (QorBase::remoteDestroy == &destroyThroughRole) QorBase::remoteDestroy = nullptr;
    QOR_LOG("QorNetwork::~QorNetwork", u"Done.");
    emulatedQueue->destroy();
}

NetRole* QorNetwork::currentRole() { return qor && qor->pQorNetwork ? qor->network().THEROLE : nullptr; }

ClassInfo* QorNetwork::getClass() const { return &classInfo; }

std::u16string QorNetwork::getWSAErrorString(int code) {
    for (const ErrorName& e : kErrorNames)
        if (e.code == code) return e.name;
    return formatString(u"Unknown socket error: %08x", code);
}

void QorNetwork::flushEmulatedPackets(const NetAddress& address) {
    int left = 0;
    for (ChildIterator it(emulatedQueue); !it.done; it.next()) {
        auto* queued = static_cast<Packet*>(static_cast<QorBase*>(it.current));
        if (queued->address == address)
            queued->destroy();
        else
            ++left;
    }
    QOR_LOG("QorNetwork::flushEmulatedPackets", u"Flushed packets for %s, queue length is now %d.", address.toString(),
            left);
}
