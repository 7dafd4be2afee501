#include "system/Utf8.h"

namespace {

void Append(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool IsHigh(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLow(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

} // namespace

std::string WideToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (IsHigh(c) && i + 1 < text.size() && IsLow(text[i + 1])) {
            Append(out, 0x10000 + ((char32_t(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (IsHigh(c) || IsLow(c)) {
            Append(out, 0xFFFD);
        } else {
            Append(out, c);
        }
    }
    return out;
}

void TUtf8Decoder::Reset() {
    code_ = 0;
    needed_ = seen_ = 0;
    lower_ = 0x80;
    upper_ = 0xBF;
}

void TUtf8Decoder::Put(uint8_t byte, std::u16string& out) {
    if (needed_ == 0) {
        if (byte < 0x80) {
            out += static_cast<char16_t>(byte);
        } else if (byte >= 0xC2 && byte <= 0xDF) {
            needed_ = 1;
            code_ = byte & 0x1F;
        } else if (byte >= 0xE0 && byte <= 0xEF) {
            // The second byte's range rules out overlong forms and surrogates.
            lower_ = byte == 0xE0 ? 0xA0 : 0x80;
            upper_ = byte == 0xED ? 0x9F : 0xBF;
            needed_ = 2;
            code_ = byte & 0x0F;
        } else if (byte >= 0xF0 && byte <= 0xF4) {
            lower_ = byte == 0xF0 ? 0x90 : 0x80;
            upper_ = byte == 0xF4 ? 0x8F : 0xBF;
            needed_ = 3;
            code_ = byte & 0x07;
        } else {
            Replace(out);
        }
        return;
    }
    if (byte < lower_ || byte > upper_) {
        // The broken sequence is replaced; the byte may begin the next one.
        Reset();
        Replace(out);
        Put(byte, out);
        return;
    }
    lower_ = 0x80;
    upper_ = 0xBF;
    code_ = (code_ << 6) | (byte & 0x3F);
    if (++seen_ < needed_)
        return;
    if (code_ >= 0x10000) {
        out += static_cast<char16_t>(0xD800 + ((code_ - 0x10000) >> 10));
        out += static_cast<char16_t>(0xDC00 + ((code_ - 0x10000) & 0x3FF));
    } else {
        out += static_cast<char16_t>(code_);
    }
    Reset();
}

void TUtf8Decoder::Finish(std::u16string& out) {
    if (needed_ != 0)
        Replace(out);
    Reset();
}

std::u16string Utf8ToWide(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    TUtf8Decoder decoder;
    for (const char c : text)
        decoder.Put(static_cast<uint8_t>(c), out);
    decoder.Finish(out);
    return out;
}

void TUtf8Decoder::Replace(std::u16string& out) {
    out += u'\xFFFD';
    illFormed_ = true;
}

bool TUtf8Check::Put(const uint8_t* data, size_t size) {
    // ASCII between sequences decodes to itself: only the rest is looked at.
    for (const uint8_t* p = data; p != data + size && !decoder_.IllFormed(); ++p)
        if (*p >= 0x80 || decoder_.Pending())
            decoder_.Put(*p, units_);
    units_.clear();
    return !decoder_.IllFormed();
}
