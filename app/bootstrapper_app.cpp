#include "app/bootstrapper_app.h"

#include <string>

#include "app/setup_actions.h"
#include "app/setup_flow.h"
#include "app/run_notes.h"
#include "app/startup_steps.h"
#include "config/help_files.h"
#include "config/help_topics.h"
#include "config/legacy_settings.h"
#include "config/settings_reader.h"
#include "download/content_download.h"
#include "install/install_actions.h"
#include "platform/files.h"
#include "platform/folder_names.h"
#include "platform/strings.h"
#include "platform/version.h"
#include "text/texts.h"
#include "ui/wizard_steps.h"

namespace {

constexpr std::size_t kInstallDirMaxBytes = 64000;

// The optional-content pages reach the downloads through this seam.
class ContentDownloadsOverHttp : public ContentDownloads {
public:
    int downloadVideos(RunContext& app) override { return ::downloadVideos(app); }
    int downloadMaterial(RunContext& app) override { return ::downloadMaterial(app); }
};

std::u16string asciiToWide(const char* text) {
    std::u16string out;
    for (; *text; ++text) out.push_back(static_cast<unsigned char>(*text));
    return out;
}

}  // namespace

CBootstrapperApp::CBootstrapperApp(platform::System& system, platform::Ui& ui)
    : log_(system), started_(system.localTime()), run_(system, ui) {
    system.attachLog(&log_);
    run_.setProgress(progressPages_);
    // Until the settings name the product, boxes carry the program's own name, as
    // Windows programs do.
    std::u16string programName = fileNameOfPath(system.launcherPath());
    if (programName.size() > 4 && equalsIgnoringAsciiCase(programName.substr(programName.size() - 4), u".exe"))
        programName.resize(programName.size() - 4);
    run_.offer.applicationTitle = programName;
    fillHelpTopics(run_.offer.helpTopics);
    computeVersionSuffix();
    system.initCom();
}

CBootstrapperApp::~CBootstrapperApp() {
    // Several languages may share one staged copy; deleting it twice fails harmlessly.
    for (const std::u16string& copy : run_.record.helpFileTempCopy) {
        if (!copy.empty() && run_.system().deleteFile(copy)) run_.system().logLine(u"clean-up: deleted " + copy);
    }
    run_.system().uninitCom();
    run_.system().attachLog(nullptr);
}

void CBootstrapperApp::computeVersionSuffix() {
    Version v{};
    if (!getFileVersion(run_.system(), run_.system().launcherPath(), u"ProductVersion", v)) return;
    std::string suffix = " (V " + std::to_string(static_cast<int>(v[0])) + "." + std::to_string(static_cast<int>(v[1]));
    // The third number counts letters: 1 gives "a", 2 gives "b".
    if (v[2] != 0) suffix += static_cast<char>(v[2] + 96);
    suffix += ")";
    run_.offer.versionSuffix = asciiToWide(suffix.c_str());  // a letter byte of 0 ends the text there
}

int CBootstrapperApp::readXML_Options() { return readSettings(run_.product, run_.offer, run_.choices, run_.system()); }

bool CBootstrapperApp::endRun() {
    // A quiet run tells its caller what the installer said; an interactive one has told the
    // user already.
    exitCode_ = run_.choices.quietCommandLine ? static_cast<int>(run_.record.installerExitCode) : 0;
    noteEnd(run_, exitCode_);
    return false;
}

void CBootstrapperApp::openLog() {
    // Named after the product once the settings name it, else after the launcher's file.
    const std::u16string& name =
        run_.product.productShortName.empty() ? run_.offer.applicationTitle : run_.product.productShortName;
    const std::u16string path = runLogPath(run_, name, started_);
    if (log_.open(path)) run_.system().logLine(u"log: " + path);
}

void CBootstrapperApp::readInstallDirFromRegistry() {
    for (platform::RegRoot root : {platform::RegRoot::LocalMachine, platform::RegRoot::CurrentUser}) {
        std::u16string value;
        // The user's own hive is no more trusted than a file: a value that is no folder
        // name counts as no value.
        if (run_.system().regReadString(root, run_.product.installDirRegSubkey, run_.product.installDirRegValueName,
                                        value, kInstallDirMaxBytes) == platform::kRegOk &&
            acceptableFolderName(value)) {
            run_.choices.installDir = value;
            return;
        }
    }
}

bool CBootstrapperApp::initInstance() {
    run_.system().initCommonControls();
    // The worker lock belongs to the progress page's subsystem and is created there
    // before its first worker starts.

    noteStart(run_);
    const int settingsResult = readXML_Options();
    noteSettings(run_, settingsResult);
    openLog();
    if (settingsResult != 0) {
        run_.showMessage(asciiToWide(
            ("Installation error.\nError code (readXML_Options): " + std::to_string(-settingsResult)).c_str()));
        return endRun();
    }

    if (run_.offer.isPelaxo4) readLegacyIni(run_, run_.system());

    run_.offer.languageList.clear();
    for (int i = 0; i < kLanguageCount; ++i) {
        if (run_.product.languageEnabled[i]) run_.offer.languageList.push_back(i);
    }

    run_.offer.applicationTitle = run_.product.productName + u" Setup";

    if (run_.choices.languageIndex < 0) {
        run_.showMessage(u"Installation error.\nError code: 51");
        return endRun();
    }
    const int systemLcid = run_.system().systemUiLocale();
    run_.choices.languageIndex =
        chooseStartLanguage(run_.product.languageEnabled, run_.choices.languageIndex, systemLcid);
    noteStartLanguage(run_, run_.product.firstLanguage, systemLcid);

    if (!run_.system().claimSingleInstance()) {
        run_.showMessage(run_.text(TextRow::AlreadyRunning));
        return endRun();
    }
    if (run_.system().osVersionNumber() < run_.product.minOsVersion) {
        run_.showMessage(run_.text(TextRow::OsNotSupported));
        return endRun();
    }

    const std::u16string folder = launcherFolder(run_.system());
    run_.offer.stickAppPath =
        folder + u"\\" + run_.product.applicationDirRelative + u"\\" + run_.product.startApplicationOnStick;
    run_.system().setCurrentFolder(folder);

    prepareHelpFiles(run_);

    if (!run_.offer.isPelaxo4 && !run_.offer.isPelaxo5) readInstallDirFromRegistry();
    if (!run_.system().isAdministrator()) run_.choices.allUsers = false;

    evaluateCommandLine(*this);
    if (!applyPresetsFile(*this)) return endRun();

    run_.record.lastPageRect = platform::ScreenRect{};
    run_.choices.networkFolder = run_.choices.installDir;

    ContentDownloadsOverHttp downloads;
    WizardSteps steps(downloads);
    SetupActions actions;
    runSetupFlow(run_, navigation_, steps, actions);
    return endRun();
}
