#include "download/download_progress.h"

#include <limits>

void updateTimeFigures(platform::WorkerState& state, std::int32_t clockMs) {
    if (clockMs - state.lastUpdateClock < 1000) return;
    state.lastUpdateClock = clockMs;
    state.elapsedSeconds = (state.lastUpdateClock - state.startClock) / 1000;
    if (state.bytesDone <= 0) return;
    const double remaining = static_cast<double>(state.elapsedSeconds) * static_cast<double>(state.bytesTotal) /
                                 static_cast<double>(state.bytesDone) -
                             state.elapsedSeconds;
    // A slow start on a large total can estimate more seconds than the counter holds.
    constexpr double kMost = std::numeric_limits<std::int32_t>::max();
    state.remainingSeconds = static_cast<std::int32_t>(remaining > kMost    ? kMost
                                                       : remaining < -kMost ? -kMost
                                                                            : remaining);
}
