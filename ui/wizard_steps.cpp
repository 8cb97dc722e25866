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

bool unattended(const RunContext& app) { return !app.choices.msiUiOption.empty(); }

bool ended(PageResult answer) { return answer == PageResult::Back || answer == PageResult::Cancel; }

// A question whose choice has been taken goes on. A page ended without a word (None) stays
// None: the flow moves on from a question all the same, but sets no direction of travel.
PageResult goneOn(PageResult answer) { return answer == PageResult::None ? answer : PageResult::Next; }

PageModel twoOptions(RunContext& app, const char* topic, TextRow title, TextRow message, TextRow option1,
                     TextRow option2, bool firstPreselected) {
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

// A two-option question whose answer is a yes or no: the first option chosen goes into
// choice. Back and Cancel end the step with the choice as it was; any other answer goes on.
StepResult askInto(RunContext& app, PageModel& page, bool& choice) {
    PageResult answer = PageResult::None;
    const bool first = answeredFirst(app, page, answer);
    if (ended(answer)) return answer;
    choice = first;
    return goneOn(answer);
}

bool downloadFailed(int result) {
    return result == kDownloadCancelled || result == kDownloadLocalFileProblem || result == kDownloadTransferProblem;
}

// A failed download: a local file problem names the file, a transfer problem says so, a
// cancelled one says nothing; then the user is back on the question before it.
StepResult reportDownloadFailure(RunContext& app, int result, const std::u16string& file) {
    if (result == kDownloadLocalFileProblem)
        app.showMessage(replaceAll(app.text(TextRow::NotEnoughSpaceForFile), u"xyz", file),
                        platform::MessageKind::Warning);
    else if (result == kDownloadTransferProblem)
        app.showMessage(app.text(TextRow::InternetConnectionFailed), platform::MessageKind::Warning);
    return StepResult::backToQuestion();
}

PageModel folderPage(RunContext& app, const char* topic, TextRow title, TextRow message, const std::u16string& folder) {
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
    warn(app, replaceAll(app.text(TextRow::FolderNotCreated), u"xyz", folder));
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
    if (!findInstallationFolder(system, folder, u"\\bin", app.product.startApplicationOnStick)) return false;
    return !app.offer.isPelaxo5 || pathExists(system, folder + materialFolder(app.product.technologyDomain));
}

// The user's documents folder and the product's circuit-file folder name; empty when
// the documents folder is unknown.
std::u16string standardCircuitFolder(RunContext& app) {
    const std::u16string documents = app.system().documentsFolder();
    if (documents.empty()) return {};
    return documents + u"\\" + app.product.circuitDir[app.choices.languageIndex];
}

std::u16string defaultProgramFolder(RunContext& app) {
    platform::System& system = app.system();
    std::u16string folder = removeTrailingBackslash(system.programFilesFolder(isWindows64(system)));
    if (folder.empty()) folder = u"c:";
    folder += app.offer.isPelaxo4 || app.offer.isPelaxo5 ? u"\\tutoria\\" : u"\\";
    return folder + app.product.mainExeDir[app.choices.languageIndex];
}

}  // namespace

StepResult WizardSteps::showStartPage(RunContext& app) {
    PageModel page = startPage(app);
    return showPage(app, page);
}

