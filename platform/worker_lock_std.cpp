// The worker lock of the native build, where the unit tests run.
#include <mutex>

#include "platform/worker_state.h"

namespace platform {

struct WorkerLock::Impl {
    std::mutex mutex;
};

WorkerLock::WorkerLock() : impl_(std::make_unique<Impl>()) {}
WorkerLock::~WorkerLock() = default;
void WorkerLock::lock() { impl_->mutex.lock(); }
void WorkerLock::unlock() { impl_->mutex.unlock(); }

}  // namespace platform
