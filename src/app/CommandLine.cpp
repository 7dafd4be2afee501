#include "app/CommandLine.h"

#include <string_view>

namespace {

char16_t UpperAscii(char16_t c) {
    return c >= u'a' && c <= u'z' ? c - u'a' + u'A' : c;
}

// The accepted forms of a switch, "/X" being its first two characters.
enum class TForm : uint8_t {
    Bare,       // exactly "/X"
    WithValue,  // "/X:" and at least one more character
    WithLetter, // "/X:" and exactly one more character
    AnyTail,    // "/X" followed by anything
};

struct TSwitchRule {
    char16_t Letter;
    TForm Form;
    // Applies the switch with the text after "/X:"; false when that text is not accepted.
    bool (*Apply)(TOptions& options, std::u16string_view value);
};

bool SetPlacement(TOptions& options, std::u16string_view value) {
    options.WriteToFile = true;
    switch (UpperAscii(value[0])) {
    case u'E':
        options.Placement = plEachFile;
        return true;
    case u'R':
        options.Placement = plRoot;
        return true;
    case u'F':
        options.Placement = plEachFolder;
        return true;
    default:
        return false;
    }
}

constexpr TSwitchRule kSwitches[] = {
    {u'?', TForm::Bare, [](TOptions& o, std::u16string_view) { return o.HelpRequested = true; }},
    {u'H', TForm::Bare, [](TOptions& o, std::u16string_view) { return o.HelpRequested = true; }},
    {u'C', TForm::WithValue,
     [](TOptions& o, std::u16string_view v) {
         o.ChangedListPath = v;
         return true;
     }},
    {u'L', TForm::WithValue,
     [](TOptions& o, std::u16string_view v) {
         o.LogPath = v;
         return true;
     }},
    {u'O', TForm::Bare, [](TOptions& o, std::u16string_view) { return o.OverwriteAll = true; }},
    {u'R', TForm::Bare, [](TOptions& o, std::u16string_view) { return o.Recursive = true; }},
    {u'S', TForm::Bare,
     [](TOptions& o, std::u16string_view) { return o.Silent = o.OverwriteAll = true; }},
    {u'T', TForm::WithLetter, SetPlacement},
    {u'U', TForm::Bare, [](TOptions& o, std::u16string_view) { return o.Update = true; }},
    {u'V', TForm::AnyTail,
     [](TOptions& o, std::u16string_view) {
         o.RunMode = rmVerify;
         return true;
     }},
};

bool HasForm(std::u16string_view arg, TForm form) {
    const bool colon = arg.size() >= 3 && arg[2] == u':';
    switch (form) {
    case TForm::Bare:
        return arg.size() == 2;
    case TForm::WithValue:
        return colon && arg.size() >= 4;
    case TForm::WithLetter:
        return colon && arg.size() == 4;
    case TForm::AnyTail:
        return true;
    }
    return false;
}

// Applies a switch of at least two characters; false when its form is not accepted.
bool ApplySwitch(TOptions& options, std::u16string_view arg) {
    for (const TSwitchRule& rule : kSwitches)
        if (UpperAscii(arg[1]) == rule.Letter)
            return HasForm(arg, rule.Form) &&
                   rule.Apply(options, arg.size() > 3 ? arg.substr(3) : std::u16string_view());
    return false;
}

} // namespace

std::vector<std::u16string> SplitCommandLine(const std::u16string& commandLine) {
    std::vector<std::u16string> arguments;
    size_t i = 0;
    const size_t n = commandLine.size();
    for (;;) {
        while (i < n && commandLine[i] <= u' ')
            ++i;
        if (i >= n)
            break;
        std::u16string argument;
        bool quoted = false;
        for (; i < n && (quoted || commandLine[i] > u' '); ++i) {
            if (commandLine[i] == u'"')
                quoted = !quoted;
            else
                argument += commandLine[i];
        }
        arguments.push_back(std::move(argument));
    }
    return arguments;
}

TOptions ParseOptions(const std::vector<std::u16string>& args, size_t first, bool sourceIsFile) {
    TOptions options;
    auto invalid = [&](const std::u16string& arg) {
        if (!options.InvalidOption)
            options.InvalidOption = arg;
    };
    for (size_t i = first; i < args.size(); ++i) {
        const std::u16string& arg = args[i];
        const bool isSwitch = !arg.empty() && arg[0] == u'/';
        if (i == 2 && !isSwitch) {
            options.ListPath = arg;
            options.WriteToFile = true;
        } else if (arg.size() < 2 || !isSwitch) {
            invalid(arg);
        } else if (UpperAscii(arg[1]) == u'T' && sourceIsFile) {
            // Reported at once, whatever else is wrong.
            options.TypeNeedsFolder = true;
            return options;
        } else if (!ApplySwitch(options, arg)) {
            invalid(arg);
        }
    }
    return options;
}

bool IsSilentSwitch(const std::u16string& arg) {
    return arg == u"/S" || arg == u"/s";
}
