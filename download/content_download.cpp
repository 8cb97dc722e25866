#include "download/content_download.h"

#include "download/transfer_work.h"
#include "platform/download_result.h"
#include "platform/files.h"
#include "platform/strings.h"

namespace {

std::u16string longTemporaryFolder(RunContext& app) { return longPathForm(app.system().tempFolder()) + u"\\"; }

}  // namespace

int DownloadFile(RunContext& app, const std::string& agent, const std::u16string& url, const std::u16string& target,
                 const std::u16string& title, const std::u16string& message, const std::u16string& progressTitle) {
    // A page that never ran its worker transferred nothing.
    int result = kDownloadTransferProblem;
    app.progress().run(platform::WorkKind::DownloadFile, {title, message, progressTitle, u""},
                       [&](platform::ProgressSink& sink) {
                           result = downloadFileWork(app.system(), sink, utf8ToWide(agent), url, target);
                       });
    return result;
}

int DownloadSegmentedFiles(RunContext& app, const std::string& agent, const std::u16string& baseUrl,
                           const std::vector<std::u16string>& files, const std::u16string& targetFolder,
                           const std::u16string& title, const std::u16string& message,
                           const std::u16string& progressTitle) {
    int result = kDownloadTransferProblem;
    app.progress().run(
        platform::WorkKind::DownloadSegments, {title, message, progressTitle, u""}, [&](platform::ProgressSink& sink) {
            result = downloadSegmentsWork(app.system(), sink, {utf8ToWide(agent), baseUrl, files, targetFolder});
        });
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
