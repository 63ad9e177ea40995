// Packet and remote-call decoding. The first byte picks the packet flags and the next
// ones a script of reads (every serialiser, in the order the script says) over the rest;
// the same bytes are then received as remote-call messages by a server or a client role
// (NetRole::receiveMessage: the kind, the class, the call made by its factory and filled
// by serialize, run when the message was good and the side allows it) against a small
// tree of replicated objects. No read may leave the packet,
// and a bad message must read as zeros from then on (booleans: their own bits).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "FuzzEngine.h"
#include "engine/ClassInfo.h"
#include "engine/ClassRegistry.h"
#include "engine/Link.h"
#include "engine/QorBase.h"
#include "net/NetRole.h"
#include "net/Packet.h"
#include "net/QorNetwork.h"
#include "net/RPC.h"

namespace {
constexpr std::size_t kMaxScript = 48;
constexpr int kReplicated = 6;

// The engine, its network service and a resource for resource references; each message
// gets a role of its own (below).
void setUp() {
    static const bool done = [] {
        Qor& engine = fuzzEngine();
        ClassRegistry::instance().buildIndex();
        engine.pQorNetwork = new QorNetwork(true);
        static QorBase named;
        engine.pResourceManager->addResource(&named, u"named");
        return true;
    }();
    (void)done;
}

// One read of each kind; after a bad read every value must be zero.
void readOne(Packet& p, std::uint8_t op) {
    const bool badBefore = p.bBad != 0;
    bool zero = true;
    switch (op % 10) {
        case 0: {
            // A boolean reads into its own bit only.
            std::uint8_t b = 0xFF;
            const int bit = op >> 4 & 7;
            p.doBool(b, bit);
            zero = (b & (1u << bit)) == 0 && (b | (1u << bit)) == 0xFF;
            break;
        }
        case 1: {
            std::uint8_t b = 0xFF;
            const int count = 1 + (op >> 4 & 7);
            p.doBits(b, count);
            zero = (b & ((1u << count) - 1)) == 0;
            break;
        }
        case 2: {
            std::int32_t v = -1;
            p.doInt(v);
            zero = v == 0;
            break;
        }
        case 3: {
            std::uint32_t v = 1;
            p.doUInt(v);
            zero = v == 0;
            break;
        }
        case 4: {
            float f = 1.0f;
            p.doHalfFloat(f);
            zero = f == 0.0f;
            break;
        }
        case 5: {
            std::u16string text = u"x";
            p.doUString(text, op >> 4);
            zero = text.empty();
            break;
        }
        case 6: {
            ClassInfo* record = &RPC::classInfo;
            p.doClassID(record);
            zero = record == nullptr;
            break;
        }
        case 7: {
            QorBase* object = reinterpret_cast<QorBase*>(&op);
            p.doPointer2(object);
            zero = object == nullptr;
            break;
        }
        case 8: {
            QorBase* object = reinterpret_cast<QorBase*>(&op);
            p.doResourcePointer2(object);
            zero = object == nullptr;
            break;
        }
        default: {
            std::uint32_t raw = 1;
            p.doRaw32(&raw);
            zero = raw == 0;
            break;
        }
    }
    if (badBefore && !zero) __builtin_trap();
}

void decodeCall(std::uint32_t flags, bool server, const std::uint8_t* bytes, std::size_t size) {
    // A fresh role per message: a call may delete replicated objects (their children),
    // and the role's table of them goes with it.
    NetRole role(server);
    qor->pQorNetwork->THEROLE = &role;
    QorBase root;
    std::vector<std::unique_ptr<Link>> alive;  // cleared when a call deletes its object
    for (int i = 0; i < kReplicated; ++i) {
        auto* object = new QorBase();
        QorBase* parent = i == 0 ? &root : alive[static_cast<std::size_t>(i) / 2]->get();
        parent->addChild(object);
        role.registerObject(object);
        alive.push_back(std::make_unique<Link>());
        alive.back()->set(object);
    }
    // The messages one after another, as the receiver takes them, until one is refused.
    Packet p(flags, bytes, size);
    for (int n = 0; n < 16 && role.receiveMessage(p); ++n) {
    }
    // Whatever the calls did to the tree, the objects left are taken out of it and ended
    // alone, without the role.
    qor->pQorNetwork->THEROLE = nullptr;
    for (auto& link : alive)
        if (QorBase* object = link->get(); object && object->parent) object->parent->removeChild(object);
    for (auto& link : alive) delete link->get();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2 || size > 4096) return 0;
    setUp();
    const std::uint32_t flags = data[0] & 7;
    const bool server = (data[0] & 8) != 0;
    const std::size_t scriptLength = std::min<std::size_t>(data[1] % (kMaxScript + 1), size - 2);
    const std::uint8_t* script = data + 2;
    const std::uint8_t* message = script + scriptLength;
    const std::size_t messageSize = size - 2 - scriptLength;
    Packet p(flags, message, messageSize);
    for (std::size_t i = 0; i < scriptLength; ++i) readOne(p, script[i]);
    decodeCall(flags, server, message, messageSize);
    return 0;
}
