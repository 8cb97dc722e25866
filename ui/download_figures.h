// What the progress page shows while a download runs: the bar and the three figures of
// bytes, time and rate, made from the worker's counters.
#pragma once

#include <string>

#include "platform/worker_state.h"

struct DownloadFigures {
    int barPosition = 0;
    std::u16string size;  // "   50 MB /   300 MB"
    std::u16string time;  // " 1 m 05 s /  3 m 20 s"; empty until two seconds have passed
    std::u16string rate;  // "512.0 KB/s"; empty until two seconds have passed
};

// Read under the sink's lock by the caller.
DownloadFigures downloadFigures(const platform::WorkerState& state);
