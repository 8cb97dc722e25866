#include "install/progress_steps.h"

#include <utility>

#include "install/progress_workers.h"
#include "install/work_plan.h"
#include "platform/strings.h"
#include "text/texts.h"

int ExtractResourceWithProgress(RunContext& app, const std::u16string& resourceName, const std::u16string& targetPath,
                                bool showErrors) {
    platform::System& system = app.system();
    const std::optional<std::uint64_t> freeBytes = system.freeDiskBytes(folderOfPath(targetPath) + u"\\");
    int error = platform::kResourceOk;
    const platform::ResourceView resource = system.customResourceView(resourceName, error);
    if (error != platform::kResourceOk || !work::extractionFits(freeBytes, resource.size)) {
        if (showErrors) app.showMessage(replaceAll(app.text(TextRow::NotEnoughSpaceForFile), u"xyz", targetPath));
        return -1;
    }
    int outcome = -1;
    app.progress().run(platform::WorkKind::ExtractResource,
                       {app.text(TextRow::ExtractingTitle), app.text(TextRow::ExtractingMessage),
                        app.text(TextRow::ExtractingStatus), u""},
                       [&app, &resourceName, &targetPath, &outcome](platform::ProgressSink& sink) {
                           outcome = extractResourceWork(app, sink, resourceName, targetPath);
                       });
    return outcome;
}

int copyFilesWithProgress(RunContext& app, std::uint64_t totalBytes, const std::vector<std::u16string>& sources,
                          const std::vector<std::u16string>& destinations) {
    int outcome = -1;
    const platform::ProgressEnd end = app.progress().run(
        platform::WorkKind::CopyFiles,
        {app.text(TextRow::CopyTitle), app.text(TextRow::CopyMessage), app.text(TextRow::CopyStatus), u""},
        [&](platform::ProgressSink& sink) { outcome = copyFilesWork(app, sink, totalBytes, sources, destinations); });
    return end == platform::ProgressEnd::Finished ? outcome : -1;
}
