// The download figures of the progress page and the workers' time figures, with the
// examples a user would read.
#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <limits>
#include <vector>

#include "download/download_progress.h"
#include "ui/download_figures.h"

namespace {

platform::WorkerState counters(std::int64_t done, std::int64_t total, std::int32_t elapsed = 0,
                               std::int32_t remaining = 0) {
    platform::WorkerState state;
    state.bytesDone = done;
    state.bytesTotal = total;
    state.elapsedSeconds = elapsed;
    state.remainingSeconds = remaining;
    return state;
}

TEST(DownloadFigures, ShowMegabytesTimeAndRateAsTheUserReadsThem) {
    DownloadFigures f = downloadFigures(counters(52428800, 314572800));
    EXPECT_EQ(f.size, u"   50 MB /   300 MB");
    EXPECT_EQ(f.barPosition, 16);
    EXPECT_TRUE(f.time.empty() && f.rate.empty());  // not before two seconds

    f = downloadFigures(counters(1048576, 314572800, 65, 200));
    EXPECT_EQ(f.time, u" 1 m 05 s /  3 m 20 s");
    EXPECT_EQ(downloadFigures(counters(1048576, 0, 2)).rate, u"512.0 KB/s");
    EXPECT_EQ(downloadFigures(counters(1000, 0, 3)).rate, u"0.3 KB/s");
    EXPECT_EQ(downloadFigures(counters(1048576, 0, 2)).barPosition, 0);  // no total yet
    EXPECT_EQ(downloadFigures(counters(1, 0)).size, u"    0 MB /     0 MB");
    // Beyond 2 GB the 64-bit counts still show whole.
    EXPECT_EQ(downloadFigures(counters(5368709120, 10737418240)).size, u" 5120 MB / 10240 MB");
}

std::u16string printed(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::u16string printed(const char* format, ...) {
    char text[160];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return std::u16string(text, text + std::char_traits<char>::length(text));
}

// The figures read as the C library's printf conversions write them, ties and signs included.
TEST(DownloadFigures, ReadAsPrintfWritesThem) {
    const std::int64_t kMegabyte = 1024 * 1024;
    EXPECT_EQ(downloadFigures(counters(512, 0, 2)).rate, u"0.2 KB/s");   // 0.25: the even digit
    EXPECT_EQ(downloadFigures(counters(1536, 0, 2)).rate, u"0.8 KB/s");  // 0.75
    EXPECT_EQ(downloadFigures(counters(2046, 0, 2)).rate, u"1.0 KB/s");  // 0.999 carries
    std::vector<std::int64_t> rates;
    for (std::int64_t r = -2100; r < 70000; ++r) rates.push_back(r);
    for (std::int64_t r : {std::int64_t{1} << 40, (std::int64_t{1} << 53) + 768, (std::int64_t{1} << 60) + 777,
                           std::numeric_limits<std::int64_t>::max() / 4})
        rates.insert(rates.end(), {r, r + 256, r + 768, -r});
    for (std::int64_t r : rates) {
        ASSERT_EQ(downloadFigures(counters(2 * r, 0, 2)).rate,
                  printed("%0.1lf KB/s", static_cast<double>(r) * (1.0 / 1024.0)))
            << r;
    }
    for (std::int32_t seconds : {-3661, -60, -59, -5, 0, 7, 59, 60, 3599, 3600, 359999, 2147483647}) {
        const std::int64_t bytes = std::int64_t{seconds} * kMegabyte;
        const DownloadFigures f = downloadFigures(counters(bytes, -bytes, 2, seconds));
        EXPECT_EQ(f.size, printed("%5ld MB / %5ld MB", static_cast<long>(seconds), static_cast<long>(-seconds)));
        EXPECT_EQ(f.time, printed("%2ld m %02ld s / %2ld m %02ld s", 0L, 2L, seconds / 60L, seconds % 60L));
    }
}

TEST(DownloadFigures, TimeFiguresChangeOncePerSecondAndNeverOverflow) {
    platform::WorkerState state = counters(1, 1000);
    state.startClock = state.lastUpdateClock = 10000;
    updateTimeFigures(state, 10999);
    EXPECT_EQ(state.elapsedSeconds, 0);
    state.bytesDone = 250;
    updateTimeFigures(state, 14500);
    EXPECT_EQ(state.elapsedSeconds, 4);
    EXPECT_EQ(state.remainingSeconds, 12);  // 4 x 1000 / 250 - 4
    // One byte in an hour of a 10 GB total: more seconds than 32 bits hold.
    state = counters(1, 10737418240);
    state.startClock = state.lastUpdateClock = 0;
    updateTimeFigures(state, 3600000);
    EXPECT_EQ(state.remainingSeconds, 2147483647);
}

}  // namespace
