#pragma once
// Test support for remote calls: a headless engine whose network service runs with the
// fixture's own role as the current one, and an object that counts the hooks that calls
// reach.
#include "engine/ClassRegistry.h"
#include "engine/QorBase.h"
#include "net/NetRole.h"
#include "net/QorNetwork.h"
#include "support/HeadlessEngine.h"

class Counting : public QorBase {
public:
    void onStateChanged() override { ++changes; }
    void onRemoteSignalA() override { ++signalA; }
    void onRemoteSignalB() override { ++signalB; }
    int changes = 0, signalA = 0, signalB = 0;
};

class NetCallEngine : public HeadlessEngine {
protected:
    explicit NetCallEngine(bool server) : role(server) {}
    void SetUp() override {
        HeadlessEngine::SetUp();
        ClassRegistry::instance().buildIndex();
        engine->pQorNetwork = new QorNetwork(true);
        engine->pQorNetwork->THEROLE = &role;
    }
    void TearDown() override {
        engine->pQorNetwork->THEROLE = nullptr;
        delete engine->pQorNetwork;
        engine->pQorNetwork = nullptr;
        HeadlessEngine::TearDown();
    }

    NetRole role;
};
