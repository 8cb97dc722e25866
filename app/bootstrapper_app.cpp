#include "app/bootstrapper_app.h"

#include <string>

#include "app/setup_actions.h"
#include "app/setup_flow.h"
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

CBootstrapperApp::CBootstrapperApp(platform::System& system, platform::Ui& ui) : RunContext(system, ui) {
    setProgress(progressPages_);
    // Until the settings name the product, boxes carry the program's own name, as
    // Windows programs do.
    std::u16string programName = fileNameOfPath(system.launcherPath());
    if (programName.size() > 4 && equalsIgnoringAsciiCase(programName.substr(programName.size() - 4), u".exe"))
        programName.resize(programName.size() - 4);
    applicationTitle = programName;
    fillHelpTopics(helpTopics);
    computeVersionSuffix();
    system.initCom();
}

CBootstrapperApp::~CBootstrapperApp() {
    // Several languages may share one staged copy; deleting it twice fails harmlessly.
    for (const std::u16string& copy : helpFileTempCopy) {
        if (!copy.empty()) system().deleteFile(copy);
    }
    system().uninitCom();
}

void CBootstrapperApp::computeVersionSuffix() {
    Version v{};
    if (!getFileVersion(system(), system().launcherPath(), u"ProductVersion", v)) return;
    std::string suffix = " (V " + std::to_string(static_cast<int>(v[0])) + "." + std::to_string(static_cast<int>(v[1]));
    // The third number counts letters: 1 gives "a", 2 gives "b".
    if (v[2] != 0) suffix += static_cast<char>(v[2] + 96);
    suffix += ")";
    versionSuffix = asciiToWide(suffix.c_str());  // a letter byte of 0 ends the text there
}

int CBootstrapperApp::readXML_Options() { return readSettings(*this, system()); }

bool CBootstrapperApp::endRun() {
    // A quiet run tells its caller what the installer said; an interactive one has told the
    // user already.
    exitCode_ = quietCommandLine ? static_cast<int>(installerExitCode) : 0;
    return false;
}

void CBootstrapperApp::readInstallDirFromRegistry() {
    for (platform::RegRoot root : {platform::RegRoot::LocalMachine, platform::RegRoot::CurrentUser}) {
        std::u16string value;
        // The user's own hive is no more trusted than a file: a value that is no folder
        // name counts as no value.
        if (system().regReadString(root, installDirRegSubkey, installDirRegValueName, value, kInstallDirMaxBytes) ==
                platform::kRegOk &&
            acceptableFolderName(value)) {
            installDir = value;
            return;
        }
    }
}

bool CBootstrapperApp::initInstance() {
    system().initCommonControls();
    // The worker lock belongs to the progress page's subsystem and is created there
    // before its first worker starts.

    const int settingsResult = readXML_Options();
    if (settingsResult != 0) {
        showMessage(asciiToWide(
            ("Installation error.\nError code (readXML_Options): " + std::to_string(-settingsResult)).c_str()));
        return endRun();
    }

    if (isPelaxo4) readLegacyIni(*this, system());

    languageList.clear();
    for (int i = 0; i < kLanguageCount; ++i) {
        if (languageEnabled[i]) languageList.push_back(i);
    }

    applicationTitle = productName + u" Setup";

    if (languageIndex < 0) {
        showMessage(u"Installation error.\nError code: 51");
        return endRun();
    }
    languageIndex = chooseStartLanguage(languageEnabled, languageIndex, system().systemUiLocale());

    if (!system().claimSingleInstance()) {
        showMessage(text(82));
        return endRun();
    }
    if (system().osVersionNumber() < minOsVersion) {
        showMessage(text(166));
        return endRun();
    }

    const std::u16string folder = launcherFolder(system());
    stickAppPath = folder + u"\\" + applicationDirRelative + u"\\" + startApplicationOnStick;
    system().setCurrentFolder(folder);

    prepareHelpFiles(*this);

    if (!isPelaxo4 && !isPelaxo5) readInstallDirFromRegistry();
    if (!system().isAdministrator()) allUsers = false;

    evaluateCommandLine(*this);
    if (!applyPresetsFile(*this)) return endRun();

    lastPageRect = platform::ScreenRect{};
    networkFolder = installDir;

    ContentDownloadsOverHttp downloads;
    WizardSteps steps(downloads);
    SetupActions actions;
    runSetupFlow(*this, steps, actions);
    return endRun();
}
