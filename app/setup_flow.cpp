#include "app/setup_flow.h"

#include <functional>
#include <map>

#include "app/bootstrapper_app.h"
#include "platform/queries.h"
#include "text/texts.h"

namespace {

// State names, compared exactly.
const std::string kStart = "start";
const std::string kCancel = "cancel";
const std::string kAlreadyInstalled = "Dialog: already installed notification";
const std::string kFullOrLink = "Dialog: full or link";
const std::string kServerFolder = "Dialog: server folder";
const std::string kAllUsers = "Dialog: all users";
const std::string kSetupFolder = "Dialog: setup folder";
const std::string kTargetFolder = "Dialog: target folder";
const std::string kApplicationFolder = "Dialog: application folder";
const std::string kVideos = "Dialog: videos";
const std::string kVideosDownload = "Dialog: ask for videos download";
const std::string kMaterialDownload = "Dialog: ask for didactic material download";
const std::string kPresentations = "Dialog: presentations";
const std::string kAutoMode = "Dialog: auto mode";
const std::string kPresetsSummary = "Dialog: create preconfig setup notification dialog";
const std::string kInstallApplication = "install application";
const std::string kLaunchMsi = "launch msi";
const std::string kCreateLink = "create link";
const std::string kCreateLinkSilently = "create link silently";
const std::string kRemoveAll = "remove all";
const std::string kCreatePreconfigSetup = "create preconfig setup";
const std::string kStartFromStick = "start from stick";
const std::string kFindUpdate = "find update";
const std::string kDotNetThenUpdate = "install dotnet first then download and start update";
const std::string kNoAdminNoDotNet = "no admin AND no dotnet for update";
const std::string kDownloadUpdate = "download and start update";

enum class Next { Continue, End };

class Flow {
public:
    Flow(CBootstrapperApp& app, FlowSteps& steps) : app_(app), steps_(steps) {}

    void run() {
        while (app_.flowState != kCancel) {
            auto page = pages().find(app_.flowState);
            if (page != pages().end()) {
                runPage(page->first, page->second);
                continue;
            }
            auto action = actions().find(app_.flowState);
            if (action == actions().end()) {
                app_.flowState = kStart;  // a word that names no state
                continue;
            }
            if ((this->*action->second)() == Next::End) return;
        }
    }

private:
    using StepFn = void (FlowSteps::*)(CBootstrapperApp&);
    struct PageState {
        StepFn step;
        // Where "next" and the other words lead; empty target: stay with the generic rules.
        std::string (Flow::*route)(const std::string& state, const std::string& word);
    };

    static const std::map<std::string, PageState>& pages() {
        static const std::map<std::string, PageState> table = {
            {kStart, {&FlowSteps::showStartPage, &Flow::routeStart}},
            {kAlreadyInstalled, {nullptr, &Flow::routeAlreadyInstalled}},
            {kFullOrLink, {&FlowSteps::askInstallationType, &Flow::routeFullOrLink}},
            {kServerFolder, {&FlowSteps::askNetworkFolder, &Flow::routeServerFolder}},
            {kAllUsers, {&FlowSteps::askUserGroup, &Flow::routeChain}},
            {kSetupFolder, {&FlowSteps::askSetupFolder, &Flow::routeChain}},
            {kTargetFolder, {&FlowSteps::askProgramFolder, &Flow::routeChain}},
            {kApplicationFolder, {&FlowSteps::askCircuitFolder, &Flow::routeChain}},
            {kVideos, {&FlowSteps::askCopyVideos, &Flow::routeChain}},
            {kVideosDownload, {&FlowSteps::fetchVideos, &Flow::routeChain}},
            {kMaterialDownload, {&FlowSteps::askMaterialDownload, &Flow::routeChain}},
            {kPresentations, {&FlowSteps::askPresentations, &Flow::routePresentations}},
            {kAutoMode, {&FlowSteps::askAutoMode, &Flow::routeChain}},
            {kPresetsSummary, {&FlowSteps::showPresetsSummary, &Flow::routeChain}},
        };
        return table;
    }

    static const std::map<std::string, Next (Flow::*)()>& actions() {
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
        if (page.step) (steps_.*page.step)(app_);
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
            {kAllUsers, kSetupFolder},           {kSetupFolder, kTargetFolder},
            {kTargetFolder, kApplicationFolder}, {kApplicationFolder, kVideos},
            {kVideos, kVideosDownload},          {kVideosDownload, kMaterialDownload},
            {kMaterialDownload, kPresentations}, {kAutoMode, kPresetsSummary},
            {kPresetsSummary, kCreatePreconfigSetup},
        };
        if (word == "back") return app_.backTarget[state];
        if (word == "next") return forward(state, next.at(state));
        return word;
    }

    std::string routeStart(const std::string&, const std::string& word) {
        if (word == "button1") return kStartFromStick;
        if (word == "button2") return kInstallApplication;
        if (word == "button4") {
            if (!app_.preconfigSetup) return kFindUpdate;
            app_.preconfigMode = true;
            return forward(kStart, kFullOrLink);
        }
        return kStart;
    }

    void alreadyInstalledStep() {
        if (IsProductInstalled(app_.system(), app_.productGuid)) steps_.askAlreadyInstalled(app_);
        else steps_.askOlderInstallation(app_);
    }

    std::string routeAlreadyInstalled(const std::string&, const std::string& word) {
        if (word == "next") return kLaunchMsi;
        if (word == "back") return kStart;  // fixed, whatever came before
        return word;  // the step may have chosen a later page itself
    }

