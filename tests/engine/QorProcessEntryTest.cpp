#include <gtest/gtest.h>

#include "engine/QorProcessEntry.h"
#include "support/HeadlessEngine.h"

namespace {
class QorProcessEntryTest : public HeadlessEngine {
protected:
    void add(int id, int parentId) { root->insert(new QorProcessEntry(id, parentId, u"p")); }
    int parentOf(int id) { return static_cast<QorProcessEntry*>(root->find(id)->parent)->processId; }
    void SetUp() override {
        HeadlessEngine::SetUp();
        root = new QorProcessEntry();
    }
    void TearDown() override {
        root->destroy();
        HeadlessEngine::TearDown();
    }
    QorProcessEntry* root = nullptr;
};
}  // namespace

TEST_F(QorProcessEntryTest, ProcessesHangUnderTheirParentsOrTheRoot) {
    add(1, 0);
    add(2, 1);
    add(3, 99);  // its parent is gone
    EXPECT_EQ(parentOf(2), 1);
    EXPECT_EQ(parentOf(1), -1);
    EXPECT_EQ(parentOf(3), -1);
}

TEST_F(QorProcessEntryTest, AChildListedBeforeItsParentMovesUnderItInOrder) {
    add(5, 4);
    add(6, 4);
    add(4, 1);
    EXPECT_EQ(parentOf(5), 4);
    EXPECT_EQ(parentOf(6), 4);
    QorProcessEntry* parent = root->find(4);
    EXPECT_EQ(static_cast<QorProcessEntry*>(parent->firstChild)->processId, 5);
    EXPECT_EQ(static_cast<QorProcessEntry*>(parent->lastChild)->processId, 6);
}

TEST_F(QorProcessEntryTest, AProcessThatIsItsOwnParentGoesUnderTheRoot) {
    add(0, 0);
    EXPECT_EQ(parentOf(0), -1);
}
