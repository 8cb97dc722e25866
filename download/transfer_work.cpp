#include "download/transfer_work.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <new>

#include "download/download_progress.h"
#include "download/md5.h"
#include "platform/download_result.h"
#include "platform/strings.h"
#include "platform/worker_state.h"

namespace {

constexpr std::int64_t kSmallestFile = 5000;
constexpr std::size_t kFileRead = 2048;
constexpr std::size_t kSegmentRead = 65536;
constexpr std::size_t kWritePiece = 1 << 21;        // of a verified segment, written between reads
constexpr std::size_t kTransferBuffer = 160065546;  // the largest segment, one more read and a spare
constexpr std::size_t kMostFiles = 1000;

using platform::ProgressSink;
using Hold = platform::WorkerLock::Hold;

// What the HTTP session asks to stop waiting for a reply: Cancel.
std::function<bool()> stopOnCancel(ProgressSink& sink) {
    return [&sink] { return sink.cancelled(); };
}

std::int32_t clock32(platform::System& system) { return static_cast<std::int32_t>(system.clockMs()); }

// A reply that may be kept: any 2xx status (an error page is never data).
bool successful(platform::HttpResponse& response) {
    const int status = response.statusCode();
    return status >= 200 && status < 300;
}

std::unique_ptr<platform::HttpResponse> request(platform::HttpSession& session, const std::u16string& url) {
    std::unique_ptr<platform::HttpResponse> response = session.open(url);
    if (response && !successful(*response)) response.reset();
    return response;
}

// Adds the time of what it watches to one figure of TransferTimes, when there are figures.
class Stopwatch {
public:
    explicit Stopwatch(double* figure) : figure_(figure) {
        if (figure_) started_ = Clock::now();
    }
    ~Stopwatch() {
        if (figure_) *figure_ += std::chrono::duration<double>(Clock::now() - started_).count();
    }
    Stopwatch(const Stopwatch&) = delete;
    Stopwatch& operator=(const Stopwatch&) = delete;

private:
    using Clock = std::chrono::steady_clock;
    double* figure_;
    Clock::time_point started_;
};

// Collects the small reads of a single-file download into large writes: one write per read
// would cost more than the read itself.
class WriteBehind {
public:
    WriteBehind(platform::File* file, double* writeTime) : file_(file), writeTime_(writeTime) {}

    bool write(const unsigned char* data, std::size_t size) {
        if (held_.size() + size > kHeld && !flush()) return false;
        held_.insert(held_.end(), data, data + size);
        return true;
    }

    bool flush() {
        if (held_.empty()) return true;
        Stopwatch watch(writeTime_);
        const bool written = file_ && file_->write(held_.data(), held_.size());
        held_.clear();
        return written;
    }

private:
    static constexpr std::size_t kHeld = 1 << 20;
    platform::File* file_;
    double* writeTime_;
    std::vector<unsigned char> held_;
};

void startFigures(platform::System& system, ProgressSink& sink, std::int64_t done, std::int64_t total) {
    Hold hold(sink.lock);
    platform::WorkerState& state = sink.state;
    state.bytesDone = done;
    state.bytesTotal = total;
    state.elapsedSeconds = state.remainingSeconds = 0;
    state.startClock = state.lastUpdateClock = clock32(system);
}

}  // namespace

