// Page steps: each decides whether its page is needed, fills it from the text table,
// shows it, takes the answer over and reports it to the flow.
#include "ui/wizard_steps.h"

#include "config/legacy_settings.h"

#include "config/presets.h"
#include "platform/download_result.h"
#include "platform/files.h"
#include "platform/queries.h"
#include "platform/strings.h"
#include "text/texts.h"
#include "ui/folder_input.h"
#include "ui/page_frame.h"
#include "ui/start_page.h"

namespace {

using platform::PageClass;
using platform::PageModel;

bool unattended(const RunContext& app) { return !app.msiUiOption.empty(); }

bool ended(PageResult answer) { return answer == PageResult::Back || answer == PageResult::Cancel; }

// A question whose choice has been taken goes on. A page ended without a word (None) stays
// None: the flow moves on from a question all the same, but sets no direction of travel.
PageResult goneOn(PageResult answer) { return answer == PageResult::None ? answer : PageResult::Next; }

PageModel twoOptions(RunContext& app, const char* topic, int title, int message, int option1, int option2,
                     bool firstPreselected) {
    PageModel page = framedPage(app, PageClass::TwoOptions, topic);
    page.title = productText(app, title);
    page.message = productText(app, message);
    page.option1 = productCaption(app, option1);
    page.option2 = productCaption(app, option2);
    page.selectedOption = firstPreselected ? 0 : 1;
    return page;
}

// Shows a two-option page; true when the user went on with the first option. A page
// ended without a word reads nothing back: the preselection stands.
bool answeredFirst(RunContext& app, PageModel& page, PageResult& answer) {
    const bool firstPreselected = page.selectedOption == 0;
    answer = showPage(app, page);
    if (answer == PageResult::None) return firstPreselected;
    return answer == PageResult::Option1;
}

bool downloadFailed(int result) {
    return result == kDownloadCancelled || result == kDownloadLocalFileProblem || result == kDownloadTransferProblem;
}

// A failed download: a local file problem names the file, a transfer problem says so, a
// cancelled one says nothing; then the user is back on the question before it.
StepResult reportDownloadFailure(RunContext& app, int result, const std::u16string& file) {
    if (result == kDownloadLocalFileProblem)
        app.showMessage(replaceAll(app.text(121), u"xyz", file), platform::MessageKind::Warning);
    else if (result == kDownloadTransferProblem) app.showMessage(app.text(5), platform::MessageKind::Warning);
    return StepResult::backToQuestion();
}

PageModel folderPage(RunContext& app, const char* topic, int title, int message, const std::u16string& folder) {
    PageModel page = framedPage(app, PageClass::Folder, topic);
    page.title = productText(app, title);
    page.message = productText(app, message);
    page.browseInstruction = page.message;
    page.folder = folder;
    return page;
}

void warn(RunContext& app, const std::u16string& text) { app.showMessage(text, platform::MessageKind::Warning); }

// Row 119: the folder cannot be created or written.
void folderRefused(RunContext& app, const std::u16string& folder) {
    warn(app, replaceAll(app.text(119), u"xyz", folder));
}

// The material every complete installation of the current generation carries.
const char16_t* materialFolder(const std::string& technologyDomain) {
    if (technologyDomain == "pneu") return u"\\tuto\\pneu";
    if (technologyDomain == "hyd") return u"\\tuto\\hyd";
    if (technologyDomain == "et") return u"\\tuto\\et";
    return u"\\sreerzw";
}

// The folder, or its parent when the user pointed at its "bin" folder, holds the
// program; folder then names the installation itself.
bool validInstallation(RunContext& app, std::u16string& folder) {
    folder = removeTrailingBackslash(folder);
    if (folder.empty() || !acceptableFolderName(folder)) return false;
    platform::System& system = app.system();
    if (!findInstallationFolder(system, folder, u"\\bin", app.startApplicationOnStick)) return false;
    return !app.isPelaxo5 || pathExists(system, folder + materialFolder(app.technologyDomain));
}

// The user's documents folder and the product's circuit-file folder name; empty when
// the documents folder is unknown.
std::u16string standardCircuitFolder(RunContext& app) {
    const std::u16string documents = app.system().documentsFolder();
    if (documents.empty()) return {};
    return documents + u"\\" + app.circuitDir[app.languageIndex];
}

std::u16string defaultProgramFolder(RunContext& app) {
    platform::System& system = app.system();
    std::u16string folder = removeTrailingBackslash(system.programFilesFolder(isWindows64(system)));
    if (folder.empty()) folder = u"c:";
    folder += app.isPelaxo4 || app.isPelaxo5 ? u"\\tutoria\\" : u"\\";
    return folder + app.mainExeDir[app.languageIndex];
}

}  // namespace

