#include "console/OutputCheck.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

// Without a question (/S) a missing folder of a list is created and the
// probe leaves no file in it. (The questions, the refusals and an existing
// list left as it was are driven end to end.)
TEST(OutputCheck, CreatesTheMissingFoldersOfAListWithoutAsking) {
    const fs::path dir = fs::temp_directory_path() / "tallix-output-check";
    fs::remove_all(dir);
    bool offerAll = true;
    EXPECT_TRUE(CheckOutputFile((dir / "a\\b\\list.md5").u16string(), false, offerAll, true));
    EXPECT_TRUE(fs::is_directory(dir / "a" / "b"));
    EXPECT_FALSE(fs::exists(dir / "a" / "b" / "list.md5"));
    fs::remove_all(dir);
}

} // namespace