int downloadFileWork(platform::System& system, ProgressSink& sink, const std::u16string& agent,
                     const std::u16string& url, const std::u16string& target, TransferTimes* times) {
    auto figure = [times](double TransferTimes::*which) { return times ? &(times->*which) : nullptr; };
    startFigures(system, sink, 0, -1);
    std::unique_ptr<platform::HttpSession> session = system.openHttpSession(agent, stopOnCancel(sink));
    if (!session) return kDownloadLocalFileProblem;
    // A request or read that failed because Cancel stopped its wait is a cancel.
    auto failed = [&sink] { return sink.cancelled() ? kDownloadCancelled : kDownloadTransferProblem; };
    std::unique_ptr<platform::HttpResponse> response;
    {
        Stopwatch watch(figure(&TransferTimes::request));
        response = request(*session, url);
    }
    if (!response) return failed();
    std::u16string lengthText;
    const std::int64_t announced = response->contentLength(lengthText) ? parseDecimalPrefix64(lengthText) : 0;
    {
        Hold hold(sink.lock);
        sink.state.bytesTotal = announced;
    }
    if (announced < kSmallestFile) return kDownloadTransferProblem;
    startFigures(system, sink, 0, announced);
    std::unique_ptr<platform::File> file;
    if (!target.empty()) {
        file = system.openFile(target, platform::FileOpen::Replace);
        if (!file) return kDownloadLocalFileProblem;
    }
    WriteBehind output(file.get(), figure(&TransferTimes::write));
    unsigned char buffer[kFileRead];
    std::int64_t done = 0;
    // Every way out hands the bytes received so far to the file first.
    auto end = [&output](int result) {
        return output.flush() || result != kDownloadDone ? result : kDownloadLocalFileProblem;
    };
    for (;;) {
        std::size_t got = 0;
        bool read = false;
        {
            Stopwatch watch(figure(&TransferTimes::receive));
            read = response->read(buffer, sizeof buffer, got);
        }
        if (!read) return end(failed());
        Hold hold(sink.lock);
        if (sink.state.cancelRequested) return end(kDownloadCancelled);
        if (got == 0) break;
        if (!file || !output.write(buffer, got)) return kDownloadLocalFileProblem;
        done += static_cast<std::int64_t>(got);
        sink.state.bytesDone = done;
        updateTimeFigures(sink.state, clock32(system));
    }
    if (const int result = end(kDownloadDone)) return result;
    Stopwatch watch(figure(&TransferTimes::close));
    if (file && !file->close()) return kDownloadLocalFileProblem;
    return done == announced ? kDownloadDone : kDownloadTransferProblem;
}

std::int32_t segmentLengthAfter(std::int32_t length, bool verified) {
    return verified ? std::min(length * 2, kLargestSegment) : std::max(length / 2, kFirstSegment);
}

std::u16string sizeUrl(const std::u16string& base, const std::u16string& file) {
    return base + u"/getfile.pl?file=" + file;
}

std::u16string segmentUrl(const std::u16string& base, const std::u16string& file, std::int32_t positionMb,
                          std::int32_t length, bool digest) {
    const std::string numbers = "&mb_pos=" + std::to_string(positionMb) + "&length=" + std::to_string(length);
    return sizeUrl(base, file) + utf8ToWide(numbers) + (digest ? u"&crc=1" : u"");
}

bool RetryPause::wait(platform::System& system, ProgressSink& sink) {
    for (std::uint32_t waited = 0; waited < nextMs_; waited += 50) {
        if (sink.cancelled()) return false;
        system.sleepMs(50);
    }
    nextMs_ = std::min(nextMs_ * 2, kLongestMs);
    return !sink.cancelled();
}

namespace {

// One download's state on the worker thread.
class SegmentedTransfer {
public:
    SegmentedTransfer(platform::System& system, ProgressSink& sink, const SegmentedDownload& download,
                      unsigned char* buffer)
        : system_(system), sink_(sink), download_(download), buffer_(buffer) {}

    int run() {
        std::unique_ptr<platform::HttpSession> session = system_.openHttpSession(download_.agent, stopOnCancel(sink_));
        if (!session) return kDownloadLocalFileProblem;
        session_ = session.get();
        std::vector<std::int64_t> sizes;
        for (const std::u16string& name : download_.files) {
            std::int64_t size = 0;
            if (const int result = fileSize(name, size)) return result;
            sizes.push_back(size);
            Hold hold(sink_.lock);
            sink_.state.bytesTotal += size;
        }
        for (std::size_t i = 0; i < download_.files.size(); ++i) {
            if (const int result = fetchFile(download_.files[i], sizes[i])) return result;
        }
        return kDownloadDone;
    }

private:
    // Asks until the server gives a positive size of 1 to 16 characters, or until Cancel.
    int fileSize(const std::u16string& name, std::int64_t& size) {
        RetryPause pause;
        for (;;) {
            if (cancelled()) return kDownloadCancelled;
            std::unique_ptr<platform::HttpResponse> reply = request(*session_, sizeUrl(download_.baseUrl, name));
            if (cancelled()) return kDownloadCancelled;
            std::size_t got = 0;
            const bool read = reply && reply->read(buffer_, kSegmentRead, got);
            if (cancelled()) return kDownloadCancelled;
            if (read && got >= 1 && got <= 16) {
                size = parseDecimalPrefix64(std::string_view(reinterpret_cast<const char*>(buffer_), got));
                if (size >= 1) return kDownloadDone;
            }
            if (!pause.wait(system_, sink_)) return kDownloadCancelled;
        }
    }

