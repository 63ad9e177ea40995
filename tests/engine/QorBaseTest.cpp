#include <gtest/gtest.h>

#include "engine/Event.h"
#include "engine/PropertyContainer.h"
#include "engine/QorBase.h"
#include "engine/Strings.h"
#include "net/NetRole.h"
#include "net/Packet.h"
#include "net/QorNetwork.h"
#include "render/Context.h"
#include "support/HeadlessEngine.h"
#include "support/Recorder.h"

namespace {
class QorBaseTest : public HeadlessEngine {
protected:
    Journal journal;
};
}  // namespace

TEST_F(QorBaseTest, EveryLiveObjectIsInTheEngineListInConstructionOrder) {
    auto* a = new QorBase();
    auto* b = new QorBase();
    std::vector<QorBase*> seen;
    engine->forEachObject([&](QorBase* o) { seen.push_back(o); });
    EXPECT_EQ(seen, (std::vector<QorBase*>{a, b}));
    a->destroy();
    seen.clear();
    engine->forEachObject([&](QorBase* o) { seen.push_back(o); });
    EXPECT_EQ(seen, (std::vector<QorBase*>{b}));
    b->destroy();
}

// A purge or a device loss walks every object while font caches destroy their pages:
// the walk must survive a visit that destroys the next object, and may be nested.
TEST_F(QorBaseTest, TheWalkSurvivesVisitsThatDestroyOrMakeObjects) {
    auto* a = new QorBase();
    auto* b = new QorBase();
    auto* c = new QorBase();
    QorBase* made = nullptr;
    std::vector<QorBase*> seen;
    int inner = 0;
    engine->forEachObject([&](QorBase* o) {
        seen.push_back(o);
        if (o == a) {
            b->destroy();
            made = new QorBase();
        }
        if (o == c) engine->forEachObject([&](QorBase*) { ++inner; });
    });
    EXPECT_EQ(seen, (std::vector<QorBase*>{a, c, made}));
    EXPECT_EQ(inner, 3);
    EXPECT_EQ(engine->objectList.countChildren(), 3);
    for (QorBase* o : {a, c, made}) o->destroy();
}

TEST_F(QorBaseTest, ChildrenEndBeforeTheirParentLastToFirst) {
    auto* parent = new RecordingObject(journal, "parent");
    parent->addChild(new RecordingObject(journal, "a"));
    parent->addChild(new RecordingObject(journal, "b"));
    parent->destroy();
    EXPECT_EQ(journal, (std::vector<std::string>{"parent destroyed", "b destroyed", "a destroyed"}));
}

TEST_F(QorBaseTest, HitSearchGoesFrontToBackAndCountsHits) {
    QorBase root;
    auto* lower = new RecordingObject(journal, "lower");
    auto* upper = new RecordingObject(journal, "upper");
    lower->hit = upper->hit = true;
    root.addChild(lower);
    root.addChild(upper);
    int n = 0;
    EXPECT_EQ(root.findNthHit(n), upper);
    n = 1;
    EXPECT_EQ(root.findNthHit(n), lower);
    n = 2;
    EXPECT_EQ(root.findNthHit(n), nullptr);
}

TEST_F(QorBaseTest, NoInputHidesTheSubtreeFromHitsAndSwallowsEvents) {
    QorBase root;
    auto* blocked = new RecordingObject(journal, "blocked");
    auto* inside = new RecordingObject(journal, "inside");
    blocked->addChild(inside);
    root.addChild(blocked);
    inside->hit = true;
    blocked->bNoInput = 1;
    int n = 0;
    EXPECT_EQ(root.findNthHit(n), nullptr);
    Event e;
    EXPECT_TRUE(blocked->previewEvent(e));
    EXPECT_FALSE(blocked->bubbleEvent(e));
    EXPECT_TRUE(journal.empty());
}

TEST_F(QorBaseTest, PreviewRunsFromTheRootDownAndBubbleFromTheObjectUp) {
    RecordingObject root(journal, "root");
    auto* middle = new RecordingObject(journal, "middle");
    auto* leaf = new RecordingObject(journal, "leaf");
    root.addChild(middle);
    middle->addChild(leaf);
    Event e;
    e.code = Event::kClick;
    leaf->previewEvent(e);
    leaf->bubbleEvent(e);
    EXPECT_EQ(journal, (std::vector<std::string>{"root preview 4", "middle preview 4", "leaf preview 4",
                                                 "leaf bubble 4", "middle bubble 4", "root bubble 4"}));
}

