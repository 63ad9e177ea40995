#include <gtest/gtest.h>

#include "engine/Link.h"
#include "support/HeadlessEngine.h"
#include "support/Recorder.h"

namespace {
// An object holding a weak link, as game objects do.
class Holder : public RecordingObject {
public:
    Holder(Journal& j, std::string n) : RecordingObject(j, std::move(n)) {}
    Link link{this};
};

using LinkTest = HeadlessEngine;
}  // namespace

TEST_F(LinkTest, DestroyingTheTargetClearsEveryLinkAndTellsEachOwnerInOrder) {
    Journal journal;
    auto* target = new QorBase();
    Holder first(journal, "first"), second(journal, "second"), third(journal, "third");
    second.link.set(target);
    first.link.set(target);
    third.link.set(target);
    target->destroy();
    EXPECT_EQ(first.link.get(), nullptr);
    EXPECT_EQ(second.link.get(), nullptr);
    EXPECT_EQ(third.link.get(), nullptr);
    EXPECT_EQ(journal, (std::vector<std::string>{"second event 0", "first event 0", "third event 0"}));
}

TEST_F(LinkTest, SettingTheSameTargetOrNullTwiceSendsNothing) {
    Journal journal;
    QorBase target;
    Holder holder(journal, "holder");
    holder.link.set(nullptr);
    holder.link.set(&target);
    holder.link.set(&target);
    EXPECT_TRUE(journal.empty());
    EXPECT_EQ(target.referrers.countChildren(), 1);
}

TEST_F(LinkTest, ClearingALinkRoutesTheEventThroughTheOwnersParents) {
    Journal journal;
    QorBase target;
    RecordingObject parent(journal, "parent");
    auto* holder = new Holder(journal, "holder");
    parent.addChild(holder);
    holder->link.set(&target);
    holder->link.set(nullptr);
    EXPECT_EQ(journal, (std::vector<std::string>{"parent preview 0", "holder event 0", "parent bubble 0"}));
}

TEST_F(LinkTest, ALinkThatDiesFirstLeavesTheTargetsReferrerList) {
    QorBase target;
    {
        Link link;
        link.set(&target);
        EXPECT_EQ(target.referrers.countChildren(), 1);
    }
    EXPECT_EQ(target.referrers.countChildren(), 0);
}
