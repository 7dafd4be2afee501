// The arithmetic of the progress marks and the summary's figures.
#pragma once

#include <cstdint>
#include <string>

// Marks (one per two per cent) earned by readBytes of the bytes to read:
// totalSize less the sizes of files that failed. Not capped at 50; 0 when
// nothing is left to read.
int64_t ProgressTickCount(uint64_t readBytes, int64_t totalSize, uint64_t failedBytes);
// What extends shown marks to ticks: three blanks before the first mark, so
// that the marks stand under the dots of the scale; empty when nothing is new.
std::string ProgressMarks(int64_t shown, int64_t ticks);
// What a console shows beside the marks while files are read: the files
// done of all, and the time left once it can be told, after two seconds
// ("12/300 files, 1:05 left"). The estimate counts each file as 32 KiB of
// work besides its bytes, since opening a file costs time of its own.
std::string ProgressStatus(uint64_t filesDone, int64_t files, uint64_t bytesDone,
                           int64_t bytesToRead, uint32_t elapsedMilliseconds);
// Bytes per second as whole bytes per millisecond times 1000; -1 when the
// reading took under a millisecond.
int64_t AverageSpeed(uint64_t bytes, uint32_t milliseconds);
// part * 100 / whole, truncated; 0 when whole is 0.
int64_t Percent(int64_t part, int64_t whole);