StepResult WizardSteps::askAlreadyInstalled(RunContext& app) {
    if (!app.offer.askForVideos && !app.offer.askForPresentations && !app.product.askForMaterialDownload) {
        app.choices.addOptionalComponents = false;
    } else {
        PageModel page =
            twoOptions(app, nullptr, TextRow::UpdateTitle, TextRow::AlreadyInstalled, TextRow::UpdateInstallationOption,
                       TextRow::OptionalComponentsOption, !app.choices.addOptionalComponents);
        const PageResult answer = showPage(app, page);
        if (ended(answer) || answer == PageResult::None) return answer;  // cancelled, closed, no word or back
        app.choices.addOptionalComponents = answer == PageResult::Option2;
        if (app.choices.addOptionalComponents)
            return StepResult::jumpTo(
                app.product.askForMaterialDownload ? StepTarget::MaterialDownload : StepTarget::Videos, answer);
    }
    app.choices.installPresentations = app.choices.installVideos = false;
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
    app.offer.legacyUpgrade = false;
    if (!app.offer.legacyExeDir.empty() && !pathExists(system, app.offer.legacyExeDir)) app.offer.legacyAllUsers = true;
    std::u16string start = system.longPathName(app.offer.legacyExeDir);
    if (endsWithBin(start)) start.resize(start.size() - 4);
    const std::u16string& exeFolder = app.product.mainExeDir[app.choices.languageIndex];
    if (start.size() < 2)
        start = system.programFilesFolder(true) + (app.offer.isPelaxo4 ? u"\\Tutoria\\" : u"\\") + exeFolder;
    const std::u16string name = app.offer.isPelaxo4 ? u"Pelaxo" : app.product.productName;
    PageModel page = folderPage(app, nullptr, TextRow::UpdateTitle, TextRow::SelectOlderInstallation, start);
    page.title = replaceAll(app.text(TextRow::UpdateTitle), u"ProductX", name);
    page.message = page.browseInstruction = replaceAll(app.text(TextRow::SelectOlderInstallation), u"ProductX", name);
    // The answer that set the direction last: a page asked again and ended without a word
    // keeps the direction an earlier Next gave.
    PageResult moved = PageResult::None;
    for (;;) {
        const PageResult answer = showPage(app, page);
        if (ended(answer)) return answer;
        if (answer != PageResult::None) moved = answer;
        const std::u16string folder = withoutBin(system.longPathName(typedFolder(page.folder)));
        app.offer.legacyInstDir = folder;
        if (checkOlderInstallation(app, system, folder + u"\\bin") == 0) {
            app.offer.legacyUpgrade = true;
            app.offer.legacyExeDir = folder + u"\\bin";
            app.offer.legacyInstDirLfn = app.offer.legacyInstNdirLfn = app.offer.legacyInstNdir = folder;
            return StepResult::jumpTo(StepTarget::Videos, moved);
        }
        app.showMessage(replaceAll(app.text(TextRow::NoOlderInstallationInFolder), u"ProductX", name),
                        platform::MessageKind::Plain);
    }
}

StepResult WizardSteps::askInstallationType(RunContext& app) {
    PageModel page =
        twoOptions(app, "program-access", TextRow::InstallationTypeTitle, TextRow::InstallationTypeMessage,
                   TextRow::FullInstallationOption, TextRow::ClientInstallationOption, !app.choices.linkOnly);
    const PageResult answer = showPage(app, page);
    app.choices.linkOnly = false;
    return answer;
}

StepResult WizardSteps::askNetworkFolder(RunContext& app) {
    app.choices.linkOnly = false;
    PageModel page = folderPage(app, "server-folder", TextRow::ProgramFolderTitle, TextRow::LocateNetworkInstallation,
                                app.choices.networkFolder);
    page.browseFlags = platform::kBrowseDefaultFlags | platform::kBrowseNoNewFolder;
    for (;;) {
        const PageResult answer = showPage(app, page);
        if (answer == PageResult::Cancel) return answer;
        std::u16string folder = typedFolder(page.folder);
        if (validInstallation(app, folder)) {
            app.choices.networkFolder = folder;
            app.choices.linkOnly = true;
            return answer;
        }
        if (answer == PageResult::Back) {
            app.choices.networkFolder.clear();
            return answer;
        }
        warn(app,
             productText(app, TextRow::NoNetworkInstallationInFolder));  // then the page again, as the user left it
    }
}

StepResult WizardSteps::askUserGroup(RunContext& app) {
    const bool administrator = app.system().isAdministrator();
    if (!administrator && !app.choices.preconfigMode) app.choices.allUsers = false;
    if ((!administrator && !app.choices.preconfigMode) || unattended(app)) return StepResult::skip();
    PageModel page = twoOptions(app, "user-group", TextRow::UserGroupTitle, TextRow::UserGroupMessage,
                                TextRow::AllUsersOption, TextRow::CurrentUserOption, app.choices.allUsers);
    return askInto(app, page, app.choices.allUsers);
}

