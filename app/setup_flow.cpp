#include "app/setup_flow.h"

#include <functional>
#include <map>

#include "install/package_launch.h"
#include "platform/flow_words.h"
#include "platform/queries.h"
#include "text/texts.h"

namespace {

using namespace state;

enum class Next { Continue, End };

class Flow {
public:
    Flow(RunContext& app, PageSteps& pages, InstallActions& actions) : app_(app), pages_(pages), actions_(actions) {}

    void run() {
        while (app_.flowState != kCancel) {
            auto page = pageStates().find(app_.flowState);
            if (page != pageStates().end()) {
                runPage(page->first, page->second);
                continue;
            }
            auto action = actionStates().find(app_.flowState);
            if (action == actionStates().end()) {
                app_.flowState = kStart;  // a word that names no state
                continue;
            }
            if ((this->*action->second)() == Next::End) return;
        }
    }

private:
    using StepFn = void (PageSteps::*)(RunContext&);
    struct PageState {
        StepFn step;
        // Where "next" and the other words lead; empty target: stay with the generic rules.
        std::string (Flow::*route)(const std::string& state, const std::string& word);
    };

    static const std::map<std::string, PageState>& pageStates() {
        static const std::map<std::string, PageState> table = {
            {kStart, {&PageSteps::showStartPage, &Flow::routeStart}},
            {kAlreadyInstalled, {nullptr, &Flow::routeAlreadyInstalled}},
            {kFullOrLink, {&PageSteps::askInstallationType, &Flow::routeFullOrLink}},
            {kServerFolder, {&PageSteps::askNetworkFolder, &Flow::routeServerFolder}},
            {kAllUsers, {&PageSteps::askUserGroup, &Flow::routeChain}},
            {kSetupFolder, {&PageSteps::askSetupFolder, &Flow::routeChain}},
            {kTargetFolder, {&PageSteps::askProgramFolder, &Flow::routeChain}},
            {kApplicationFolder, {&PageSteps::askCircuitFolder, &Flow::routeChain}},
            {kVideos, {&PageSteps::askCopyVideos, &Flow::routeChain}},
            {kVideosDownload, {&PageSteps::fetchVideos, &Flow::routeChain}},
            {kMaterialDownload, {&PageSteps::askMaterialDownload, &Flow::routeChain}},
            {kPresentations, {&PageSteps::askPresentations, &Flow::routePresentations}},
            {kAutoMode, {&PageSteps::askAutoMode, &Flow::routeChain}},
            {kPresetsSummary, {&PageSteps::showPresetsSummary, &Flow::routeChain}},
        };
        return table;
    }

    static const std::map<std::string, Next (Flow::*)()>& actionStates() {
        static const std::map<std::string, Next (Flow::*)()> table = {
            {kInstallApplication, &Flow::installApplication},
            {kLaunchMsi, &Flow::launchMsi},
            {kCreateLink, &Flow::createLink},
            {kCreateLinkSilently, &Flow::createLinkSilently},
            {kRemoveAll, &Flow::removeAll},
            {kCreatePreconfigSetup, &Flow::createPreconfigSetup},
            {kStartFromStick, &Flow::startFromStick},
            {kFindUpdate, &Flow::findUpdate},
            {kDotNetThenUpdate, &Flow::dotNetThenUpdate},
            {kNoAdminNoDotNet, &Flow::noAdminNoDotNet},
            {kDownloadUpdate, &Flow::downloadUpdate},
        };
        return table;
    }

    void runPage(const std::string& state, const PageState& page) {
        if (state == kStart) app_.preconfigMode = app_.linkOnly = false;
        if (page.step) (pages_.*page.step)(app_);
        else alreadyInstalledStep();
        const std::string word = app_.flowState;
        if (word == kCancel) return;
        app_.flowState = (this->*page.route)(state, word);
    }

    // Moves forward into target, recording where its Back returns to.
    std::string forward(const std::string& from, const std::string& target) {
        app_.backTarget[target] = from;
        return target;
    }

