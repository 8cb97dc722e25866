// The time figures the download workers keep while data arrive.
#pragma once

#include <cstdint>

#include "platform/worker_state.h"

// After a counted read or write, with the sink's lock held: at most once a second, the
// elapsed seconds and the remaining ones estimated from the bytes so far.
void updateTimeFigures(platform::WorkerState& state, std::int32_t clockMs);
