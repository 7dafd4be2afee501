// Message digests: MD4 (RFC 1320) and MD5 (RFC 1321), and the text form of
// a digest. The digest is the 16 bytes of the chaining variables A, B, C,
// D in memory order, each word little-endian: the RFCs' byte order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// A digest computed block by block. Use: Init, any number of Update calls,
// Final, then read Digest; Init again before the next message. An instance
// is used by one thread at a time.
class THash {
public:
    virtual ~THash() = default;

    // Bytes of the digest.
    virtual int DigestSize() const = 0;
    // Starts a new message; must precede the first Update.
    virtual void Init() = 0;
    // Completes the message; Digest then holds the result.
    virtual void Final() = 0;
    // Feeds length bytes of data; a length of 0 or less does nothing.
    virtual void Update(const void* data, int64_t length) = 0;

    // The DigestSize bytes of the digest; valid after Final until the next
    // Init, as long as the object lives.
    const uint8_t* Digest() const { return reinterpret_cast<const uint8_t*>(state_); }

protected:
    // Compresses count consecutive 64-byte blocks into the state.
    virtual void Transform(const uint8_t* blocks, size_t count) = 0;

    uint64_t count_ = 0;      // message bytes fed since Init
    uint8_t buffer_[64] = {}; // the part of the current block not yet compressed
    uint32_t state_[4] = {};  // chaining variables A, B, C, D
};

// MD4: the block buffering, padding and length of both digests live here;
// a descendant replaces the compression only.
class TMD4Hash : public THash {
public:
    // The chaining variables A, B, C, D before the first block of a message.
    static constexpr uint32_t kInitialState[4] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476};

    int DigestSize() const override { return 16; }
    void Init() override;
    // Starts a message whose first bytesDone bytes were compressed elsewhere
    // into state (A, B, C, D, from kInitialState on), so Update and Final go
    // on after them. bytesDone must be a multiple of 64 (assertion failure).
    void Resume(const uint32_t state[4], uint64_t bytesDone);
    void Final() override;
    void Update(const void* data, int64_t length) override;

protected:
    void Transform(const uint8_t* blocks, size_t count) override;
};

// MD5: MD4's framing with the MD5 compression.
class TMD5Hash : public TMD4Hash {
protected:
    void Transform(const uint8_t* blocks, size_t count) override;
};

// The MD5 compression of count consecutive 64-byte blocks into state (A, B,
// C, D): what TMD5Hash does with whole blocks.
void Md5Compress(uint32_t state[4], const uint8_t* blocks, size_t count);

// size bytes as 2 * size upper-case hexadecimal digits, high nibble first.
std::string BinToHex(const void* data, size_t size);
// Writes text.size() / 2 bytes to data, two digits per byte, high nibble
// first; both letter cases are read. text must be validated hexadecimal.
void HexToBin(std::string_view text, void* data);
// Copies a 16-byte digest.
void CopyDigest(const void* source, void* dest);
