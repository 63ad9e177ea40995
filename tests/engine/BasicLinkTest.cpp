#include <gtest/gtest.h>

#include <vector>

#include "engine/BasicLink.h"

namespace {
std::vector<BasicLink*> children(const BasicLink& parent) {
    std::vector<BasicLink*> list;
    for (BasicLink* c = parent.firstChild; c; c = c->next) {
        EXPECT_EQ(c->parent, &parent);
        list.push_back(c);
    }
    // The chain must read the same backwards.
    std::vector<BasicLink*> backwards;
    for (BasicLink* c = parent.lastChild; c; c = c->prev) backwards.insert(backwards.begin(), c);
    EXPECT_EQ(list, backwards);
    return list;
}

struct CountedNode : BasicLink {
    explicit CountedNode(std::vector<int>& log_, int id_) : log(log_), id(id_) {}
    ~CountedNode() override { log.push_back(id); }
    std::vector<int>& log;
    int id;
};
}  // namespace

TEST(BasicLink, InsertionsKeepTheChainConsistentAtBothEnds) {
    BasicLink root;
    auto *a = new BasicLink, *b = new BasicLink, *c = new BasicLink, *d = new BasicLink;
    root.addChild(b);
    root.addChildFirst(a);
    root.addChild(d);
    root.insertChildAfter(c, b);
    EXPECT_EQ(children(root), (std::vector<BasicLink*>{a, b, c, d}));
    EXPECT_EQ(root.countChildren(), 4);
}

TEST(BasicLink, InsertAfterLastOrNullOnEmptyListAppends) {
    BasicLink root;
    auto *a = new BasicLink, *b = new BasicLink;
    root.insertChildAfter(a, nullptr);
    root.insertChildAfter(b, a);
    EXPECT_EQ(children(root), (std::vector<BasicLink*>{a, b}));
}

TEST(BasicLink, RemovingMovesTheEndsToTheNeighbours) {
    BasicLink root;
    auto *a = new BasicLink, *b = new BasicLink, *c = new BasicLink;
    root.addChild(a);
    root.addChild(b);
    root.addChild(c);
    root.removeChild(a);
    EXPECT_EQ(children(root), (std::vector<BasicLink*>{b, c}));
    EXPECT_EQ(a->parent, nullptr);
    root.removeChild(c);
    EXPECT_EQ(children(root), (std::vector<BasicLink*>{b}));
    root.removeChild(b);
    EXPECT_EQ(root.firstChild, nullptr);
    EXPECT_EQ(root.lastChild, nullptr);
    // A removed node may be inserted again anywhere.
    root.addChild(c);
    root.addChildFirst(a);
    root.insertChildAfter(b, a);
    EXPECT_EQ(children(root), (std::vector<BasicLink*>{a, b, c}));
}

TEST(BasicLink, DeletingChildrenGoesLastToFirstAndLeavesTheListEmpty) {
    std::vector<int> log;
    BasicLink root;
    for (int i = 0; i < 3; ++i) root.addChild(new CountedNode(log, i));
    root.deleteChildren();
    EXPECT_EQ(log, (std::vector<int>{2, 1, 0}));
    EXPECT_EQ(root.firstChild, nullptr);
    EXPECT_EQ(root.lastChild, nullptr);
}

TEST(BasicLink, DestroyingANodeUnlinksItAndDestroysItsSubtree) {
    std::vector<int> log;
    BasicLink root;
    auto* middle = new CountedNode(log, 1);
    root.addChild(new CountedNode(log, 0));
    root.addChild(middle);
    root.addChild(new CountedNode(log, 2));
    middle->addChild(new CountedNode(log, 10));
    middle->addChild(new CountedNode(log, 11));
    middle->destroy();
    EXPECT_EQ(log, (std::vector<int>{1, 11, 10}));
    ASSERT_EQ(root.countChildren(), 2);
    EXPECT_EQ(root.firstChild->next, root.lastChild);
}
