#include "engine/LxHash.h"

#include "Packages/Common/Assertion.h"

#include <bit>
#include <cstring>

// The state words are the digest bytes as they lie in memory.
static_assert(std::endian::native == std::endian::little);

namespace {

// Message word i of a block, read little-endian.
uint32_t Word(const uint8_t* block, int i) {
    uint32_t word;
    std::memcpy(&word, block + 4 * i, sizeof word);
    return word;
}

// Stops the compiler from re-associating a sum: the steps below add the
// message word and constant to a before the round function, so that only
// the round function, one addition, the rotation and the addition of b
// wait for b, the result of the step before. Left alone, the compiler
// tends to fold the round function in first and lengthen that chain.
inline void Hold(uint32_t& value) {
    asm("" : "+r"(value));
}

template <int S> void StepF(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t xk) {
    a += xk;
    Hold(a);
    a += d ^ (b & (c ^ d));
    a = std::rotl(a, S) + b;
}

// (b & d) | (c & ~d) as two additions: the half without b is added first.
template <int S> void StepG(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t xk) {
    a += xk;
    a += ~d & c;
    Hold(a);
    a += d & b;
    a = std::rotl(a, S) + b;
}

// c ^ d does not wait for b.
template <int S> void StepH(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t xk) {
    a += xk;
    Hold(a);
    a += b ^ (c ^ d);
    a = std::rotl(a, S) + b;
}

// ~d does not wait for b.
template <int S> void StepI(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t xk) {
    a += xk;
    Hold(a);
    a += c ^ (b | ~d);
    a = std::rotl(a, S) + b;
}

void Md5Block(uint32_t state[4], const uint8_t* x) {
    uint32_t a = state[0];
    uint32_t b = state[1];
    uint32_t c = state[2];
    uint32_t d = state[3];

    StepF<7>(a, b, c, d, Word(x, 0) + 0xD76AA478);
    StepF<12>(d, a, b, c, Word(x, 1) + 0xE8C7B756);
    StepF<17>(c, d, a, b, Word(x, 2) + 0x242070DB);
    StepF<22>(b, c, d, a, Word(x, 3) + 0xC1BDCEEE);
    StepF<7>(a, b, c, d, Word(x, 4) + 0xF57C0FAF);
    StepF<12>(d, a, b, c, Word(x, 5) + 0x4787C62A);
    StepF<17>(c, d, a, b, Word(x, 6) + 0xA8304613);
    StepF<22>(b, c, d, a, Word(x, 7) + 0xFD469501);
    StepF<7>(a, b, c, d, Word(x, 8) + 0x698098D8);
    StepF<12>(d, a, b, c, Word(x, 9) + 0x8B44F7AF);
    StepF<17>(c, d, a, b, Word(x, 10) + 0xFFFF5BB1);
    StepF<22>(b, c, d, a, Word(x, 11) + 0x895CD7BE);
    StepF<7>(a, b, c, d, Word(x, 12) + 0x6B901122);
    StepF<12>(d, a, b, c, Word(x, 13) + 0xFD987193);
    StepF<17>(c, d, a, b, Word(x, 14) + 0xA679438E);
    StepF<22>(b, c, d, a, Word(x, 15) + 0x49B40821);

    StepG<5>(a, b, c, d, Word(x, 1) + 0xF61E2562);
    StepG<9>(d, a, b, c, Word(x, 6) + 0xC040B340);
    StepG<14>(c, d, a, b, Word(x, 11) + 0x265E5A51);
    StepG<20>(b, c, d, a, Word(x, 0) + 0xE9B6C7AA);
    StepG<5>(a, b, c, d, Word(x, 5) + 0xD62F105D);
    StepG<9>(d, a, b, c, Word(x, 10) + 0x02441453);
    StepG<14>(c, d, a, b, Word(x, 15) + 0xD8A1E681);
    StepG<20>(b, c, d, a, Word(x, 4) + 0xE7D3FBC8);
    StepG<5>(a, b, c, d, Word(x, 9) + 0x21E1CDE6);
    StepG<9>(d, a, b, c, Word(x, 14) + 0xC33707D6);
    StepG<14>(c, d, a, b, Word(x, 3) + 0xF4D50D87);
    StepG<20>(b, c, d, a, Word(x, 8) + 0x455A14ED);
    StepG<5>(a, b, c, d, Word(x, 13) + 0xA9E3E905);
    StepG<9>(d, a, b, c, Word(x, 2) + 0xFCEFA3F8);
    StepG<14>(c, d, a, b, Word(x, 7) + 0x676F02D9);
    StepG<20>(b, c, d, a, Word(x, 12) + 0x8D2A4C8A);

    StepH<4>(a, b, c, d, Word(x, 5) + 0xFFFA3942);
    StepH<11>(d, a, b, c, Word(x, 8) + 0x8771F681);
    StepH<16>(c, d, a, b, Word(x, 11) + 0x6D9D6122);
    StepH<23>(b, c, d, a, Word(x, 14) + 0xFDE5380C);
    StepH<4>(a, b, c, d, Word(x, 1) + 0xA4BEEA44);
    StepH<11>(d, a, b, c, Word(x, 4) + 0x4BDECFA9);
    StepH<16>(c, d, a, b, Word(x, 7) + 0xF6BB4B60);
    StepH<23>(b, c, d, a, Word(x, 10) + 0xBEBFBC70);
    StepH<4>(a, b, c, d, Word(x, 13) + 0x289B7EC6);
    StepH<11>(d, a, b, c, Word(x, 0) + 0xEAA127FA);
    StepH<16>(c, d, a, b, Word(x, 3) + 0xD4EF3085);
    StepH<23>(b, c, d, a, Word(x, 6) + 0x04881D05);
    StepH<4>(a, b, c, d, Word(x, 9) + 0xD9D4D039);
    StepH<11>(d, a, b, c, Word(x, 12) + 0xE6DB99E5);
    StepH<16>(c, d, a, b, Word(x, 15) + 0x1FA27CF8);
    StepH<23>(b, c, d, a, Word(x, 2) + 0xC4AC5665);

    StepI<6>(a, b, c, d, Word(x, 0) + 0xF4292244);
    StepI<10>(d, a, b, c, Word(x, 7) + 0x432AFF97);
    StepI<15>(c, d, a, b, Word(x, 14) + 0xAB9423A7);
    StepI<21>(b, c, d, a, Word(x, 5) + 0xFC93A039);
    StepI<6>(a, b, c, d, Word(x, 12) + 0x655B59C3);
    StepI<10>(d, a, b, c, Word(x, 3) + 0x8F0CCC92);
    StepI<15>(c, d, a, b, Word(x, 10) + 0xFFEFF47D);
    StepI<21>(b, c, d, a, Word(x, 1) + 0x85845DD1);
    StepI<6>(a, b, c, d, Word(x, 8) + 0x6FA87E4F);
    StepI<10>(d, a, b, c, Word(x, 15) + 0xFE2CE6E0);
    StepI<15>(c, d, a, b, Word(x, 6) + 0xA3014314);
    StepI<21>(b, c, d, a, Word(x, 13) + 0x4E0811A1);
    StepI<6>(a, b, c, d, Word(x, 4) + 0xF7537E82);
    StepI<10>(d, a, b, c, Word(x, 11) + 0xBD3AF235);
    StepI<15>(c, d, a, b, Word(x, 2) + 0x2AD7D2BB);
    StepI<21>(b, c, d, a, Word(x, 9) + 0xEB86D391);

    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

template <int S> void Md4Step(uint32_t& a, uint32_t f, uint32_t xk) {
    a = std::rotl(a + f + xk, S);
}

uint32_t Md4F(uint32_t x, uint32_t y, uint32_t z) {
    return z ^ (x & (y ^ z));
}
uint32_t Md4G(uint32_t x, uint32_t y, uint32_t z) {
    return (x & y) | (x & z) | (y & z);
}
uint32_t Md4H(uint32_t x, uint32_t y, uint32_t z) {
    return x ^ y ^ z;
}

void Md4Block(uint32_t state[4], const uint8_t* x) {
    uint32_t a = state[0];
    uint32_t b = state[1];
    uint32_t c = state[2];
    uint32_t d = state[3];

    for (int i = 0; i < 16; i += 4) {
        Md4Step<3>(a, Md4F(b, c, d), Word(x, i));
        Md4Step<7>(d, Md4F(a, b, c), Word(x, i + 1));
        Md4Step<11>(c, Md4F(d, a, b), Word(x, i + 2));
        Md4Step<19>(b, Md4F(c, d, a), Word(x, i + 3));
    }
    constexpr uint32_t kRound2 = 0x5A827999;
    for (int i = 0; i < 4; ++i) {
        Md4Step<3>(a, Md4G(b, c, d), Word(x, i) + kRound2);
        Md4Step<5>(d, Md4G(a, b, c), Word(x, i + 4) + kRound2);
        Md4Step<9>(c, Md4G(d, a, b), Word(x, i + 8) + kRound2);
        Md4Step<13>(b, Md4G(c, d, a), Word(x, i + 12) + kRound2);
    }
    constexpr uint32_t kRound3 = 0x6ED9EBA1;
    constexpr int kRound3Order[4] = {0, 2, 1, 3};
    for (int i : kRound3Order) {
        Md4Step<3>(a, Md4H(b, c, d), Word(x, i) + kRound3);
        Md4Step<9>(d, Md4H(a, b, c), Word(x, i + 8) + kRound3);
        Md4Step<11>(c, Md4H(d, a, b), Word(x, i + 4) + kRound3);
        Md4Step<15>(b, Md4H(c, d, a), Word(x, i + 12) + kRound3);
    }

    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

// "0"-"9", "A"-"F" and "a"-"f"; other characters give what the arithmetic
// gives, as the text has been validated before.
unsigned NibbleValue(char c) {
    const auto code = static_cast<unsigned char>(c);
    if (code <= '9')
        return code - 48u;
    return code <= 96 ? code - 55u : code - 87u;
}

} // namespace

void TMD4Hash::Init() {
    Resume(kInitialState, 0);
}

void TMD4Hash::Resume(const uint32_t state[4], uint64_t bytesDone) {
    if (bytesDone % 64 != 0)
        AssertionFailure("A message resumes after whole blocks.");
    count_ = bytesDone;
    std::memset(buffer_, 0, sizeof buffer_);
    std::memcpy(state_, state, sizeof state_);
}

void TMD4Hash::Update(const void* data, int64_t length) {
    if (length <= 0)
        return;
    auto bytes = static_cast<const uint8_t*>(data);
    auto remaining = static_cast<uint64_t>(length);
    const size_t used = count_ % 64;
    count_ += remaining;
    if (used > 0) {
        const size_t free = 64 - used;
        if (free > remaining) {
            std::memcpy(buffer_ + used, bytes, remaining);
            return;
        }
        std::memcpy(buffer_ + used, bytes, free);
        Transform(buffer_, 1);
        bytes += free;
        remaining -= free;
    }
    // Whole blocks are compressed where they lie, without a copy.
    const size_t blocks = static_cast<size_t>(remaining / 64);
    if (blocks > 0)
        Transform(bytes, blocks);
    bytes += blocks * 64;
    remaining -= uint64_t(blocks) * 64;
    std::memcpy(buffer_, bytes, remaining);
}

void TMD4Hash::Final() {
    size_t used = count_ % 64;
    buffer_[used++] = 0x80;
    if (used > 56) {
        std::memset(buffer_ + used, 0, 64 - used);
        Transform(buffer_, 1);
        used = 0;
    }
    std::memset(buffer_ + used, 0, 56 - used);
    const uint64_t bits = count_ * 8;
    for (int i = 0; i < 8; ++i)
        buffer_[56 + i] = static_cast<uint8_t>(bits >> (8 * i));
    Transform(buffer_, 1);
    std::memset(buffer_, 0, sizeof buffer_);
}

void TMD4Hash::Transform(const uint8_t* blocks, size_t count) {
    for (size_t i = 0; i < count; ++i)
        Md4Block(state_, blocks + 64 * i);
}

void TMD5Hash::Transform(const uint8_t* blocks, size_t count) {
    Md5Compress(state_, blocks, count);
}

void Md5Compress(uint32_t state[4], const uint8_t* blocks, size_t count) {
    for (size_t i = 0; i < count; ++i)
        Md5Block(state, blocks + 64 * i);
}

std::string BinToHex(const void* data, size_t size) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const auto* bytes = static_cast<const uint8_t*>(data);
    std::string text(2 * size, '0');
    for (size_t i = 0; i < size; ++i) {
        text[2 * i] = kDigits[bytes[i] >> 4];
        text[2 * i + 1] = kDigits[bytes[i] & 0xF];
    }
    return text;
}

void HexToBin(std::string_view text, void* data) {
    auto* bytes = static_cast<uint8_t*>(data);
    for (size_t i = 0; i + 1 < text.size(); i += 2)
        bytes[i / 2] = static_cast<uint8_t>((NibbleValue(text[i]) << 4) + NibbleValue(text[i + 1]));
}

void CopyDigest(const void* source, void* dest) {
    std::memcpy(dest, source, 16);
}
