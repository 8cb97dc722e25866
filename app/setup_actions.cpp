#include "app/setup_actions.h"

#include "app/individual_setup.h"
#include "app/medium_start.h"
#include "download/content_download.h"
#include "platform/download_result.h"
#include "platform/signatures.h"
#include "text/texts.h"

UpdateOutcome SetupActions::downloadAndStartUpdate(RunContext& app) {
    platform::System& system = app.system();
    const std::u16string target = system.tempFolder() + u"\\" + app.product.updateTarget;
    const int result =
        DownloadFile(app, kDownloadAgentName, app.product.updateUrl, target,
                     replaceAll(app.text(TextRow::UpdateTitle), u"ProductX", app.product.productName),
                     replaceAll(app.text(TextRow::SearchingUpdate), u"ProductX", app.product.productName),
                     app.text(TextRow::Status));
    if (result == kDownloadCancelled) return UpdateOutcome::NotStarted;
    if (result == kDownloadLocalFileProblem) {
        app.showMessage(app.text(TextRow::DownloadNotStored));
        return UpdateOutcome::NotStarted;
    }
    if (result == kDownloadTransferProblem) {
        app.showMessage(app.text(TextRow::InternetConnectionFailed));
        return UpdateOutcome::NotStarted;
    }
    // Whoever sits on the network path chose these bytes: they run only with the
    // launcher's own signature, and do not stay behind for anyone to start later.
    if (!signedLikeLauncher(system, target)) {
        system.deleteFile(target);
        app.showMessage(app.text(TextRow::UpdateNotSigned));
        return UpdateOutcome::Refused;
    }
    const int language =
        app.choices.languageIndex >= 0 && app.choices.languageIndex < kLanguageCount ? app.choices.languageIndex : 0;
    const std::u16string argument =
        u"APP=\"" + system.launcherPath() + u"\" LANG=" + app.product.appParameter[language];
    return system.startProcess(u"\"" + target + u"\" " + argument, u"") ? UpdateOutcome::Started
                                                                        : UpdateOutcome::NotStarted;
}

int SetupActions::createIndividualSetup(RunContext& app) { return ::createIndividualSetup(app); }

void SetupActions::startFromMedium(RunContext& app) { ::startFromMedium(app); }
