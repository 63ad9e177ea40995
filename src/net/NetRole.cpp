#include "net/NetRole.h"

#include <memory>

#include "engine/ClassInfo.h"
#include "engine/ErrorManager.h"
#include "engine/Logger.h"
#include "engine/QorBase.h"
#include "net/NetConnection.h"
#include "net/NetStats.h"
#include "net/Packet.h"
#include "net/RPC.h"

NetRole::~NetRole() {
    if (outgoingPacket) outgoingPacket->destroy();
}

void NetRole::registerObject(QorBase* object) {
    object->objectUID = nextObjectUID++;
    objects[object->objectUID] = object;
}

void NetRole::unregisterObject(QorBase* object) {
    if (!object) return;
    QOR_ASSERT("NetRole::unregisterObject", object->objectUID >= 1);
    objects.erase(object->objectUID);
    object->objectUID = -1;
}

QorBase* NetRole::findObject(std::int32_t id) const {
    const auto it = objects.find(id);
    if (it != objects.end()) return it->second;
    QOR_LOG("NetRole::findObject", u"Could not find object ID %d", id);
    return nullptr;
}

Packet& NetRole::outgoing() {
    if (!outgoingPacket) outgoingPacket = new Packet(0);
    return *outgoingPacket;
}

void NetRole::sendRPC(RPC& call) {
    Packet& p = outgoing();
    std::uint8_t kind = kRemoteCall;
    p.doBits(kind, 2);
    if (connection) ++connection->getCurrentStats()->kinds[NetStats::kSentRow][kRemoteCall];
    ClassInfo* record = call.getClass();
    p.doClassID(record);
    call.serialize(p);
    const auto index = static_cast<std::size_t>(record->index);
    if (callCounts.size() <= index) callCounts.resize(index + 1);
    ++callCounts[index];
}

bool NetRole::receiveMessage(Packet& p) {
    std::uint8_t kind = 0;
    p.doBits(kind, 2);
    if (p.bBad || kind != kRemoteCall) return false;
    ClassInfo* record = nullptr;
    p.doClassID(record);
    if (p.bBad || !record->isA(&RPC::classInfo) || !record->factory) return false;
    std::unique_ptr<RPC> call(static_cast<RPC*>(record->factory()));
    call->serialize(p);
    // A client may only ask the server for the calls made for it.
    if (p.bBad || (bServer && !call->bClientMayCall)) return false;
    RPC::executeLocally(*call);
    return true;
}

void NetRole::seed(std::uint32_t s) {
    mt[0] = s;
    for (std::uint32_t i = 1; i < mt.size(); ++i) mt[i] = 1812433253u * (mt[i - 1] ^ (mt[i - 1] >> 30)) + i;
    mti = static_cast<int>(mt.size());
}

std::uint32_t NetRole::random() {
    constexpr int n = 624, m = 397;
    constexpr std::uint32_t upper = 0x80000000u, lower = 0x7FFFFFFFu, matrix = 0x9908B0DFu;
    if (mti >= n) {
        if (mti == n + 1) seed(5489u);
        for (int k = 0; k < n; ++k) {
            const std::uint32_t y = (mt[k] & upper) | (mt[(k + 1) % n] & lower);
            mt[k] = mt[(k + m) % n] ^ (y >> 1) ^ ((y & 1u) ? matrix : 0u);
        }
        mti = 0;
    }
    std::uint32_t y = mt[mti++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9D2C5680u;
    y ^= (y << 15) & 0xEFC60000u;
    y ^= y >> 18;
    return y;
}
