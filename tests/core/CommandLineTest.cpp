#include "app/CommandLine.h"
#include "console/Text.h"

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

// What a parse found, in a line: the fields that differ from the defaults.
std::string Describe(const TOptions& o) {
    auto text = [](const std::u16string& s) { return std::string(s.begin(), s.end()); };
    std::string d;
    auto add = [&](bool on, const std::string& what) {
        if (on)
            d += (d.empty() ? "" : " ") + what;
    };
    add(!o.ListPath.empty(), "file=" + text(o.ListPath));
    add(!o.ChangedListPath.empty(), "changed=" + text(o.ChangedListPath));
    add(!o.LogPath.empty(), "log=" + text(o.LogPath));
    add(o.Placement != plNone, "placement=" + std::to_string(o.Placement));
    add(o.RunMode != rmCalculate, "verify");
    add(o.WriteToFile, "lists");
    add(o.OverwriteAll, "overwrite");
    add(o.Recursive, "recursive");
    add(o.Update, "update");
    add(o.Silent, "silent");
    add(o.HelpRequested, "help");
    add(o.InvalidOption.has_value(), "invalid=" + text(o.InvalidOption.value_or(u"")));
    add(o.TypeNeedsFolder, "type-needs-folder");
    return d;
}

// Arguments from index 2 after a folder Path; the File may stand only there.
TEST(ParseOptions, ReadsEachSwitchInItsAcceptedFormOnly) {
    const std::pair<Args, std::string> cases[] = {
        {{u"sums.md5", u"/r", u"/o"}, "file=sums.md5 lists overwrite recursive"},
        {{u"/t:f", u"/R"}, "placement=4 lists recursive"},
        {{u"/T:E"}, "placement=1 lists"},
        {{u"/T:r"}, "placement=2 lists"},
        {{u"/T:r", u"/u"}, "placement=2 lists update"},
        {{u"/Up"}, "invalid=/Up"},
        {{u"/Verify", u"/C:ch.txt", u"/l:log.txt"}, "changed=ch.txt log=log.txt verify"},
        {{u"/v"}, "verify"},
        {{u"/S"}, "overwrite silent"},
        {{u"/vx"}, "verify"},
        {{u"/H"}, "help"},
        {{u"/?", u"/X", u"/Y"}, "help invalid=/X"},
        // A wrong letter after /T: still asks for lists.
        {{u"/T:X"}, "lists invalid=/T:X"},
        {{u"/T:", u"/T:EE"}, "invalid=/T:"},
        {{u"/T:EE"}, "invalid=/T:EE"},
        {{u"/RR"}, "invalid=/RR"},
        {{u"/O1"}, "invalid=/O1"},
        {{u"/C:"}, "invalid=/C:"},
        {{u"/L:"}, "invalid=/L:"},
        {{u"/C"}, "invalid=/C"},
        {{u"/T"}, "invalid=/T"},
        {{u"/SS"}, "invalid=/SS"},
        {{u"/H1"}, "invalid=/H1"},
        {{u"/"}, "invalid=/"},
        {{u"/R", u""}, "recursive invalid="},
        // Only "/" starts a switch; a third argument is never the File.
        {{u"-R", u"-R"}, "file=-R lists invalid=-R"},
        {{u"/R", u"sums.md5"}, "recursive invalid=sums.md5"},
    };
    for (const auto& [tail, expected] : cases) {
        Args args{u"tallix.exe", u"C:\\Data"};
        args.insert(args.end(), tail.begin(), tail.end());
        EXPECT_EQ(Describe(ParseOptions(args, 2, false)), expected);
    }
}

TEST(ParseOptions, StopsAtATypeSwitchForASingleFile) {
    EXPECT_EQ(Describe(ParseOptions({u"x", u"C:\\a.txt", u"/X", u"/t:e", u"/R"}, 2, true)),
              "invalid=/X type-needs-folder")
        << "nothing after the violation is read";
    EXPECT_EQ(Describe(ParseOptions({u"x", u"C:\\a.txt", u"sums.md5", u"/t", u"/?"}, 2, true)),
              "file=sums.md5 lists type-needs-folder")
        << "not even help";
    EXPECT_EQ(Describe(ParseOptions({u"x", u"/R", u"list.md5"}, 1, false)),
              "file=list.md5 lists recursive")
        << "the File of a command line that starts with a switch";
}

TEST(MessageFormats, FillOnlyThePlaceholders) {
    EXPECT_EQ(FormatText("Invalid option \"%s\".", "/%s"), "Invalid option \"/%s\".");
    EXPECT_EQ(FormatText("file %s, line %s (%s%)", {"%s.md5", "2"}), "file %s.md5, line 2 (%s%)");
    EXPECT_EQ(ReplaceAll("%0:s a %0:s", "%0:s", "TALLIX"), "TALLIX a TALLIX");
}

} // namespace
