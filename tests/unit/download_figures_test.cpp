// The download figures of the progress page and the workers' time figures, with the
// examples a user would read.
#include <gtest/gtest.h>

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