    int fetchFile(const std::u16string& name, std::int64_t size) {
        std::unique_ptr<platform::File> file;
        if (!download_.targetFolder.empty()) {
            file = system_.openFile(download_.targetFolder + name, platform::FileOpen::Replace);
            if (!file) return kDownloadLocalFileProblem;
        }
        const int result = fetchInto(file.get(), name, size);
        // Every way out leaves the file holding all its verified segments.
        const bool allWritten = writeAllPending();
        pending_ = {};
        if (!allWritten) return kDownloadLocalFileProblem;
        Stopwatch watch(figure(&TransferTimes::close));
        if (result == kDownloadDone && file && !file->close()) return kDownloadLocalFileProblem;
        return result;
    }

    int fetchInto(platform::File* file, const std::u16string& name, std::int64_t size) {
        std::int32_t positionMb = 0;
        std::int64_t written = 0;
        bool shortSeen = false;  // a verified segment at this position ended before the file
        RetryPause pause;
        while (written < size) {
            if (cancelled()) return kDownloadCancelled;
            std::size_t received = 0;
            const int fetched = fetchSegment(name, positionMb, received);
            if (fetched == kDownloadCancelled || fetched == kDownloadLocalFileProblem) return fetched;
            // A verified segment must hold the requested length or reach the announced end:
            // anything shorter would leave a hole. Of a file that grew since its size was
            // read, only the announced bytes are kept.
            const std::int64_t left = size - written;
            const bool reachesEnd = static_cast<std::int64_t>(received) >= left;
            const std::size_t kept = reachesEnd ? static_cast<std::size_t>(left) : received;
            if (fetched == kDownloadDone && (received == static_cast<std::size_t>(segmentLength_) || reachesEnd)) {
                takeOffDone(received - kept);
                if (!file || !writeAllPending()) return kDownloadLocalFileProblem;
                pending_ = {file, 0, kept};
                written += static_cast<std::int64_t>(kept);
                if (download_.counts) download_.counts->bytesKept += static_cast<std::int64_t>(kept);
                positionMb += segmentLength_ / 1000000;
                segmentLength_ = segmentLengthAfter(segmentLength_, true);
                shortSeen = false;
                pause.reset();
                continue;
            }
            takeOffDone(received);
            // The server's own digest says the file ends before its announced size (it shrank,
            // or the size was a lie). Once that has been seen at the smallest length, smaller
            // segments cannot help: asking again would never end.
            if (fetched == kDownloadDone) {
                if (shortSeen && segmentLength_ == kFirstSegment) return kDownloadTransferProblem;
                shortSeen = true;
            }
            segmentLength_ = segmentLengthAfter(segmentLength_, false);
            if (download_.counts) ++download_.counts->segmentsFetchedAgain;
            if (!pause.wait(system_, sink_)) return kDownloadCancelled;
        }
        return kDownloadDone;
    }

    // A verified segment is written while the next one arrives, in pieces that stay ahead of
    // the bytes arriving over it in the buffer: the write overlaps the network, which the
    // session reads ahead, instead of stopping it for the time of a whole segment.
    bool writePendingBefore(std::size_t offset) {
        if (pending_.done >= std::min(offset, pending_.end)) return true;
        const std::size_t upTo = std::min(std::max(offset, pending_.done + kWritePiece), pending_.end);
        Stopwatch watch(figure(&TransferTimes::write));
        const bool written = pending_.file->write(buffer_ + pending_.done, upTo - pending_.done);
        pending_.done = written ? upTo : pending_.end;  // a failed write is not tried again
        return written;
    }

