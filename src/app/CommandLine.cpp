#include "app/CommandLine.h"

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
