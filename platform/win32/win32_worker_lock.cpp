// The worker lock on Windows: a critical section.
#include <windows.h>

#include "platform/worker_state.h"

namespace platform {

struct WorkerLock::Impl {
    CRITICAL_SECTION section;
    Impl() { InitializeCriticalSection(&section); }
    ~Impl() { DeleteCriticalSection(&section); }
};

WorkerLock::WorkerLock() : impl_(std::make_unique<Impl>()) {}
WorkerLock::~WorkerLock() = default;
void WorkerLock::lock() { EnterCriticalSection(&impl_->section); }
void WorkerLock::unlock() { LeaveCriticalSection(&impl_->section); }

}  // namespace platform
