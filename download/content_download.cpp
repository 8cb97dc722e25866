#include "download/content_download.h"

#include "download/transfer_work.h"
#include "platform/download_result.h"
#include "platform/files.h"
#include "platform/strings.h"

namespace {

const char* resultWord(int result) {
    switch (result) {
    case kDownloadDone: return "done";
    case kDownloadCancelled: return "cancelled";
    case kDownloadLocalFileProblem: return "the file could not be written";
    default: return "the server or the connection failed";
    }
}

// One line per download, once its page has closed: what was asked, what came of it.
void noteDownload(RunContext& app, const std::u16string& what, int result, std::int64_t bytes,
                  const std::string& more = {}) {
    app.system().logLine(u"download: " + what);
    app.system().logLine("download ended: " + std::to_string(result) + " (" + resultWord(result) + "), " +
                         std::to_string(bytes) + " bytes" + more);
}

std::u16string longTemporaryFolder(RunContext& app) { return longPathForm(app.system().tempFolder()) + u"\\"; }

}  // namespace

int DownloadFile(RunContext& app, const std::string& agent, const std::u16string& url, const std::u16string& target,
                 const std::u16string& title, const std::u16string& message, const std::u16string& progressTitle) {
    // A page that never ran its worker transferred nothing.
    int result = kDownloadTransferProblem;
    std::int64_t bytes = 0;
    app.progress().run(platform::WorkKind::DownloadFile, {title, message, progressTitle, u""},
                       [&](platform::ProgressSink& sink) {
                           result = downloadFileWork(app.system(), sink, utf8ToWide(agent), url, target);
                           platform::WorkerLock::Hold hold(sink.lock);
                           bytes = sink.state.bytesDone;
                       });
    noteDownload(app, url + u" to " + target, result, bytes);
    return result;
}

int DownloadSegmentedFiles(RunContext& app, const std::string& agent, const std::u16string& baseUrl,
                           const std::vector<std::u16string>& files, const std::u16string& targetFolder,
                           const std::u16string& title, const std::u16string& message,
                           const std::u16string& progressTitle) {
    int result = kDownloadTransferProblem;
    TransferCounts counts;
    app.progress().run(platform::WorkKind::DownloadSegments, {title, message, progressTitle, u""},
                       [&](platform::ProgressSink& sink) {
                           SegmentedDownload download{utf8ToWide(agent), baseUrl, files, targetFolder};
                           download.counts = &counts;
                           result = downloadSegmentsWork(app.system(), sink, download);
                       });
    std::u16string names;
    for (const std::u16string& name : files) names += u" " + name;
    noteDownload(app, baseUrl + u" in segments," + names + u" to " + targetFolder, result, counts.bytesKept,
                 ", " + std::to_string(counts.segmentsFetchedAgain) + " segment(s) fetched again");
    return result;
}

int downloadVideos(RunContext& app) {
    const std::u16string target = longTemporaryFolder(app) + u"media2.cab";
    clearReadOnly(app.system(), target);
    const int result =
        DownloadFile(app, kDownloadAgentName, app.product.media2Url, target, app.text(TextRow::DownloadingVideos),
                     app.text(TextRow::DownloadingVideosMessage), app.text(TextRow::Status));
    if (result == kDownloadDone) app.record.videosDownloaded = true;
    return result;
}

int downloadMaterial(RunContext& app) {
    const std::u16string folder = longTemporaryFolder(app);
    const std::vector<std::u16string> files = splitWords(app.product.materialCabFiles);
    for (const std::u16string& name : files) clearReadOnly(app.system(), folder + name);
    return DownloadSegmentedFiles(app, kDownloadAgentName, app.product.materialUrl, files, folder,
                                  app.text(TextRow::DownloadingMaterial), app.text(TextRow::DownloadingMaterialMessage),
                                  app.text(TextRow::Status));
}
