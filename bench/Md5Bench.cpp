// Throughput of TMD5Hash against OpenSSL's MD5 on the same data in the same
// run: both are fed in 4096-byte pieces, as the reading thread feeds files.
// Then each vector lane width this processor runs, over the same bytes as 32
// messages of 8 MiB, 4096 bytes of each lane per call, against OpenSSL's
// one stream.
#include "engine/LxHash.h"
#include "engine/Md5Lanes.h"

#include <openssl/evp.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <random>
#include <vector>

namespace {

constexpr size_t kDataSize = 256u << 20;
constexpr size_t kPiece = 4096;
constexpr int kRounds = 5;
constexpr int kMessages = lwAvx512;

struct TWidth {
    TLaneWidth Width;
    const char* Name;
};
constexpr TWidth kWidths[] = {{lwSse2, "sse2"}, {lwAvx2, "avx2"}, {lwAvx512, "avx512"}};

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double HashOurs(const std::vector<uint8_t>& data, uint8_t digest[16]) {
    TMD5Hash hash;
    const Clock::time_point start = Clock::now();
    hash.Init();
    for (size_t offset = 0; offset < data.size(); offset += kPiece)
        hash.Update(data.data() + offset, kPiece);
    hash.Final();
    const double seconds = Seconds(start);
    CopyDigest(hash.Digest(), digest);
    return seconds;
}

double HashOpenSsl(const std::vector<uint8_t>& data, uint8_t digest[16]) {
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    const Clock::time_point start = Clock::now();
    EVP_DigestInit_ex(context, EVP_md5(), nullptr);
    for (size_t offset = 0; offset < data.size(); offset += kPiece)
        EVP_DigestUpdate(context, data.data() + offset, kPiece);
    unsigned length = 0;
    EVP_DigestFinal_ex(context, digest, &length);
    const double seconds = Seconds(start);
    EVP_MD_CTX_free(context);
    return seconds;
}

// The data as kMessages messages, width of them at a time in the lanes.
double HashLanes(const std::vector<uint8_t>& data, TLaneWidth width,
                 uint8_t digests[kMessages][16]) {
    const size_t size = data.size() / kMessages;
    const Clock::time_point start = Clock::now();
    for (int first = 0; first < kMessages; first += width) {
        uint32_t states[kMessages][4];
        const uint8_t* lanes[kMessages];
        for (int lane = 0; lane < width; ++lane) {
            std::copy_n(TMD4Hash::kInitialState, 4, states[lane]);
            lanes[lane] = data.data() + (first + lane) * size;
        }
        for (size_t offset = 0; offset < size; offset += kPiece) {
            Md5LanesTransform(width, states, lanes, kPiece / 64);
            for (int lane = 0; lane < width; ++lane)
                lanes[lane] += kPiece;
        }
        for (int lane = 0; lane < width; ++lane) {
            TMD5Hash hash;
            hash.Resume(states[lane], size);
            hash.Final();
            CopyDigest(hash.Digest(), digests[first + lane]);
        }
    }
    return Seconds(start);
}

// OpenSSL's digest of each of the kMessages messages, to check the lanes by.
void MessageDigests(const std::vector<uint8_t>& data, uint8_t digests[kMessages][16]) {
    const size_t size = data.size() / kMessages;
    for (int message = 0; message < kMessages; ++message) {
        unsigned length = 0;
        EVP_Digest(data.data() + message * size, size, digests[message], &length, EVP_md5(),
                   nullptr);
    }
}

} // namespace

int main() {
    std::vector<uint8_t> data(kDataSize);
    std::mt19937_64 random(20240601);
    for (size_t i = 0; i < data.size(); i += 8) {
        const uint64_t value = random();
        std::memcpy(data.data() + i, &value, 8);
    }
    // The best of several alternating rounds: both meet the same machine state.
    double ours = 1e9;
    double theirs = 1e9;
    double lanes[std::size(kWidths)];
    std::fill_n(lanes, std::size(kWidths), 1e9);
    uint8_t ourDigest[16];
    uint8_t theirDigest[16];
    uint8_t laneDigests[kMessages][16];
    uint8_t messageDigests[kMessages][16];
    MessageDigests(data, messageDigests);
    for (int round = 0; round < kRounds; ++round) {
        ours = std::min(ours, HashOurs(data, ourDigest));
        theirs = std::min(theirs, HashOpenSsl(data, theirDigest));
        for (size_t i = 0; i < std::size(kWidths); ++i) {
            if (!LaneWidthSupported(kWidths[i].Width))
                continue;
            lanes[i] = std::min(lanes[i], HashLanes(data, kWidths[i].Width, laneDigests));
            if (std::memcmp(laneDigests, messageDigests, sizeof laneDigests) != 0) {
                std::printf("lane digests differ from OpenSSL's with %s\n", kWidths[i].Name);
                return 1;
            }
        }
    }
    if (std::memcmp(ourDigest, theirDigest, 16) != 0) {
        std::printf("digests differ: %s vs %s\n", BinToHex(ourDigest, 16).c_str(),
                    BinToHex(theirDigest, 16).c_str());
        return 1;
    }
    const double megabytes = kDataSize / 1e6;
    std::printf("data: %zu MiB in %zu-byte pieces, best of %d rounds\n", kDataSize >> 20, kPiece,
                kRounds);
    std::printf("tallix TMD5Hash: %.1f MB/s\n", megabytes / ours);
    std::printf("openssl MD5:     %.1f MB/s\n", megabytes / theirs);
    for (size_t i = 0; i < std::size(kWidths); ++i) {
        if (LaneWidthSupported(kWidths[i].Width))
            std::printf("tallix lanes x%d (%s): %.1f MB/s\n", int(kWidths[i].Width),
                        kWidths[i].Name, megabytes / lanes[i]);
        else
            std::printf("tallix lanes x%d (%s): not supported here\n", int(kWidths[i].Width),
                        kWidths[i].Name);
    }
    for (size_t i = 0; i < std::size(kWidths); ++i) {
        if (LaneWidthSupported(kWidths[i].Width))
            std::printf("md5 lanes x%d (%s) ratio vs openssl: %.2f\n", int(kWidths[i].Width),
                        kWidths[i].Name, theirs / lanes[i]);
    }
    std::printf("md5 throughput ratio vs openssl: %.2f\n", theirs / ours);
    return 0;
}
