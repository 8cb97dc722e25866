#include "install/progress_workers.h"

#include <algorithm>
#include <memory>

#include "install/work_plan.h"
#include "platform/files.h"
#include "platform/processes.h"
#include "platform/worker_state.h"

namespace {

constexpr std::uint32_t kProgramLimitMs = 3600000;  // one hour
constexpr std::size_t kCopyBlock = 1000000;

// Fixed English texts: they name the failing step for support, not for the user's language.
const std::u16string kTargetNotWritable = u"Installation error.\nError code: 57";
const std::u16string kResourceMissing = u"Installation error.\nError code: 58";
const std::u16string kSourceNotReadable = u"Installation error.\nError code: 62";
const std::u16string kDestinationNotWritable = u"Installation error.\nError code: 63";

void setPercent(platform::ProgressSink& sink, int percent) {
    platform::WorkerLock::Hold hold(sink.lock);
    sink.state.percentDone = percent;
}

// Gives up a file that could not be written completely, so no one takes it for whole.
void discard(platform::System& system, std::unique_ptr<platform::File>& file, const std::u16string& path) {
    if (file) file->close();
    file.reset();
    system.deleteFile(path);
}

}  // namespace

void runProgramWork(platform::System& system, const std::u16string& program, const std::u16string* arguments,
                    const std::u16string* moreArguments) {
    const std::uint64_t started = system.clockMs();
    runDirect(system, work::quotedProgram(program), work::programArguments(arguments, moreArguments), kProgramLimitMs);
    const double elapsed = static_cast<double>(system.clockMs() - started) / 1000.0;
    if (const unsigned rest = work::remainingDisplayMs(elapsed)) system.sleepMs(rest);
}

int extractResourceWork(RunContext& app, platform::ProgressSink& sink, const std::u16string& resourceName,
                        const std::u16string& target) {
    platform::System& system = app.system();
    int error = platform::kResourceOk;
    // Written straight from the mapped resource: a payload is never held twice.
    const platform::ResourceView resource = system.customResourceView(resourceName, error);
    if (error != platform::kResourceOk || !resource.data) {
        app.showMessage(kResourceMissing);
        return -1;
    }
    // Whatever lay there before (perhaps planted in a shared temporary folder) must not
    // be what runs next: remove it, then insist on a file of our own.
    system.deleteFile(target);
    std::unique_ptr<platform::File> file = system.openFile(target, platform::FileOpen::CreateNew);
    if (!file) {
        app.showMessage(kTargetNotWritable);
        return -1;
    }
    const unsigned char* next = resource.data;
    for (const work::ExtractionPiece& piece : work::extractionPieces(resource.size)) {
        if (piece.percent >= 0) setPercent(sink, piece.percent);
        if (!file->write(next, static_cast<std::size_t>(piece.length))) {
            discard(system, file, target);
            app.showMessage(kTargetNotWritable);
            return -1;
        }
        next += piece.length;
    }
    if (!file->close()) {
        file.reset();
        system.deleteFile(target);
        app.showMessage(kTargetNotWritable);
        return -1;
    }
    return 0;
}

namespace {

// One pair of the copy list; false after its error box.
bool copyOne(RunContext& app, platform::ProgressSink& sink, const std::u16string& source,
             const std::u16string& destination, std::vector<unsigned char>& buffer, std::uint64_t& copied,
             std::uint64_t total) {
    platform::System& system = app.system();
    // Opening the destination would empty the source before a byte is read.
    if (work::sameFilePath(source, destination)) {
        app.showMessage(kDestinationNotWritable);
        return false;
    }
    clearReadOnly(system, destination);
    platform::FileStatus sourceStatus;
    const bool haveStatus = system.readFileStatus(source, sourceStatus);
    sourceStatus.attributes &= ~platform::kAttributeReadOnly;

    std::unique_ptr<platform::File> in = system.openFile(source, platform::FileOpen::Read);
    if (!in) {
        app.showMessage(kSourceNotReadable);
        return false;
    }
    std::unique_ptr<platform::File> out = system.openFile(destination, platform::FileOpen::Replace);
    if (!out) {
        in->close();
        app.showMessage(kDestinationNotWritable);
        return false;
    }
    for (;;) {
        std::size_t got = 0;
        if (!in->read(buffer.data(), buffer.size(), got)) {
            in->close();
            discard(system, out, destination);
            app.showMessage(kSourceNotReadable);
            return false;
        }
        if (got == 0) break;
        if (!out->write(buffer.data(), got)) {
            in->close();
            discard(system, out, destination);
            app.showMessage(kDestinationNotWritable);
            return false;
        }
        copied += got;
        setPercent(sink, work::copyPercent(copied, total));
    }
    in->close();
    if (!out->close()) {
        system.deleteFile(destination);
        app.showMessage(kDestinationNotWritable);
        return false;
    }
    if (haveStatus) system.writeFileStatus(destination, sourceStatus);
    return true;
}

}  // namespace

int copyFilesWork(RunContext& app, platform::ProgressSink& sink, std::uint64_t totalBytes,
                  const std::vector<std::u16string>& sources, const std::vector<std::u16string>& destinations) {
    std::vector<unsigned char> buffer(kCopyBlock);
    std::uint64_t copied = 0;
    const std::size_t count = std::min(sources.size(), destinations.size());
    for (std::size_t i = 0; i < count; ++i) {
        if (!copyOne(app, sink, sources[i], destinations[i], buffer, copied, totalBytes)) return -1;
    }
    return 0;
}
