#include "platform/worker_state.h"

namespace platform {

ProgressSink& progressSink() {
    static ProgressSink* const sink = new ProgressSink;
    return *sink;
}

}  // namespace platform
