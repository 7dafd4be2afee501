#include "console/Text.h"

std::string FormatText(std::string_view format, std::initializer_list<std::string_view> values) {
    std::string result;
    for (std::string_view value : values) {
        const size_t at = format.find("%s");
        if (at == std::string_view::npos)
            break;
        result += format.substr(0, at);
        result += value;
        format.remove_prefix(at + 2);
    }
    result += format;
    return result;
}

std::string FormatText(std::string_view format, std::string_view value) {
    return FormatText(format, {value});
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
