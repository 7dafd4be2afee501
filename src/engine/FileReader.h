// Reading files for hashing: a whole number of clusters per read, from a
// file opened with OpenForReading (FileFunc.h).
#pragma once

#include "Packages/Files/FileFunc.h"

#include <cstdint>
#include <string>

// Bytes per cluster of the drive that holds path (X:\...); 4096 for share
// paths and whenever the drive cannot be asked.
uint32_t ReadBufferSize(const std::u16string& path);

// Bytes per read on a drive of clusterSize bytes per cluster: as many whole
// clusters as fit in 1 MiB (each read costs a call to the system), at least
// one.
constexpr uint32_t ReadSizeFor(uint32_t clusterSize) {
    constexpr uint32_t kMaxRead = 1u << 20;
    return clusterSize >= kMaxRead ? clusterSize : kMaxRead / clusterSize * clusterSize;
}

// True when the drive that holds path (X:\...) says that it does not seek
// (no seek penalty: a solid-state drive); false when it seeks, and when it
// cannot be asked (a share, a system that does not answer), which keeps
// reads sequential as on a disk that seeks.
bool ReadsWithoutSeeking(const std::u16string& path);

// A list's bytes and last-write time, read whole for an update: 0, or the
// system error code of opening or reading it.
uint32_t ReadWholeList(const std::u16string& path, std::string& text, uint64_t& time);
