#include "console/Text.h"

std::string FormatText(std::string_view format, std::string_view value) {
    const size_t at = format.find("%s");
    if (at == std::string_view::npos)
        return std::string(format);
    std::string result(format.substr(0, at));
    result += value;
    result += format.substr(at + 2);
    return result;
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    std::string result;
    size_t start = 0;
    for (size_t at = text.find(from); at != std::string_view::npos; at = text.find(from, start)) {
        result += text.substr(start, at - start);
        result += to;
        start = at + from.size();
    }
    result += text.substr(start);
    return result;
}
