#include "console/OutputCheck.h"
#include "Packages/Files/FileFunc.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

// Only the cases that ask nothing: the questions are driven in a real
// console by the end-to-end tests, whose messages also show folders and
// missing drives refused.
class OutputCheck : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / "tallix-output-check";
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::u16string Path(const char* relative) { return (dir_ / relative).u16string(); }
    fs::path dir_;
};

TEST_F(OutputCheck, ANewFileIsAllowedAndTheProbeLeavesNothingBehind) {
    EXPECT_TRUE(CheckOutputFileSimple(Path("new.md5"), false));
    EXPECT_FALSE(fs::exists(dir_ / "new.md5"));
}

TEST_F(OutputCheck, AnExistingFileIsKeptAndReplacedSilentlyWhenAllowed) {
    std::ofstream(dir_ / "old.md5") << "keep";
    EXPECT_TRUE(CheckOutputFileSimple(Path("old.md5"), true));
    std::ifstream in(dir_ / "old.md5");
    std::string content;
    in >> content;
    EXPECT_EQ(content, "keep");
}

TEST_F(OutputCheck, MissingFoldersAreCreatedSilentlyOnRequest) {
    bool offerAll = true;
    EXPECT_TRUE(CheckOutputFile(Path("a\\b\\c\\list.md5"), false, offerAll, true));
    EXPECT_TRUE(fs::is_directory(dir_ / "a" / "b" / "c"));
    EXPECT_FALSE(fs::exists(dir_ / "a" / "b" / "c" / "list.md5"));
    EXPECT_TRUE(offerAll);
}

} // namespace