StepResult WizardSteps::askSetupFolder(RunContext& app) {
    if (!app.choices.preconfigMode) return StepResult::skip();
    const int language = app.choices.languageIndex;
    if (app.choices.individualSetupFolder.empty())
        app.choices.individualSetupFolder = u"c:\\install\\" + app.product.mainExeDir[language];
    PageModel page = folderPage(app, "setup-folder", TextRow::SetupFolderTitle, TextRow::SetupFolderMessage,
                                app.choices.individualSetupFolder);
    page.subFolder = app.product.mainExeDir[language];
    const PageResult answer = showPage(app, page);
    if (ended(answer)) return answer;
    app.choices.individualSetupFolder = typedFolder(page.folder);
    // Creates the folder on the way, exactly as the copy is made later.
    if (!app.choices.individualSetupFolder.empty() && acceptableFolderName(app.choices.individualSetupFolder) &&
        folderWritableByCopy(app.system(), app.choices.individualSetupFolder))
        return answer;
    folderRefused(app, app.choices.individualSetupFolder);
    app.choices.individualSetupFolder.clear();
    return StepResult::again(answer);
}

StepResult WizardSteps::askProgramFolder(RunContext& app) {
    if (!((app.choices.preconfigMode && !app.choices.linkOnly) || app.product.toGoEdition)) return StepResult::skip();
    const std::u16string remembered = app.choices.targetProgramFolder;
    if (app.choices.targetProgramFolder.empty()) {
        app.choices.targetProgramFolder = defaultProgramFolder(app);
        folderWritableByCopy(app.system(), app.choices.targetProgramFolder);  // creates it; the page says the rest
    }
    PageModel page = app.product.toGoEdition
                         ? folderPage(app, "program-folder", TextRow::ProgramFolderTitle, TextRow::ProgramFolderMessage,
                                      app.choices.targetProgramFolder)
                         : folderPage(app, "program-folder", TextRow::TargetFolderTitle, TextRow::TargetFolderMessage,
                                      app.choices.targetProgramFolder);
    page.subFolder = app.product.mainExeDir[app.choices.languageIndex];
    const PageResult answer = showPage(app, page);
    if (ended(answer)) {
        app.choices.targetProgramFolder = remembered;
        return answer;
    }
    const std::u16string folder = typedFolder(page.folder);
    if (!folder.empty() && acceptableFolderName(folder)) {
        app.choices.targetProgramFolder = folder;
        return answer;
    }
    folderRefused(app, folder);
    app.choices.targetProgramFolder.clear();
    return StepResult::again(answer);
}

StepResult WizardSteps::askCircuitFolder(RunContext& app) {
    if (!app.product.circuitFolderDialog || unattended(app)) return StepResult::skip();
    PageModel page = framedPage(app, PageClass::CircuitFolder, "working-folder");
    page.title = productText(app, TextRow::CircuitFolderTitle);
    page.message = productText(app, TextRow::CircuitFolderMessage);
    page.checkBoxText = productCaption(app, TextRow::StandardCircuitFolderOption);
    page.userFolderLabel = productCaption(app, TextRow::OwnCircuitFolderOption);
    page.browseInstruction = productText(app, TextRow::SelectCircuitFolder);
    page.standardFolder = standardCircuitFolder(app);
    page.showStandardFolder = !app.choices.preconfigMode;
    page.folder = app.choices.circuitFolder;
    page.useStandardFolder = app.choices.useStandardCircuitFolder;
    for (;;) {
        const PageResult answer = showPage(app, page);
        app.choices.useStandardCircuitFolder = page.useStandardFolder;
        if (ended(answer) || page.useStandardFolder) return answer;
        const std::u16string folder = typedFolder(page.folder);
        // An own folder must be one that can be named; otherwise the page asks again.
        if (!folder.empty() && acceptableFolderName(folder)) {
            app.choices.circuitFolder = folder;
            return answer;
        }
        folderRefused(app, folder);
    }
}

