#include "Packages/Common/Masks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct TMaskLog {
    std::vector<std::string> changes; // "op:mask"
    int changed = 0;
    std::vector<bool> wasEmpty;

    void Attach(TMasks& masks) {
        masks.OnMaskChange = [this](TMasks*, const std::string& mask, TMaskOperation op) {
            changes.push_back(std::to_string(op) + ":" + mask);
        };
        masks.OnChanged = [this](TMasks* sender) {
            ++changed;
            wasEmpty.push_back(sender->WasEmpty());
        };
    }
};

TEST(Masks, AddKeepsTheTextsAndAnnouncesEachMask) {
    TMasks masks(nullptr);
    TMaskLog log;
    log.Attach(masks);
    masks.Add("*.txt;*.doc");
    masks.Add("*.bak");
    EXPECT_EQ(masks.Text(), "*.txt;*.doc;*.bak");
    EXPECT_EQ(log.changes, (std::vector<std::string>{"0:*.txt", "0:*.doc", "0:*.bak"}));
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
    EXPECT_EQ(log.changes, (std::vector<std::string>{"2:", "0:*.txt", "2:"}));
    EXPECT_EQ(log.wasEmpty, (std::vector<bool>{true, false, false}));
    EXPECT_FALSE(masks.WasEmpty());
    EXPECT_TRUE(masks.Text().empty());
}

} // namespace
