// UTF-8 forms of wide text, both ways.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The bytes that begin a file of UTF-8 text (a list or a log) that says so.
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// Unpaired surrogates become U+FFFD.
std::string WideToUtf8(std::u16string_view text);
// Ill-formed parts become U+FFFD (see TUtf8Decoder).
std::u16string Utf8ToWide(std::string_view text);

// Decodes UTF-8 a byte at a time, so that text split anywhere decodes the
// same. Each ill-formed part (a stray or missing continuation byte, an
// overlong form, a surrogate, a value past U+10FFFF) becomes one U+FFFD.
class TUtf8Decoder {
public:
    // Appends to out the units that byte completes.
    void Put(uint8_t byte, std::u16string& out);
    // Ends the text: an unfinished sequence becomes U+FFFD.
    void Finish(std::u16string& out);
    // True while a sequence is unfinished (Finish would add one unit).
    bool Pending() const { return needed_ != 0; }
    // True once an ill-formed part has been replaced.
    bool IllFormed() const { return illFormed_; }

private:
    void Reset();
    void Replace(std::u16string& out);

    char32_t code_ = 0;
    uint8_t needed_ = 0;
    uint8_t seen_ = 0;
    uint8_t lower_ = 0x80;
    uint8_t upper_ = 0xBF;
    bool illFormed_ = false;
};

// Tells whether bytes fed in pieces of any size are well-formed UTF-8.
class TUtf8Check {
public:
    // Takes the next bytes; false once they are known not to be UTF-8.
    bool Put(const uint8_t* data, size_t size);
    // True when every byte put so far is UTF-8 and no sequence is unfinished.
    bool WellFormed() const { return !decoder_.IllFormed() && !decoder_.Pending(); }

private:
    TUtf8Decoder decoder_;
    std::u16string units_; // what the decoder gives, dropped after each piece
};