StepResult WizardSteps::showStartPage(RunContext& app) {
    PageModel page = startPage(app);
    return showPage(app, page);
}

StepResult WizardSteps::askAlreadyInstalled(RunContext& app) {
    if (!app.askForVideos && !app.askForPresentations && !app.askForMaterialDownload) {
        app.addOptionalComponents = false;
    } else {
        PageModel page = twoOptions(app, nullptr, 45, 122, 136, 109, !app.addOptionalComponents);
        const PageResult answer = showPage(app, page);
        if (ended(answer) || answer == PageResult::None) return answer;  // cancelled, closed, no word or back
        app.addOptionalComponents = answer == PageResult::Option2;
        if (app.addOptionalComponents)
            return StepResult::jumpTo(app.askForMaterialDownload ? StepTarget::MaterialDownload : StepTarget::Videos,
                                      answer);
    }
    app.installPresentations = app.installVideos = false;
    return PageResult::Next;
}

namespace {

bool endsWithBin(const std::u16string& folder) {
    if (folder.size() < 4) return false;
    std::u16string tail = folder.substr(folder.size() - 4);
    for (char16_t& c : tail) {
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    }
    return tail == u"\\bin";
}

std::u16string withoutBin(std::u16string folder) {
    if (!folder.empty() && folder.back() == u'\\') folder.pop_back();
    if (endsWithBin(folder)) folder.resize(folder.size() - 4);
    return folder;
}

}  // namespace

StepResult WizardSteps::askOlderInstallation(RunContext& app) {
    platform::System& system = app.system();
    app.legacyUpgrade = false;
    if (!app.legacyExeDir.empty() && !pathExists(system, app.legacyExeDir)) app.legacyAllUsers = true;
    std::u16string start = system.longPathName(app.legacyExeDir);
    if (endsWithBin(start)) start.resize(start.size() - 4);
    const std::u16string& exeFolder = app.mainExeDir[app.languageIndex];
    if (start.size() < 2)
        start = system.programFilesFolder(true) + (app.isPelaxo4 ? u"\\Tutoria\\" : u"\\") + exeFolder;
    const std::u16string name = app.isPelaxo4 ? u"Pelaxo" : app.productName;
    PageModel page = folderPage(app, nullptr, 45, 138, start);
    page.title = replaceAll(app.text(45), u"ProductX", name);
    page.message = page.browseInstruction = replaceAll(app.text(138), u"ProductX", name);
    // The answer that set the direction last: a page asked again and ended without a word
    // keeps the direction an earlier Next gave.
    PageResult moved = PageResult::None;
    for (;;) {
        const PageResult answer = showPage(app, page);
        if (ended(answer)) return answer;
        if (answer != PageResult::None) moved = answer;
        const std::u16string folder = withoutBin(system.longPathName(typedFolder(page.folder)));
        app.legacyInstDir = folder;
        if (checkOlderInstallation(app, system, folder + u"\\bin") == 0) {
            app.legacyUpgrade = true;
            app.legacyExeDir = folder + u"\\bin";
            app.legacyInstDirLfn = app.legacyInstNdirLfn = app.legacyInstNdir = folder;
            return StepResult::jumpTo(StepTarget::Videos, moved);
        }
        app.showMessage(replaceAll(app.text(139), u"ProductX", name), platform::MessageKind::Plain);
    }
}

StepResult WizardSteps::askInstallationType(RunContext& app) {
    PageModel page = twoOptions(app, "program-access", 35, 36, 37, 38, !app.linkOnly);
    const PageResult answer = showPage(app, page);
    app.linkOnly = false;
    return answer;
}