StepResult WizardSteps::askCopyVideos(RunContext& app) {
    if (!app.offer.askForVideos || app.choices.linkOnly || unattended(app)) return StepResult::skip();
    PageModel page =
        app.offer.videosAsDownload
            ? twoOptions(app, "copy-films", TextRow::VideosDownloadTitle, TextRow::VideosDownloadMessage,
                         TextRow::DownloadVideosOption, TextRow::SkipVideosDownloadOption, app.choices.installVideos)
        : app.offer.isPelaxo4
            ? twoOptions(app, "copy-films", TextRow::VideosTitle, TextRow::VideosMessage, TextRow::CopyVideosOption,
                         TextRow::VideosFromCdOption, app.choices.installVideos)
            : twoOptions(app, "copy-films", TextRow::VideosTitle, TextRow::VideosMessageShort,
                         TextRow::CopyVideosOption, TextRow::SkipVideosOption, app.choices.installVideos);
    page.message = replaceAll(page.message, u"xyz", app.product.videosSize);
    page.option1 = replaceAll(page.option1, u"xyz", literalInCaption(app.product.videosSize));
    return askInto(app, page, app.choices.installVideos);
}

StepResult WizardSteps::fetchVideos(RunContext& app) {
    if (!app.offer.videosAsDownload || !app.choices.installVideos || app.choices.linkOnly || unattended(app))
        return StepResult::skip();
    const int result = downloads_.downloadVideos(app);
    if (downloadFailed(result)) return reportDownloadFailure(app, result, app.system().tempFolder() + u"\\media2.cab");
    return PageResult::Next;
}

StepResult WizardSteps::askMaterialDownload(RunContext& app) {
    if (!app.product.askForMaterialDownload || app.choices.linkOnly || unattended(app)) return StepResult::skip();
    PageModel page =
        twoOptions(app, nullptr, TextRow::MaterialTitle, TextRow::MaterialMessage, TextRow::DownloadMaterialOption,
                   TextRow::SkipMaterialOption, app.choices.downloadMaterialChosen);
    page.message = replaceAll(page.message, u"xyz", app.product.videosSize);
    PageResult answer = PageResult::None;
    const bool first = answeredFirst(app, page, answer);
    if (ended(answer)) return answer;
    app.choices.downloadMaterialChosen = first;
    if (!first) return goneOn(answer);
    const int result = downloads_.downloadMaterial(app);
    if (downloadFailed(result)) return reportDownloadFailure(app, result, u"*.cab");
    app.record.materialDownloaded = true;
    return PageResult::Next;
}

StepResult WizardSteps::askPresentations(RunContext& app) {
    if (!app.offer.askForPresentations || app.choices.linkOnly || unattended(app)) return StepResult::skip();
    PageModel page = twoOptions(app, nullptr, TextRow::PresentationsTitle, TextRow::PresentationsMessage,
                                TextRow::InstallPresentationsOption, TextRow::SkipPresentationsOption,
                                app.choices.installPresentations);
    page.message = replaceAll(app.text(TextRow::PresentationsMessage), u"ProductX", app.product.productShortName);
    page.option1 = replaceAll(page.option1, u"xyz", literalInCaption(app.product.presentationsSize));
    return askInto(app, page, app.choices.installPresentations);
}

StepResult WizardSteps::askAutoMode(RunContext& app) {
    if (!app.choices.preconfigMode) return StepResult::skip();
    PageModel page =
        twoOptions(app, "client-options", TextRow::AutoModeTitle, TextRow::AutoModeMessage,
                   TextRow::AutoModeQuietOption, TextRow::AutoModePromptsOption, app.choices.autoMode != 0);
    PageResult answer = PageResult::None;
    const bool first = answeredFirst(app, page, answer);
    if (ended(answer)) return answer;
    app.choices.autoMode = first ? 1 : 0;
    return goneOn(answer);
}

StepResult WizardSteps::showPresetsSummary(RunContext& app) {
    composePresets(app.choices, app.offer);
    PageModel page = framedPage(app, PageClass::Info, "setup-options");
    page.title = productText(app, TextRow::PresetsSummaryTitle);
    page.message = replaceAll(app.text(TextRow::PresetsSummaryMessage), u"XYZ", app.choices.individualSetupFolder);
    page.infoText = app.text(TextRow::SetupIniContent) + u"\n\n" + app.choices.setupIniText;
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
    page.cancelCaption = app.text(TextRow::Quit);
    page.cancelQuestion.clear();  // the finish page ends at once
    showPage(app, page);
}