    // The ordinary forward chain; "back" returns to the recorded state; other words stay.
    std::string routeChain(const std::string& state, const std::string& word) {
        static const std::map<std::string, std::string> next = {
            {kAllUsers, kSetupFolder},
            {kSetupFolder, kTargetFolder},
            {kTargetFolder, kApplicationFolder},
            {kApplicationFolder, kVideos},
            {kVideos, kVideosDownload},
            {kVideosDownload, kMaterialDownload},
            {kMaterialDownload, kPresentations},
            {kAutoMode, kPresetsSummary},
            {kPresetsSummary, kCreatePreconfigSetup},
        };
        if (word == word::kBack) return app_.backTarget[state];
        if (word == word::kNext) return forward(state, next.at(state));
        return word;
    }

    std::string routeStart(const std::string&, const std::string& word) {
        if (word == word::kButton1) return kStartFromStick;
        if (word == word::kButton2) return kInstallApplication;
        if (word == word::kButton4) {
            if (!app_.preconfigSetup) return kFindUpdate;
            app_.preconfigMode = true;
            return forward(kStart, kFullOrLink);
        }
        return kStart;
    }

    void alreadyInstalledStep() {
        if (IsProductInstalled(app_.system(), app_.productGuid)) pages_.askAlreadyInstalled(app_);
        else pages_.askOlderInstallation(app_);
    }

    std::string routeAlreadyInstalled(const std::string&, const std::string& word) {
        if (word == word::kNext) return kLaunchMsi;
        if (word == word::kBack) return kStart;  // fixed, whatever came before
        return word;                             // the step may have chosen a later page itself
    }

    std::string routeFullOrLink(const std::string& state, const std::string& word) {
        if (word == word::kBack) return app_.backTarget[state];
        if (word == word::kOption2) return forward(state, kServerFolder);
        return forward(state, kAllUsers);
    }

    std::string routeServerFolder(const std::string& state, const std::string& word) {
        if (word == word::kBack) return app_.backTarget[state];
        return forward(state, kAllUsers);
    }

    std::string routePresentations(const std::string& state, const std::string& word) {
        if (word == word::kBack) return app_.backTarget[state];
        if (word != word::kNext) return word;
        if (app_.preconfigMode) return forward(state, kAutoMode);
        return app_.linkOnly ? kCreateLink : kLaunchMsi;
    }

    // ---- action states ----

    void message(int row, platform::MessageKind kind = platform::MessageKind::Error,
                 const std::u16string& product = std::u16string()) {
        app_.showMessage(replaceAll(app_.text(row), u"ProductX", product.empty() ? app_.productName : product), kind);
    }

    // A runtime prerequisite: true to go on; otherwise flowState holds where to go.
    bool runtimeReady(bool installed, int (InstallActions::*install)(RunContext&), bool version40) {
        if (installed) return true;
        if (!app_.system().isAdministrator()) {
            std::u16string text = replaceAll(app_.text(30), u"ProductX", app_.productName);
            if (version40) text = replaceAll(text, u"2.0 SP2", u"4.0");
            app_.showMessage(text, platform::MessageKind::Error);
            app_.flowState = kStart;
            return false;
        }
        const int result = (actions_.*install)(app_);
        if (app_.flowState == kCancel) return false;
        if (result < 0 || app_.flowState == word::kBack) {
            app_.flowState = kStart;
            return false;
        }
        return true;
    }

    Next installApplication() {
        platform::System& sys = app_.system();
        if (app_.adminRequired && !sys.isAdministrator()) {
            message(12);
            app_.flowState = kStart;
            return Next::Continue;
        }
        if (app_.needsDotNet20 && !runtimeReady(dotNet20Installed(sys, 2), &InstallActions::installDotNet20, false))
            return Next::Continue;
        if (app_.needsDotNet40Client &&
            !runtimeReady(dotNet40ClientInstalled(sys), &InstallActions::installDotNet40Client, true))
            return Next::Continue;
        if (app_.toGoEdition) {
            const std::pair<const std::u16string*, const char16_t*> editions[] = {
                {&app_.editionGuidE, u" E"}, {&app_.editionGuidH, u" H"}, {&app_.editionGuidP, u" P"}};
            for (const auto& [guid, letter] : editions) {
                if (!guid->empty() && IsProductInstalled(sys, *guid)) {
                    message(122, platform::MessageKind::Error, app_.productName + letter);
                    app_.flowState = kStart;
                    return Next::Continue;
                }
            }
        }
        app_.forwardDirection = true;
        if (IsProductInstalled(sys, app_.productGuid) || (app_.isPelaxo4 && actions_.checkOlderInstallation(app_))) {
            app_.flowState = kAlreadyInstalled;
        } else {
            app_.flowState = forward(kStart, kAllUsers);
        }
        return Next::Continue;
    }

