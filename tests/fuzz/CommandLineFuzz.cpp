// Fuzz target of the command line: the splitting and the switches read from
// it as the set-up reads them. Bytes are characters; 0xFF and the two bytes
// after it make any UTF-16 unit. The first byte says whether the source is a
// file. Beyond the sanitizers' checks: quoting each argument and splitting
// again gives the same arguments, and what the switches report was given.
#include "app/CommandLine.h"

#include <algorithm>
#include <cstdlib>

namespace {

std::u16string Characters(const uint8_t* data, size_t size) {
    std::u16string text;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0xFF && i + 2 < size) {
            text += char16_t(data[i + 1] << 8 | data[i + 2]);
            i += 2;
        } else {
            text += char16_t(data[i]);
        }
    }
    return text;
}

void Check(bool holds) {
    if (!holds)
        std::abort();
}

void CheckSplit(const std::u16string& line, const std::vector<std::u16string>& args) {
    std::u16string quoted;
    size_t units = 0;
    for (const std::u16string& arg : args) {
        Check(arg.find(u'"') == std::u16string::npos);
        quoted += u" \"" + arg + u"\"";
        units += arg.size();
    }
    Check(units <= line.size());
    Check(SplitCommandLine(quoted) == args);
}

bool IsArgumentFrom(const std::vector<std::u16string>& args, size_t first,
                    const std::u16string& text) {
    return std::find(args.begin() + std::min(first, args.size()), args.end(), text) != args.end();
}

// True when an argument from first on is "/X:value", X being letter in either case.
bool WasGiven(const std::vector<std::u16string>& args, size_t first, char16_t letter,
              const std::u16string& value) {
    const char16_t lower = letter - u'A' + u'a';
    return IsArgumentFrom(args, first, std::u16string{u'/', letter, u':'} + value) ||
           IsArgumentFrom(args, first, std::u16string{u'/', lower, u':'} + value);
}

void CheckOptions(const std::vector<std::u16string>& args, size_t first, bool sourceIsFile) {
    const TOptions o = ParseOptions(args, first, sourceIsFile);
    Check(o.Placement == plNone || o.WriteToFile);
    Check(!o.Silent || o.OverwriteAll);
    Check(!o.TypeNeedsFolder || sourceIsFile);
    Check(o.ListPath.empty() || (first <= 2 && o.ListPath == args.at(2)));
    Check(!o.InvalidOption || IsArgumentFrom(args, first, *o.InvalidOption));
    Check(o.ChangedListPath.empty() || WasGiven(args, first, u'C', o.ChangedListPath));
    Check(o.LogPath.empty() || WasGiven(args, first, u'L', o.LogPath));
    Check(!o.Update || IsArgumentFrom(args, first, u"/U") || IsArgumentFrom(args, first, u"/u"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const bool sourceIsFile = (data[0] & 1) != 0;
    const std::u16string line = Characters(data + 1, size - 1);
    const std::vector<std::u16string> args = SplitCommandLine(line);
    CheckSplit(line, args);
    if (args.size() >= 2) {
        // The set-up reads switches from argument 1 when no Path is given.
        const size_t first = !args[1].empty() && args[1][0] == u'/' ? 1 : 2;
        CheckOptions(args, first, sourceIsFile);
    }
    return 0;
}
