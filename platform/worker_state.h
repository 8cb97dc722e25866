// What the progress page and its worker thread share: the kind of work, the progress
// figures, and the one lock that guards them. The page reads the figures on its timer,
// the worker writes them; both hold the sink's lock for as long as they touch them.
#pragma once

#include <cstdint>
#include <memory>

namespace platform {

// The values are fixed; a negative kind starts as soon as its page has opened, RunProgram
// waits for Next.
enum class WorkKind : std::int32_t {
    RunProgram = 0,
    RegisterShellExtension = -3,
    DownloadFile = -4,
    ExtractResource = -6,
    CopyFiles = -8,
    DownloadSegments = -9,
};

// The kinds that show bytes, time and rate and that Cancel may stop while they run.
inline bool isDownloadKind(WorkKind kind) {
    return kind == WorkKind::DownloadFile || kind == WorkKind::DownloadSegments;
}
// The kinds that show a moving busy bar instead of a percent.
inline bool isBusyKind(WorkKind kind) {
    return kind == WorkKind::RunProgram || kind == WorkKind::RegisterShellExtension;
}

struct WorkerState {
    int busyPosition = 0;  // 0 to 100
    int percentDone = 0;
    bool cancelRequested = false;
    std::int64_t bytesDone = 0, bytesTotal = 0;
    std::int32_t elapsedSeconds = 0, remainingSeconds = 0;
    std::int32_t startClock = 0, lastUpdateClock = 0;  // milliseconds of the process clock
};

// A critical section on Windows. Held only for short updates, never across a file copy, a
// program run or a network read.
class WorkerLock {
public:
    WorkerLock();
    ~WorkerLock();
    WorkerLock(const WorkerLock&) = delete;
    WorkerLock& operator=(const WorkerLock&) = delete;

    void lock();
    void unlock();

    // Holds the lock for a scope.
    class Hold {
    public:
        explicit Hold(WorkerLock& lock) : lock_(lock) { lock_.lock(); }
        ~Hold() { lock_.unlock(); }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        WorkerLock& lock_;
    };

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// What a piece of work reports through while its progress page shows: the figures, the
// cancel flag and the one lock that guards them. Its owner keeps it beyond every page, so
// a worker that outlives its page still finds its lock.
struct ProgressSink {
    WorkerState state;
    WorkerLock lock;

    // Whether Cancel has asked the work to stop, looked at under the lock.
    bool cancelled() {
        WorkerLock::Hold hold(lock);
        return state.cancelRequested;
    }
};

}  // namespace platform
