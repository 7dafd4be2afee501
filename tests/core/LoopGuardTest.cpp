// The loop guard with folder identities from a table: which links lead back
// onto the current path.
#include "Packages/Common/LoopGuard.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

// R holds A; "up" and "self" in A lead to R and A, "out" leads elsewhere,
// "twin" has A's index on another volume; "gone" and "locked" cannot be read.
const std::map<std::u16string, TFolderId> kIds = {
    {u"R", {1, 10}},          {u"R\\A", {1, 11}},         {u"R\\A\\up", {1, 10}},
    {u"R\\A\\self", {1, 11}}, {u"R\\A\\out", {1, 12}},    {u"R\\A\\twin", {2, 11}},
    {u"R\\A\\B", {1, 13}},    {u"R\\A\\B\\back", {1, 11}}};

bool ReadId(const std::u16string& path, TFolderId& id) {
    const auto found = kIds.find(path);
    if (found == kIds.end())
        return false;
    id = found->second;
    return true;
}

TEST(LoopGuard, ALinkLeadsBackOnlyToAFolderOfTheCurrentPath) {
    struct TCase {
        std::vector<std::u16string> Entered;
        std::u16string Link;
        bool LeadsBack;
    };
    const TCase cases[] = {
        {{u"R", u"R\\A"}, u"R\\A\\up", true},
        {{u"R", u"R\\A"}, u"R\\A\\self", true},
        {{u"R", u"R\\A", u"R\\A\\B"}, u"R\\A\\B\\back", true},
        {{u"R", u"R\\A"}, u"R\\A\\out", false},
        // The same index on another volume is another folder.
        {{u"R", u"R\\A"}, u"R\\A\\twin", false},
        {{u"R", u"R\\A"}, u"R\\A\\gone", false},
        // A folder of the path that cannot be read is passed over.
        {{u"locked", u"R\\A"}, u"R\\A\\self", true},
        {{u"locked", u"R\\A"}, u"R\\A\\up", false},
        {{}, u"R\\A\\up", false},
    };
    for (const TCase& c : cases) {
        TLoopGuard guard(ReadId);
        for (const std::u16string& folder : c.Entered)
            guard.Enter(folder);
        EXPECT_EQ(guard.LeadsBack(c.Link), c.LeadsBack) << c.Entered.size() << " folders";
    }
}

} // namespace
