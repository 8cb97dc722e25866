#include "platform/worker_state.h"

namespace platform {

WorkerState& workerState() {
    static WorkerState* const state = new WorkerState;
    return *state;
}

WorkerLock& workerLock() {
    static WorkerLock* const lock = new WorkerLock;
    return *lock;
}

}  // namespace platform