TEST_F(QorBaseTest, AListenerReceivesTheEventsOfAnObjectThatDoesNotHandleThem) {
    RecordingObject listener(journal, "listener");
    QorBase object;
    object.listener = &listener;
    Event e;
    object.onEvent(e);
    object.onPreviewEvent(e);
    EXPECT_EQ(journal, (std::vector<std::string>{"listener event 0", "listener preview 0"}));
}

TEST_F(QorBaseTest, FindContextFindsTheNearestContextUpTheTree) {
    Context outer;
    auto* inner = new Context();
    auto* object = new QorBase();
    outer.addChild(inner);
    inner->addChild(object);
    EXPECT_EQ(object->findContext(), inner);
    EXPECT_EQ(outer.findContext(), &outer);
}

TEST_F(QorBaseTest, FindContextWithoutAnyContextIsFatal) {
    EXPECT_EXIT(
        {
            QorBase orphan;
            orphan.findContext();
        },
        ::testing::ExitedWithCode(255), "Could not find any Context object");
}

TEST_F(QorBaseTest, PropertiesNameTheObjectAndListTheStateBaseFirst) {
    QorBase object;
    PropertyContainer* properties = object.getProperties();
    const std::u16string described = properties->describe();
    EXPECT_EQ(described.substr(0, 9), u"QorBase (");
    EXPECT_NE(described.find(u")(objectUID:-1,StateBase(state:0,timeInState:0.0,stateLeft:0.0,stateGoto:0))"),
              std::u16string::npos)
        << wideToUtf8(described);
    EXPECT_EQ(properties->findChild(u"objectUID")->flags, 3u);
    auto* state = static_cast<PropertyContainer*>(properties->findChild(u"StateBase"));
    EXPECT_EQ(state->findChild(u"state")->flags, 0u);
    EXPECT_EQ(state->findChild(u"timeInState")->flags, 4u);
    EXPECT_EQ(state->findChild(u"stateLeft")->flags, 1u);
    EXPECT_EQ(state->findChild(u"stateGoto")->flags, 1u);
    state->findChild(u"state")->fromString(u"7");
    EXPECT_EQ(object.state, 7);
    properties->destroy();
}

TEST_F(QorBaseTest, NetSerialisationCarriesStateMarkerAndRegisteredChildren) {
    NetRole role(true);
    engine->pQorNetwork = new QorNetwork(true);
    engine->pQorNetwork->THEROLE = &role;
    QorBase source, unregistered, shared, noNet, target;
    role.registerObject(&shared);
    role.registerObject(&noNet);
    noNet.bNoNet = 1;
    source.addChild(&unregistered);
    source.addChild(&shared);
    source.addChild(&noNet);
    source.setState(3);
    source.timeInState = 1.0;

    Packet p(Packet::kOnlyRegisteredChildren | Packet::kClassHashes);
    source.netSerialize(p);
    // state 3, timeInState as a half float, the marker, the child bit, child 1, end.
    EXPECT_EQ(p.bytes(), (std::vector<std::uint8_t>{0x03, 0x00, 0x3C, 0xFB, 0xFC, 0xFD, 0xFE, 0x01, 0x01, 0x00}));
    p.startReading();
    target.netSerialize(p);
    EXPECT_FALSE(p.bBad);
    EXPECT_EQ(target.state, 3);
    EXPECT_EQ(target.timeInState, 1.0);
    EXPECT_EQ(target.firstChild, nullptr);  // `shared` is already in a tree: not adopted

    source.removeChild(&shared);
    p.startReading();
    target.netSerialize(p);
    EXPECT_EQ(target.firstChild, &shared);

    // A message whose marker is wrong is refused, not fatal.
    std::vector<std::uint8_t> bad = p.bytes();
    bad[3] = 0;
    Packet badPacket(Packet::kClassHashes, bad.data(), bad.size());
    QorBase other;
    other.netSerialize(badPacket);
    EXPECT_TRUE(badPacket.bBad);

    target.removeChild(&shared);
    source.removeChild(&unregistered);
    source.removeChild(&noNet);
    role.unregisterObject(&shared);
    role.unregisterObject(&noNet);
    engine->pQorNetwork->THEROLE = nullptr;
    delete engine->pQorNetwork;
    engine->pQorNetwork = nullptr;
}

TEST_F(QorBaseTest, NetSerialisationOfAChildlessObjectEndsWithOneFalseBit) {
    QorBase lone;
    Packet p(0);
    lone.netSerializeLinks(p);
    EXPECT_EQ(p.bytes(), (std::vector<std::uint8_t>{0x00}));
}
