#include "engine/Md5Lanes.h"

#include "Packages/Common/Assertion.h"
#include "engine/LxHash.h"

#include <cpuid.h>
#include <cstring>
#include <utility>

namespace {

// GCC's and clang's generic vectors of 32-bit lanes. The rounds are written
// once on them and inlined into a function of each instruction set, whose
// target attribute decides the instructions: one build carries every path.
typedef uint32_t TLanes4 __attribute__((vector_size(16)));
typedef uint32_t TLanes8 __attribute__((vector_size(32)));
typedef uint32_t TLanes16 __attribute__((vector_size(64)));

// Independent groups of lanes whose steps interleave: one group's step runs
// while the other's waits for the result it needs. Measured, two groups give
// 1.5 to 2 times the throughput of one at each width, also with the 8 vector
// registers of 32-bit code.
constexpr int kGroups = 2;

// Per step of RFC 1321: the added constant, and per round and step modulo 4
// the rotation.
constexpr uint32_t kSine[64] = {
    0xD76AA478, 0xE8C7B756, 0x242070DB, 0xC1BDCEEE, 0xF57C0FAF, 0x4787C62A, 0xA8304613, 0xFD469501,
    0x698098D8, 0x8B44F7AF, 0xFFFF5BB1, 0x895CD7BE, 0x6B901122, 0xFD987193, 0xA679438E, 0x49B40821,
    0xF61E2562, 0xC040B340, 0x265E5A51, 0xE9B6C7AA, 0xD62F105D, 0x02441453, 0xD8A1E681, 0xE7D3FBC8,
    0x21E1CDE6, 0xC33707D6, 0xF4D50D87, 0x455A14ED, 0xA9E3E905, 0xFCEFA3F8, 0x676F02D9, 0x8D2A4C8A,
    0xFFFA3942, 0x8771F681, 0x6D9D6122, 0xFDE5380C, 0xA4BEEA44, 0x4BDECFA9, 0xF6BB4B60, 0xBEBFBC70,
    0x289B7EC6, 0xEAA127FA, 0xD4EF3085, 0x04881D05, 0xD9D4D039, 0xE6DB99E5, 0x1FA27CF8, 0xC4AC5665,
    0xF4292244, 0x432AFF97, 0xAB9423A7, 0xFC93A039, 0x655B59C3, 0x8F0CCC92, 0xFFEFF47D, 0x85845DD1,
    0x6FA87E4F, 0xFE2CE6E0, 0xA3014314, 0x4E0811A1, 0xF7537E82, 0xBD3AF235, 0x2AD7D2BB, 0xEB86D391};
constexpr int kRotation[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

// The message word that step (0 to 63) adds.
constexpr int MessageWord(int step) {
    const int i = step % 16;
    constexpr int kStart[4] = {0, 1, 5, 0};
    constexpr int kStride[4] = {1, 5, 3, 7};
    return (kStart[step / 16] + kStride[step / 16] * i) % 16;
}

// One step: the state words take the roles a, b, c, d in turn, a being the
// one that changes (A, D, C, B over four steps).
template <int Step, class V>
[[gnu::always_inline]] inline void Md5Step(V (&s)[4], const V (&x)[16], const uint32_t* sine) {
    constexpr int round = Step / 16;
    constexpr int shift = kRotation[round][Step % 4];
    V& a = s[(64 - Step) % 4];
    const V b = s[(65 - Step) % 4];
    const V c = s[(66 - Step) % 4];
    const V d = s[(67 - Step) % 4];
    a += x[MessageWord(Step)] + sine[Step];
    if constexpr (round == 0)
        a += d ^ (b & (c ^ d));
    else if constexpr (round == 1)
        a += (b & d) | (c & ~d);
    else if constexpr (round == 2)
        a += b ^ c ^ d;
    else
        a += c ^ (b | ~d);
    a = ((a << shift) | (a >> (32 - shift))) + b;
}

// The groups' steps side by side, step after step.
template <int Step, class V, int... Group>
[[gnu::always_inline]] inline void Md5GroupsStep(V (&s)[kGroups][4], const V (&x)[kGroups][16],
                                                 const uint32_t* sine,
                                                 std::integer_sequence<int, Group...>) {
    (Md5Step<Step>(s[Group], x[Group], sine), ...);
}

template <class V, int... Step>
[[gnu::always_inline]] inline void Md5Steps(V (&s)[kGroups][4], const V (&x)[kGroups][16],
                                            std::integer_sequence<int, Step...>) {
    // The constants are read from memory: written into the code, each would
    // cost a move into a vector register and a broadcast.
    const uint32_t* sine = kSine;
    asm("" : "+r"(sine));
    (Md5GroupsStep<Step>(s, x, sine, std::make_integer_sequence<int, kGroups>()), ...);
}

// One block of each lane, its message words already one vector per word.
template <class V>
[[gnu::always_inline]] inline void Md5Block(V (&s)[kGroups][4], const V (&x)[kGroups][16]) {
    V start[kGroups][4];
    for (int g = 0; g < kGroups; ++g)
        for (int i = 0; i < 4; ++i)
            start[g][i] = s[g][i];
    Md5Steps(s, x, std::make_integer_sequence<int, 64>());
    for (int g = 0; g < kGroups; ++g)
        for (int i = 0; i < 4; ++i)
            s[g][i] += start[g][i];
}

// The lanes' states as one vector per state word, and back: once per call.
template <class V>
[[gnu::always_inline]] inline void GetStates(V (&s)[kGroups][4], const uint32_t (*states)[4]) {
    constexpr int kLanes = sizeof(V) / 4;
    for (int g = 0; g < kGroups; ++g)
        for (int lane = 0; lane < kLanes; ++lane)
            for (int i = 0; i < 4; ++i)
                s[g][i][lane] = states[g * kLanes + lane][i];
}

template <class V>
[[gnu::always_inline]] inline void PutStates(const V (&s)[kGroups][4], uint32_t (*states)[4]) {
    constexpr int kLanes = sizeof(V) / 4;
    for (int g = 0; g < kGroups; ++g)
        for (int lane = 0; lane < kLanes; ++lane)
            for (int i = 0; i < 4; ++i)
                states[g * kLanes + lane][i] = s[g][i][lane];
}

// The message words are loaded 16 bytes (four words) of a lane at a time
// and turned into vectors of one word each, element i holding lane i's, by
// 4x4 transpositions inside the 128-bit parts of the vectors.
template <class V> struct THalf;
template <> struct THalf<TLanes8> { using Type = TLanes4; };
template <> struct THalf<TLanes16> { using Type = TLanes8; };

// Words 4 * quarter to 4 * quarter + 3 of lanes lane, lane + 4, ... into row.
template <class V, int... K>
[[gnu::always_inline]] inline void LoadRow(V& row, const uint8_t* const* data, int lane,
                                           size_t offset, int quarter,
                                           std::integer_sequence<int, K...>) {
    if constexpr (sizeof(V) == 16) {
        std::memcpy(&row, data[lane] + offset + 16 * quarter, 16);
    } else {
        using THalfLanes = typename THalf<V>::Type;
        constexpr int kHalf = sizeof(THalfLanes) / 4;
        THalfLanes low;
        THalfLanes high;
        LoadRow(low, data, lane, offset, quarter, std::make_integer_sequence<int, kHalf>());
        LoadRow(high, data, lane + kHalf, offset, quarter,
                std::make_integer_sequence<int, kHalf>());
        row = __builtin_shufflevector(low, high, K...);
    }
}

// Element k of interleaving the 32-bit (or 64-bit) elements of the lower (or
// upper) halves of the 128-bit parts of two vectors of n lanes.
constexpr int Interleave32(bool upper, int n, int k) {
    return (k % 2 == 1 ? n : 0) + 4 * (k / 4) + k % 4 / 2 + (upper ? 2 : 0);
}
constexpr int Interleave64(bool upper, int n, int k) {
    return (k % 4 >= 2 ? n : 0) + 4 * (k / 4) + k % 2 + (upper ? 2 : 0);
}

template <class V, int... K>
[[gnu::always_inline]] inline void LoadWords(V (&x)[16], const uint8_t* const* data, size_t offset,
                                             std::integer_sequence<int, K...> k) {
    constexpr int n = sizeof(V) / 4;
    for (int quarter = 0; quarter < 4; ++quarter) {
        V r[4];
        for (int lane = 0; lane < 4; ++lane)
            LoadRow(r[lane], data, lane, offset, quarter, k);
        const V t0 = __builtin_shufflevector(r[0], r[1], Interleave32(false, n, K)...);
        const V t1 = __builtin_shufflevector(r[2], r[3], Interleave32(false, n, K)...);
        const V t2 = __builtin_shufflevector(r[0], r[1], Interleave32(true, n, K)...);
        const V t3 = __builtin_shufflevector(r[2], r[3], Interleave32(true, n, K)...);
        V* words = x + 4 * quarter;
        words[0] = __builtin_shufflevector(t0, t1, Interleave64(false, n, K)...);
        words[1] = __builtin_shufflevector(t0, t1, Interleave64(true, n, K)...);
        words[2] = __builtin_shufflevector(t2, t3, Interleave64(false, n, K)...);
        words[3] = __builtin_shufflevector(t2, t3, Interleave64(true, n, K)...);
    }
}

// Every lane of every group through blocks blocks: group g holds the lanes
// from g times the vector's lanes on.
template <class V>
[[gnu::always_inline]] inline void Transform(uint32_t (*states)[4], const uint8_t* const* data,
                                             size_t blocks) {
    constexpr int kLanes = sizeof(V) / 4;
    V s[kGroups][4];
    GetStates(s, states);
    for (size_t offset = 0; offset < 64 * blocks; offset += 64) {
        V x[kGroups][16];
        for (int g = 0; g < kGroups; ++g)
            LoadWords(x[g], data + kLanes * g, offset, std::make_integer_sequence<int, kLanes>());
        Md5Block(s, x);
    }
    PutStates(s, states);
}

// 32-bit Windows promises a stack aligned to 4 bytes only, and SSE2 reads
// its spilled vectors as aligned memory operands: the stack is realigned.
[[gnu::target("sse2"), gnu::force_align_arg_pointer]] void
TransformSse2(uint32_t (*states)[4], const uint8_t* const* data, size_t blocks) {
    Transform<TLanes4>(states, data, blocks);
}

[[gnu::target("avx2")]] void TransformAvx2(uint32_t (*states)[4], const uint8_t* const* data,
                                           size_t blocks) {
    Transform<TLanes8>(states, data, blocks);
}

[[gnu::target("avx512f")]] void TransformAvx512(uint32_t (*states)[4], const uint8_t* const* data,
                                                size_t blocks) {
    Transform<TLanes16>(states, data, blocks);
}

// XCR0 bits: the register state the operating system saves on a switch.
constexpr uint64_t kSavesYmm = 0x6;  // XMM and the upper halves of YMM
constexpr uint64_t kSavesZmm = 0xE6; // and the opmasks, upper halves of ZMM0-15, ZMM16-31

uint64_t SavedRegisterState() {
    uint32_t low;
    uint32_t high;
    asm volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    return (uint64_t(high) << 32) | low;
}

TLaneWidth FindWidestLaneWidth() {
    unsigned a, b, c, d;
    if (!__get_cpuid(1, &a, &b, &c, &d) || (d & bit_SSE2) == 0)
        return lwOne;
    // XGETBV exists only where the system enabled it (OSXSAVE).
    if ((c & bit_OSXSAVE) == 0 || (c & bit_AVX) == 0)
        return lwSse2;
    const uint64_t saved = SavedRegisterState();
    if ((saved & kSavesYmm) != kSavesYmm || !__get_cpuid_count(7, 0, &a, &b, &c, &d) ||
        (b & bit_AVX2) == 0)
        return lwSse2;
    if ((saved & kSavesZmm) != kSavesZmm || (b & bit_AVX512F) == 0)
        return lwAvx2;
    return lwAvx512;
}

} // namespace

TLaneWidth WidestLaneWidth() {
    static const TLaneWidth widest = FindWidestLaneWidth();
    return widest;
}

bool LaneWidthSupported(TLaneWidth width) {
    switch (width) {
    case lwOne:
    case lwSse2:
    case lwAvx2:
    case lwAvx512:
        // Each vector width needs the narrower ones' instructions too.
        return width <= WidestLaneWidth();
    }
    return false;
}

void Md5LanesTransform(TLaneWidth width, uint32_t (*states)[4], const uint8_t* const* data,
                       size_t blocks) {
    if (!LaneWidthSupported(width))
        AssertionFailure("The processor cannot run this lane width.");
    switch (width) {
    case lwOne:
        Md5Compress(states[0], data[0], blocks);
        break;
    case lwSse2:
        TransformSse2(states, data, blocks);
        break;
    case lwAvx2:
        TransformAvx2(states, data, blocks);
        break;
    case lwAvx512:
        TransformAvx512(states, data, blocks);
        break;
    }
}
