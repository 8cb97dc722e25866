// The download workers of the progress page: one file in one request, and files in
// MD5-verified segments from a server answering "/getfile.pl". They keep the byte and time
// figures in the sink they are handed, under its lock, stop on its cancelRequested, show
// no message and return the result codes of
// platform/download_result.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/worker_state.h"

// Where a download's time went, in seconds, for the benchmarks: waiting for a reply to
// start, for its bytes, hashing them, waiting for a segment's digest, writing, and closing
// (which waits until the data is on the disk).
struct TransferTimes {
    double request = 0, receive = 0, hash = 0, digest = 0, write = 0, close = 0;
};

// One file: its announced size must be at least 5,000 bytes and must all arrive.
int downloadFileWork(platform::System& system, platform::ProgressSink& sink, const std::u16string& agent,
                     const std::u16string& url, const std::u16string& target, TransferTimes* times = nullptr);

// What a segmented download kept and what its failures cost, for the run log.
struct TransferCounts {
    std::int64_t bytesKept = 0;    // verified bytes taken into the files
    int segmentsFetchedAgain = 0;  // segments that failed and were asked for again
};

struct SegmentedDownload {
    std::u16string agent;
    std::u16string baseUrl;  // without a trailing slash
    std::vector<std::u16string> files;
    std::u16string targetFolder;       // with a trailing backslash
    TransferTimes* times = nullptr;    // filled in when given
    TransferCounts* counts = nullptr;  // counted when given
};

// The segment lengths: 10 million bytes at the start, doubled after a verified segment up
// to 160 million, halved after a failed one down to 10 million.
constexpr std::int32_t kFirstSegment = 10000000;
constexpr std::int32_t kLargestSegment = 160000000;
std::int32_t segmentLengthAfter(std::int32_t length, bool verified);

// The three requests of the server.
std::u16string sizeUrl(const std::u16string& base, const std::u16string& file);
std::u16string segmentUrl(const std::u16string& base, const std::u16string& file, std::int32_t positionMb,
                          std::int32_t length, bool digest);

// Waits between repeated failures of one request: 100 ms doubling to 3.2 s, back to
// 100 ms after a success; a cancel is noticed within 50 ms.
class RetryPause {
public:
    // False when a cancel came during the wait.
    bool wait(platform::System& system, platform::ProgressSink& sink);
    void reset() { nextMs_ = kFirstMs; }

private:
    static constexpr std::uint32_t kFirstMs = 100, kLongestMs = 3200;
    std::uint32_t nextMs_ = kFirstMs;
};

int downloadSegmentsWork(platform::System& system, platform::ProgressSink& sink, const SegmentedDownload& download);