    Next launchMsi() {
        actions_.installShellExtension(app_);
        const int exitCode = actions_.launchPackage(app_);
        // A quiet run waits for nobody: its outcome is its exit code, not a page.
        if (app_.msiUiOption.empty() && (app_.toGoEdition || exitCode != 0))
            pages_.showFinishPage(app_, replaceAll(app_.text(19), u"ProductX", app_.productName),
                                  app_.text(installerSucceeded(static_cast<std::uint32_t>(exitCode)) ? 18 : 81), u"");
        return Next::End;
    }

    Next createLink() {
        actions_.installShellExtension(app_);
        actions_.createShortcutsAndRegistry(app_);
        if (app_.msiUiOption.empty())
            pages_.showFinishPage(app_, replaceAll(app_.text(19), u"ProductX", app_.productName), app_.text(18),
                                  app_.text(125));
        return Next::End;
    }

    Next createLinkSilently() {
        actions_.createShortcutsAndRegistry(app_);
        return Next::End;
    }

    Next removeAll() {
        actions_.removeProduct(app_);
        return Next::End;
    }

    Next createPreconfigSetup() {
        const int result = actions_.createIndividualSetup(app_);
        if (result >= 0) {
            pages_.showFinishPage(app_, app_.text(134), replaceAll(app_.text(135), u"XYZ", app_.individualSetupFolder),
                                  app_.text(128) + u"\n\n" + app_.setupIniText);
            return Next::End;
        }
        const std::u16string text =
            result == -4 ? app_.text(120) : replaceAll(app_.text(95), u"xyz", app_.individualSetupFolder);
        app_.showMessage(text, platform::MessageKind::Plain);
        app_.flowState = kSetupFolder;
        return Next::Continue;
    }

    Next startFromStick() {
        if (app_.needsDotNet20 &&
            !runtimeReady(dotNet20Installed(app_.system(), 2), &InstallActions::installDotNet20, false))
            return app_.flowState == kCancel ? Next::End : Next::Continue;
        actions_.startFromMedium(app_);
        return Next::End;
    }

    Next findUpdate() {
        if (dotNet20Installed(app_.system(), 0)) app_.flowState = kDownloadUpdate;
        else if (app_.system().isAdministrator()) app_.flowState = kDotNetThenUpdate;
        else app_.flowState = kNoAdminNoDotNet;
        return Next::Continue;
    }

    Next dotNetThenUpdate() {
        const int result = actions_.installDotNet20(app_);
        if (app_.flowState == kCancel) return Next::End;
        app_.flowState = (result < 0 || app_.flowState == word::kBack) ? kStart : kDownloadUpdate;
        return Next::Continue;
    }

    Next noAdminNoDotNet() {
        message(43);
        app_.flowState = kStart;
        return Next::Continue;
    }

    Next downloadUpdate() {
        const UpdateOutcome outcome = actions_.downloadAndStartUpdate(app_);
        if (outcome == UpdateOutcome::Started) return Next::End;
        // The script that asked for the update learns that none runs, and why.
        if (outcome == UpdateOutcome::Refused && app_.quietCommandLine) {
            app_.installerExitCode = kUpdateRefusedExitCode;
            return Next::End;
        }
        app_.flowState = kStart;
        return Next::Continue;
    }

    RunContext& app_;
    PageSteps& pages_;
    InstallActions& actions_;
};

}  // namespace

void runSetupFlow(RunContext& app, PageSteps& pages, InstallActions& actions) { Flow(app, pages, actions).run(); }