    std::string routeFullOrLink(const std::string& state, const std::string& word) {
        if (word == "back") return app_.backTarget[state];
        if (word == "option2") return forward(state, kServerFolder);
        return forward(state, kAllUsers);
    }

    std::string routeServerFolder(const std::string& state, const std::string& word) {
        if (word == "back") return app_.backTarget[state];
        return forward(state, kAllUsers);
    }

    std::string routePresentations(const std::string& state, const std::string& word) {
        if (word == "back") return app_.backTarget[state];
        if (word != "next") return word;
        if (app_.preconfigMode) return forward(state, kAutoMode);
        return app_.linkOnly ? kCreateLink : kLaunchMsi;
    }

    // ---- action states ----

    void message(int row, platform::MessageKind kind = platform::MessageKind::Error,
                 const std::u16string& product = std::u16string()) {
        app_.showMessage(replaceAll(app_.text(row), u"ProductX", product.empty() ? app_.productName : product),
                         kind);
    }

    // A runtime prerequisite: true to go on; otherwise flowState holds where to go.
    bool runtimeReady(bool installed, int (FlowSteps::*install)(CBootstrapperApp&), bool version40) {
        if (installed) return true;
        if (!app_.system().isAdministrator()) {
            std::u16string text = replaceAll(app_.text(30), u"ProductX", app_.productName);
            if (version40) text = replaceAll(text, u"2.0 SP2", u"4.0");
            app_.showMessage(text, platform::MessageKind::Error);
            app_.flowState = kStart;
            return false;
        }
        const int result = (steps_.*install)(app_);
        if (app_.flowState == kCancel) return false;
        if (result < 0 || app_.flowState == "back") {
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
        if (app_.needsDotNet20 &&
            !runtimeReady(dotNet20Installed(sys, 2), &FlowSteps::installDotNet20, false))
            return Next::Continue;
        if (app_.needsDotNet40Client &&
            !runtimeReady(dotNet40ClientInstalled(sys), &FlowSteps::installDotNet40Client, true))
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
        if (IsProductInstalled(sys, app_.productGuid) ||
            (app_.isPelaxo4 && steps_.checkOlderInstallation(app_))) {
            app_.flowState = kAlreadyInstalled;
        } else {
            app_.flowState = forward(kStart, kAllUsers);
        }
        return Next::Continue;
    }

    Next launchMsi() {
        steps_.installShellExtension(app_);
        const int exitCode = steps_.launchPackage(app_);
        if (app_.toGoEdition || exitCode != 0)
            steps_.showFinishPage(app_, replaceAll(app_.text(19), u"ProductX", app_.productName),
                                  app_.text(exitCode == 0 ? 18 : 81), u"");
        return Next::End;
    }

    Next createLink() {
        steps_.installShellExtension(app_);
        steps_.createShortcutsAndRegistry(app_);
        if (app_.msiUiOption.empty())
            steps_.showFinishPage(app_, replaceAll(app_.text(19), u"ProductX", app_.productName), app_.text(18),
                                  app_.text(125));
        return Next::End;
    }

    Next createLinkSilently() {
        steps_.createShortcutsAndRegistry(app_);
        return Next::End;
    }

    Next removeAll() {
        steps_.removeProduct(app_);
        return Next::End;
    }

    Next createPreconfigSetup() {
        const int result = steps_.createIndividualSetup(app_);
        if (result >= 0) {
            steps_.showFinishPage(app_, app_.text(134), replaceAll(app_.text(135), u"XYZ", app_.individualSetupFolder),
                                  app_.text(128) + u"\n\n" + app_.setupIniText);
            return Next::End;
        }
        const std::u16string text = result == -4 ? app_.text(120)
                                                 : replaceAll(app_.text(95), u"xyz", app_.individualSetupFolder);
        app_.showMessage(text, platform::MessageKind::Plain);
        app_.flowState = kSetupFolder;
        return Next::Continue;
    }

    Next startFromStick() {
        if (app_.needsDotNet20 &&
            !runtimeReady(dotNet20Installed(app_.system(), 2), &FlowSteps::installDotNet20, false))
            return app_.flowState == kCancel ? Next::End : Next::Continue;
        steps_.startFromMedium(app_);
        return Next::End;
    }

    Next findUpdate() {
        if (dotNet20Installed(app_.system(), 0)) app_.flowState = kDownloadUpdate;
        else if (app_.system().isAdministrator()) app_.flowState = kDotNetThenUpdate;
        else app_.flowState = kNoAdminNoDotNet;
        return Next::Continue;
    }

    Next dotNetThenUpdate() {
        const int result = steps_.installDotNet20(app_);
        if (app_.flowState == kCancel) return Next::End;
        app_.flowState = (result < 0 || app_.flowState == "back") ? kStart : kDownloadUpdate;
        return Next::Continue;
    }

    Next noAdminNoDotNet() {
        message(43);
        app_.flowState = kStart;
        return Next::Continue;
    }

    Next downloadUpdate() {
        if (steps_.downloadAndStartUpdate(app_)) return Next::End;
        app_.flowState = kStart;
        return Next::Continue;
    }

    CBootstrapperApp& app_;
    FlowSteps& steps_;
};

}  // namespace

void runSetupFlow(CBootstrapperApp& app, FlowSteps& steps) { Flow(app, steps).run(); }
