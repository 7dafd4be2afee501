// MD5 in vector lanes: the compression of several independent messages at
// once, each in a lane of the processor's vector unit. The caller keeps each
// message's chaining state, feeds whole 64-byte blocks here and finishes the
// message with TMD5Hash (Resume after the blocks done here, then Update with
// the rest and Final). The functions hold no state of their own beyond what
// the processor supports, decided once: any thread may call them.
#pragma once

#include <cstddef>
#include <cstdint>

// The lane counts a transform can run. lwOne runs the scalar compression;
// the others run two interleaved groups of the vector unit's 32-bit lanes (4
// in SSE2, 8 in AVX2, 16 in AVX-512), which hides the latency of each step.
enum TLaneWidth : uint8_t { lwOne = 1, lwSse2 = 8, lwAvx2 = 16, lwAvx512 = 32 };

// The widest width this processor and the operating system support (the
// system must save the YMM or ZMM registers it runs on).
TLaneWidth WidestLaneWidth();

// Whether width can run here; lwOne always can.
bool LaneWidthSupported(TLaneWidth width);

// Compresses blocks consecutive 64-byte blocks of each of width independent
// messages: lane i's chaining state is states[i] (A, B, C, D, starting from
// TMD4Hash::kInitialState) and its blocks start at data[i], at any
// alignment. A width that cannot run here is an assertion failure.
void Md5LanesTransform(TLaneWidth width, uint32_t (*states)[4], const uint8_t* const* data,
                       size_t blocks);