StepResult WizardSteps::askNetworkFolder(RunContext& app) {
    app.linkOnly = false;
    PageModel page = folderPage(app, "server-folder", 157, 25, app.networkFolder);
    page.browseFlags = platform::kBrowseDefaultFlags | platform::kBrowseNoNewFolder;
    for (;;) {
        const PageResult answer = showPage(app, page);
        if (answer == PageResult::Cancel) return answer;
        std::u16string folder = typedFolder(page.folder);
        if (validInstallation(app, folder)) {
            app.networkFolder = folder;
            app.linkOnly = true;
            return answer;
        }
        if (answer == PageResult::Back) {
            app.networkFolder.clear();
            return answer;
        }
        warn(app, productText(app, 26));  // then the page again, as the user left it
    }
}

StepResult WizardSteps::askUserGroup(RunContext& app) {
    const bool administrator = app.system().isAdministrator();
    if (!administrator && !app.preconfigMode) app.allUsers = false;
    if ((!administrator && !app.preconfigMode) || unattended(app)) return StepResult::skip();
    PageModel page = twoOptions(app, "user-group", 77, 78, 79, 80, app.allUsers);
    PageResult answer = PageResult::None;
    const bool first = answeredFirst(app, page, answer);
    if (ended(answer)) return answer;
    app.allUsers = first;
    return goneOn(answer);
}

StepResult WizardSteps::askSetupFolder(RunContext& app) {
    if (!app.preconfigMode) return StepResult::skip();
    const int language = app.languageIndex;
    if (app.individualSetupFolder.empty()) app.individualSetupFolder = u"c:\\install\\" + app.mainExeDir[language];
    PageModel page = folderPage(app, "setup-folder", 84, 85, app.individualSetupFolder);
    page.subFolder = app.mainExeDir[language];
    const PageResult answer = showPage(app, page);
    if (ended(answer)) return answer;
    app.individualSetupFolder = typedFolder(page.folder);
    // Creates the folder on the way, exactly as the copy is made later.
    if (!app.individualSetupFolder.empty() && acceptableFolderName(app.individualSetupFolder) &&
        folderWritableByCopy(app.system(), app.individualSetupFolder))
        return answer;
    folderRefused(app, app.individualSetupFolder);
    app.individualSetupFolder.clear();
    return StepResult::again(answer);
}

StepResult WizardSteps::askProgramFolder(RunContext& app) {
    if (!((app.preconfigMode && !app.linkOnly) || app.toGoEdition)) return StepResult::skip();
    const std::u16string remembered = app.targetProgramFolder;
    if (app.targetProgramFolder.empty()) {
        app.targetProgramFolder = defaultProgramFolder(app);
        folderWritableByCopy(app.system(), app.targetProgramFolder);  // creates it; the page says the rest
    }
    PageModel page = app.toGoEdition ? folderPage(app, "program-folder", 157, 158, app.targetProgramFolder)
                                     : folderPage(app, "program-folder", 86, 87, app.targetProgramFolder);
    page.subFolder = app.mainExeDir[app.languageIndex];
    const PageResult answer = showPage(app, page);
    if (ended(answer)) {
        app.targetProgramFolder = remembered;
        return answer;
    }
    const std::u16string folder = typedFolder(page.folder);
    if (!folder.empty() && acceptableFolderName(folder)) {
        app.targetProgramFolder = folder;
        return answer;
    }
    folderRefused(app, folder);
    app.targetProgramFolder.clear();
    return StepResult::again(answer);
}

StepResult WizardSteps::askCircuitFolder(RunContext& app) {
    if (!app.circuitFolderDialog || unattended(app)) return StepResult::skip();
    PageModel page = framedPage(app, PageClass::CircuitFolder, "working-folder");
    page.title = productText(app, 111);
    page.message = productText(app, 112);
    page.checkBoxText = productCaption(app, 113);
    page.userFolderLabel = productCaption(app, 114);
    page.browseInstruction = productText(app, 115);
    page.standardFolder = standardCircuitFolder(app);
    page.showStandardFolder = !app.preconfigMode;
    page.folder = app.circuitFolder;
    page.useStandardFolder = app.useStandardCircuitFolder;
    for (;;) {
        const PageResult answer = showPage(app, page);
        app.useStandardCircuitFolder = page.useStandardFolder;
        if (ended(answer) || page.useStandardFolder) return answer;
        const std::u16string folder = typedFolder(page.folder);
        // An own folder must be one that can be named; otherwise the page asks again.
        if (!folder.empty() && acceptableFolderName(folder)) {
            app.circuitFolder = folder;
            return answer;
        }
        folderRefused(app, folder);
    }
}

