#include "app/CommandLine.h"
#include "app/ExitCodes.h"
#include "app/Text.h"

#include <gtest/gtest.h>

namespace {

using Args = std::vector<std::u16string>;

TEST(SplitCommandLine, SeparatesByBlanksAndGroupsByQuotes) {
    EXPECT_EQ(SplitCommandLine(u"tallix.exe  C:\\Data\t/R "),
              (Args{u"tallix.exe", u"C:\\Data", u"/R"}));
    EXPECT_EQ(SplitCommandLine(u"\"C:\\Program Files\\tallix.exe\" \"C:\\My Data\\\" /T:F"),
              (Args{u"C:\\Program Files\\tallix.exe", u"C:\\My Data\\", u"/T:F"}))
        << "a backslash before a quote escapes nothing";
    EXPECT_EQ(SplitCommandLine(u"x C:\\My\" \"Data\\a b\"c\""),
              (Args{u"x", u"C:\\My Data\\a", u"bc"}));
    EXPECT_EQ(SplitCommandLine(u"x \"\" /S"), (Args{u"x", u"", u"/S"}));
    EXPECT_EQ(SplitCommandLine(u"x \"unclosed arg"), (Args{u"x", u"unclosed arg"}));
    EXPECT_EQ(SplitCommandLine(u"   "), Args{});
}

TEST(ExitCodeText, NamesEachBitInOrder) {
    EXPECT_EQ(ExitCodeText(0), "");
    EXPECT_EQ(ExitCodeText(6), "Scan error|Read error");
    EXPECT_EQ(ExitCodeText(1536), "Nothing to verify|File parse error");
    EXPECT_EQ(ExitCodeText(2048), "Can`t create a log file");
    EXPECT_EQ(ExitCodeText(1 | 16 | 32 | 64 | 128 | 256),
              "Failure|Can`t write result|Can`t write some results|Not enough params|Wrong "
              "params|Params violation");
    EXPECT_EQ(ExitCodeText(4096), "") << "no name beyond the last bit";
}

TEST(MessageFormats, FillOnlyThePlaceholders) {
    EXPECT_EQ(FormatText("Invalid option \"%s\".", "/%s"), "Invalid option \"/%s\".");
    EXPECT_EQ(ReplaceAll("%0:s a %0:s", "%0:s", "TALLIX"), "TALLIX a TALLIX");
}

} // namespace
