// The decisions of the progress page's workers that need no thread and no file: how an
// extraction is cut into pieces, the percent of a copy, whether a volume has room, the
// program line of a runtime installer and how long its page stays. The workers
// (install/progress_workers) act on these answers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace work {

// One write of an extraction; percent is the progress shown before it, or -1 where the
// write leaves the shown progress as it is (the remainder after the hundred pieces).
struct ExtractionPiece {
    std::uint64_t length;
    int percent;
};
// Up to 100 bytes in one piece; more in 100 pieces of size / 100 and the remainder.
std::vector<ExtractionPiece> extractionPieces(std::uint64_t size);

// Copied bytes as a percent of the total: 0 for an empty total, never above 100.
int copyPercent(std::uint64_t copied, std::uint64_t total);

// Room for an extracted file: more than its size and 65,536 bytes must be free; a volume
// that cannot be asked (no value) is taken to have room.
bool extractionFits(std::optional<std::uint64_t> freeBytes, std::uint64_t size);

// The program of a runtime installer run, in double quotes unless it starts with one.
std::u16string quotedProgram(const std::u16string& program);
// Its arguments: the first, and the second after a blank when there is one.
std::u16string programArguments(const std::u16string* first, const std::u16string* second);
// A page that ran a program stays at least three seconds: the milliseconds still to wait
// after elapsedSeconds, at least 1 while under three seconds, else 0.
unsigned remainingDisplayMs(double elapsedSeconds);

// Two paths name the same file once written alike: separators, repeated separators, a
// long-path prefix, "." and ".." segments and letter case do not count. A copy onto its
// own source would truncate it.
bool sameFilePath(const std::u16string& a, const std::u16string& b);

}  // namespace work