    bool writeAllPending() { return writePendingBefore(pending_.end); }

    // Bytes counted while they arrived that are not kept.
    void takeOffDone(std::size_t bytes) {
        Hold hold(sink_.lock);
        sink_.state.bytesDone -= static_cast<std::int64_t>(bytes);
    }

    bool cancelled() { return sink_.cancelled(); }

    // The segment into the buffer, checked against the server's digest: kDownloadDone when it
    // matches, kDownloadTransferProblem for anything else (to be fetched again),
    // kDownloadLocalFileProblem when the segment before it could not be written.
    int fetchSegment(const std::u16string& name, std::int32_t positionMb, std::size_t& received) {
        const std::size_t length = static_cast<std::size_t>(segmentLength_);
        std::unique_ptr<platform::HttpResponse> segment;
        {
            Stopwatch watch(figure(&TransferTimes::request));
            segment = request(*session_, segmentUrl(download_.baseUrl, name, positionMb, segmentLength_, false));
        }
        if (!segment) return kDownloadTransferProblem;
        // Hashed read by read, while the next bytes are already on their way.
        Md5 md5;
        while (received <= length) {
            if (!writePendingBefore(received + kSegmentRead)) return kDownloadLocalFileProblem;
            std::size_t got = 0;
            bool read = false;
            {
                Stopwatch watch(figure(&TransferTimes::receive));
                read = segment->read(buffer_ + received, kSegmentRead, got);
            }
            if (cancelled()) return kDownloadCancelled;
            if (!read) return kDownloadTransferProblem;
            {
                Stopwatch watch(figure(&TransferTimes::hash));
                md5.update(buffer_ + received, got);
            }
            received += got;
            {
                Hold hold(sink_.lock);
                sink_.state.bytesDone += static_cast<std::int64_t>(got);
                updateTimeFigures(sink_.state, clock32(system_));
            }
            if (got == 0) break;
        }
        if (received > length) return kDownloadTransferProblem;  // more than asked for
        const std::string digest = md5.finishHex();
        segment.reset();
        char reply[1000] = {};
        std::size_t got = 0;
        bool read = false;
        {
            Stopwatch watch(figure(&TransferTimes::digest));
            std::unique_ptr<platform::HttpResponse> check =
                request(*session_, segmentUrl(download_.baseUrl, name, positionMb, segmentLength_, true));
            read = check && check->read(reinterpret_cast<unsigned char*>(reply), sizeof reply - 1, got);
        }
        if (cancelled()) return kDownloadCancelled;
        if (!read) return kDownloadTransferProblem;
        // The reply ends at its first zero byte and must be the digest and nothing else.
        return std::string(reply, std::find(reply, reply + got, '\0')) == digest ? kDownloadDone
                                                                                 : kDownloadTransferProblem;
    }

    double* figure(double TransferTimes::*which) const {
        return download_.times ? &(download_.times->*which) : nullptr;
    }

    platform::System& system_;
    ProgressSink& sink_;
    const SegmentedDownload& download_;
    unsigned char* buffer_;
    platform::HttpSession* session_ = nullptr;
    std::int32_t segmentLength_ = kFirstSegment;  // carried from file to file
    // The verified bytes at the start of the buffer that are not yet in their file.
    struct Pending {
        platform::File* file = nullptr;
        std::size_t done = 0, end = 0;
    } pending_;
};

}  // namespace

int downloadSegmentsWork(platform::System& system, ProgressSink& sink, const SegmentedDownload& download) {
    if (download.files.size() > kMostFiles) return kDownloadTransferProblem;
    std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[kTransferBuffer]);
    if (!buffer) return kDownloadTransferProblem;
    startFigures(system, sink, 1, 0);
    return SegmentedTransfer(system, sink, download, buffer.get()).run();
}
