#include "console/OutputCheck.h"
#include "Packages/Files/FileFunc.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

// Only the cases that ask nothing: the questions are driven in a real
// console by the end-to-end tests, whose messages also show folders and
// missing drives refused. The probe leaves nothing behind and an existing
// file as it was.
TEST(OutputCheck, AllowsNewAndExistingFilesCreatesFoldersOnRequestAndSaysWhyItRefuses) {
    const fs::path dir = fs::temp_directory_path() / "tallix-output-check";
    fs::remove_all(dir);
    fs::create_directories(dir);
    EXPECT_TRUE(CheckOutputFileSimple((dir / "new.md5").u16string(), false));
    EXPECT_FALSE(fs::exists(dir / "new.md5"));

    std::ofstream(dir / "old.md5") << "keep";
    EXPECT_TRUE(CheckOutputFileSimple((dir / "old.md5").u16string(), true));
    std::string content;
    std::ifstream(dir / "old.md5") >> content;
    EXPECT_EQ(content, "keep");

    bool offerAll = true;
    EXPECT_TRUE(CheckOutputFile((dir / "a\\b\\c\\list.md5").u16string(), false, offerAll, true));
    EXPECT_TRUE(fs::is_directory(dir / "a" / "b" / "c"));
    EXPECT_FALSE(fs::exists(dir / "a" / "b" / "c" / "list.md5"));
    EXPECT_TRUE(offerAll);

    // Refusals that ask nothing say why: the caller reports them later.
    const TOutputCheckResult folder = CheckOutputPath(dir.u16string(), true, offerAll, false);
    EXPECT_EQ(folder.Verdict, ovFolder);
    const TOutputCheckResult drive = CheckOutputPath(u"J:\\x\\c.txt", true, offerAll, false);
    EXPECT_EQ(drive.Verdict, ovFailed);
    EXPECT_EQ(drive.ErrorCode, 15u);
    fs::remove_all(dir);
}

} // namespace
