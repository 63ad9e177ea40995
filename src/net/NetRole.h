#pragma once
// The current network role: server or client, the table of replicated objects by
// network id, and the role's shared random generator (MT19937). This system creates no
// role; the engine's remote calls and the packet's object references consult it when
// one exists (QorNetwork::THEROLE). Main thread only. The role does not own the objects
// in its table.
#include <array>
#include <cstdint>
#include <unordered_map>

#include "engine/NetRoleFlags.h"

class QorBase;

class NetRole : public NetRoleFlags {
public:
    explicit NetRole(bool server) { bServer = server; }
    virtual ~NetRole() = default;

    // Gives the object the next network id and enters it in the table.
    void registerObject(QorBase* object);
    void unregisterObject(QorBase* object);
    // The object registered under `id`, or null.
    QorBase* findObject(std::int32_t id) const;

    // The standard MT19937 initialisation; the next draw regenerates the whole block.
    void seed(std::uint32_t s);
    std::uint32_t random();

    std::int32_t nextObjectUID = 1;
    std::array<std::uint32_t, 624> mt{};
    int mti = 625;  // 625: never seeded

private:
    std::unordered_map<std::int32_t, QorBase*> objects;
};