StepResult WizardSteps::askCopyVideos(RunContext& app) {
    if (!app.askForVideos || app.linkOnly || unattended(app)) return StepResult::skip();
    PageModel page = app.videosAsDownload ? twoOptions(app, "copy-films", 141, 142, 143, 144, app.installVideos)
                     : app.isPelaxo4      ? twoOptions(app, "copy-films", 97, 98, 99, 100, app.installVideos)
                                          : twoOptions(app, "copy-films", 97, 153, 99, 154, app.installVideos);
    page.message = replaceAll(page.message, u"xyz", app.videosSize);
    page.option1 = replaceAll(page.option1, u"xyz", literalInCaption(app.videosSize));
    PageResult answer = PageResult::None;
    const bool first = answeredFirst(app, page, answer);
    if (ended(answer)) return answer;
    app.installVideos = first;
    return goneOn(answer);
}

StepResult WizardSteps::fetchVideos(RunContext& app) {
    if (!app.videosAsDownload || !app.installVideos || app.linkOnly || unattended(app)) return StepResult::skip();
    const int result = downloads_.downloadVideos(app);
    if (downloadFailed(result)) return reportDownloadFailure(app, result, app.system().tempFolder() + u"\\media2.cab");
    return PageResult::Next;
}

StepResult WizardSteps::askMaterialDownload(RunContext& app) {
    if (!app.askForMaterialDownload || app.linkOnly || unattended(app)) return StepResult::skip();
    PageModel page = twoOptions(app, nullptr, 159, 160, 161, 162, app.downloadMaterialChosen);
    page.message = replaceAll(page.message, u"xyz", app.videosSize);
    PageResult answer = PageResult::None;
    const bool first = answeredFirst(app, page, answer);
    if (ended(answer)) return answer;
    app.downloadMaterialChosen = first;
    if (!first) return goneOn(answer);
    const int result = downloads_.downloadMaterial(app);
    if (downloadFailed(result)) return reportDownloadFailure(app, result, u"*.cab");
    app.materialDownloaded = true;
    return PageResult::Next;
}

StepResult WizardSteps::askPresentations(RunContext& app) {
    if (!app.askForPresentations || app.linkOnly || unattended(app)) return StepResult::skip();
    PageModel page = twoOptions(app, nullptr, 101, 102, 103, 104, app.installPresentations);
    page.message = replaceAll(app.text(102), u"ProductX", app.productShortName);
    page.option1 = replaceAll(page.option1, u"xyz", literalInCaption(app.presentationsSize));
    PageResult answer = PageResult::None;
    const bool first = answeredFirst(app, page, answer);
    if (ended(answer)) return answer;
    app.installPresentations = first;
    return goneOn(answer);
}

StepResult WizardSteps::askAutoMode(RunContext& app) {
    if (!app.preconfigMode) return StepResult::skip();
    PageModel page = twoOptions(app, "client-options", 88, 89, 90, 91, app.autoMode != 0);
    PageResult answer = PageResult::None;
    const bool first = answeredFirst(app, page, answer);
    if (ended(answer)) return answer;
    app.autoMode = first ? 1 : 0;
    return goneOn(answer);
}

StepResult WizardSteps::showPresetsSummary(RunContext& app) {
    composePresets(app);
    PageModel page = framedPage(app, PageClass::Info, "setup-options");
    page.title = productText(app, 126);
    page.message = replaceAll(app.text(127), u"XYZ", app.individualSetupFolder);
    page.infoText = app.text(128) + u"\n\n" + app.setupIniText;
    return showPage(app, page);
}

void WizardSteps::showFinishPage(RunContext& app, const std::u16string& heading, const std::u16string& text,
                                 const std::u16string& additionalText) {
    PageModel page = framedPage(app, PageClass::Info, nullptr);
    page.title = heading;
    page.message = text;
    page.infoText = additionalText;
    page.helpCaption.clear();
    page.backCaption.clear();
    page.nextCaption.clear();
    page.cancelCaption = app.text(22);
    page.cancelQuestion.clear();  // the finish page ends at once
    showPage(app, page);
}
