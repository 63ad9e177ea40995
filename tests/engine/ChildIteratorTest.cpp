#include <gtest/gtest.h>

#include "engine/BasicLink.h"
#include "engine/ChildIterator.h"
#include "support/HeadlessEngine.h"
#include "support/Recorder.h"

namespace {
std::vector<std::string> visit(BasicLink& owner, std::uint32_t mode) {
    std::vector<std::string> names;
    for (ChildIterator it(&owner, mode); !it.done; it.next())
        names.push_back(static_cast<RecordingObject*>(it.current)->name);
    return names;
}

class ChildIteratorTest : public HeadlessEngine {
protected:
    RecordingObject* add(const std::string& name) {
        auto* o = new RecordingObject(journal, name);
        root->addChild(o);
        return o;
    }
    void SetUp() override {
        HeadlessEngine::SetUp();
        root = new QorBase();
    }
    void TearDown() override {
        root->destroy();
        HeadlessEngine::TearDown();
    }
    Journal journal;
    QorBase* root = nullptr;
};
}  // namespace

TEST_F(ChildIteratorTest, WalksForwardBackwardAndPassesOverSkippedAndPendingNodes) {
    add("a");
    add("b")->skip = 1;
    add("c")->pendingDelete = 1;
    add("d");
    EXPECT_EQ(visit(*root, 0), (std::vector<std::string>{"a", "d"}));
    EXPECT_EQ(visit(*root, ChildIterator::kBackwards), (std::vector<std::string>{"d", "a"}));
    EXPECT_EQ(visit(*root, ChildIterator::kVisitSkipped), (std::vector<std::string>{"a", "b", "d"}));
    // Read-only walks never destroy anything.
    EXPECT_EQ(root->countChildren(), 4);
    EXPECT_TRUE(journal.empty());
}

TEST_F(ChildIteratorTest, AWalkOverOnlyPendingOrSkippedChildrenEndsAtOnce) {
    add("a")->pendingDelete = 1;
    add("b")->skip = 1;
    ChildIterator it(root, 0);
    EXPECT_TRUE(it.done);
    EXPECT_EQ(it.current, nullptr);
}

TEST_F(ChildIteratorTest, DeletingWalkDestroysPendingChildrenAsItPasses) {
    add("a");
    add("b")->pendingDelete = 1;
    add("c");
    EXPECT_EQ(visit(*root, ChildIterator::kDestroyPending), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(journal, (std::vector<std::string>{"b destroyed"}));
    EXPECT_EQ(root->countChildren(), 2);
}

TEST_F(ChildIteratorTest, AChildFlaggingItselfDuringItsTickIsDestroyedBeforeTheNextIsVisited) {
    add("a")->flagSelfOnTick = true;
    add("b");
    root->tick(0.0, 0.1);
    EXPECT_EQ(journal, (std::vector<std::string>{"a tick", "a destroyed", "b tick"}));
}

TEST_F(ChildIteratorTest, TheCurrentChildMayBeRemovedDuringItsVisit) {
    RecordingObject* a = add("a");
    add("b");
    std::vector<std::string> seen;
    for (ChildIterator it(root, ChildIterator::kDestroyPending); !it.done; it.next()) {
        seen.push_back(static_cast<RecordingObject*>(it.current)->name);
        if (it.current == a) root->removeChild(a);
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(root->countChildren(), 1);
    a->destroy();
}
