#include "Packages/Common/Masks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct TMaskLog {
    int changed = 0;
    std::vector<bool> wasEmpty;

    void Attach(TMasks& masks) {
        masks.OnChanged = [this](TMasks* sender) {
            ++changed;
            wasEmpty.push_back(sender->WasEmpty());
        };
    }
};

TEST(Masks, AddKeepsTheTextsAndAnnouncesThem) {
    TMasks masks(nullptr);
    TMaskLog log;
    log.Attach(masks);
    masks.Add("*.txt;*.doc");
    masks.Add("*.bak");
    EXPECT_EQ(masks.Text(), "*.txt;*.doc;*.bak");
    EXPECT_EQ(log.changed, 2);

    // Texts that yield no mask change nothing at all.
    masks.Add("");
    masks.Add(";");
    EXPECT_EQ(masks.Text(), "*.txt;*.doc;*.bak");
    EXPECT_EQ(log.changed, 2);
}

TEST(Masks, ClearAnnouncesItselfAndTellsWhetherTheListWasEmpty) {
    TMasks masks(nullptr);
    TMaskLog log;
    log.Attach(masks);
    masks.Clear();
    masks.Add("*.txt");
    masks.Clear();
    EXPECT_EQ(log.changed, 3);
    EXPECT_EQ(log.wasEmpty, (std::vector<bool>{true, false, false}));
    EXPECT_FALSE(masks.WasEmpty());
    EXPECT_TRUE(masks.Text().empty());
}

} // namespace
