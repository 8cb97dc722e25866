#include "app/setup_flow.h"

#include <map>
#include <optional>

#include "app/flow_routes.h"
#include "app/flow_states.h"
#include "app/run_notes.h"
#include "install/package_launch.h"
#include "platform/queries.h"
#include "text/texts.h"

namespace {

using namespace state;

// Where an action leads: the next state, or nothing when the run ends with it.
using ActionResult = std::optional<std::string>;
const ActionResult kRunEnds = std::nullopt;

class Flow {
public:
    Flow(RunContext& app, Navigation& navigation, PageSteps& pages, InstallActions& actions)
        : app_(app), navigation_(navigation), pages_(pages), actions_(actions) {}

    void run() {
        while (navigation_.flowState != kCancel) {
            const std::string current = navigation_.flowState;
            noteState(app_, current);
            auto page = pageSteps().find(current);
            if (page != pageSteps().end()) {
                navigation_.flowState = runPage(current, page->second);
                continue;
            }
            auto action = actionStates().find(current);
            if (action == actionStates().end()) {
                navigation_.flowState = kStart;  // a word that names no state
                continue;
            }
            const ActionResult next = (this->*action->second)();
            if (next == kRunEnds) return;
            navigation_.flowState = *next;
        }
        noteState(app_, kCancel);
    }

private:
    // The step each page state runs; null: the already-installed pair, chosen here.
    using StepFn = StepResult (PageSteps::*)(RunContext&);

    static const std::map<std::string, StepFn>& pageSteps() {
        static const std::map<std::string, StepFn> table = {
            {kStart, &PageSteps::showStartPage},
            {kAlreadyInstalled, nullptr},
            {kFullOrLink, &PageSteps::askInstallationType},
            {kServerFolder, &PageSteps::askNetworkFolder},
            {kAllUsers, &PageSteps::askUserGroup},
            {kSetupFolder, &PageSteps::askSetupFolder},
            {kTargetFolder, &PageSteps::askProgramFolder},
            {kApplicationFolder, &PageSteps::askCircuitFolder},
            {kVideos, &PageSteps::askCopyVideos},
            {kVideosDownload, &PageSteps::fetchVideos},
            {kMaterialDownload, &PageSteps::askMaterialDownload},
            {kPresentations, &PageSteps::askPresentations},
            {kAutoMode, &PageSteps::askAutoMode},
            {kPresetsSummary, &PageSteps::showPresetsSummary},
        };
        return table;
    }

    static const std::map<std::string, ActionResult (Flow::*)()>& actionStates() {
        static const std::map<std::string, ActionResult (Flow::*)()> table = {
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

    std::string runPage(const std::string& current, StepFn step) {
        if (current == kStart) app_.choices.preconfigMode = app_.choices.linkOnly = false;
        const int languageBefore = app_.choices.languageIndex;
        const StepResult result = step ? (pages_.*step)(app_) : alreadyInstalledStep();
        notePage(app_, current, result, languageBefore);
        return routeStep(app_, navigation_, current, result);
    }

    StepResult alreadyInstalledStep() {
        if (IsProductInstalled(app_.system(), app_.product.productGuid)) return pages_.askAlreadyInstalled(app_);
        return pages_.askOlderInstallation(app_);
    }

    // ---- action states ----

    void message(TextRow row, platform::MessageKind kind = platform::MessageKind::Error,
                 const std::u16string& product = std::u16string()) {
        app_.showMessage(replaceAll(app_.text(row), u"ProductX", product.empty() ? app_.product.productName : product),
                         kind);
    }

    // A runtime prerequisite: nothing when it is there (now); otherwise where to go instead.
    std::optional<std::string> runtimeMissing(bool installed, RuntimeOutcome (InstallActions::*install)(RunContext&),
                                              bool version40) {
        if (installed) return std::nullopt;
        if (!app_.system().isAdministrator()) {
            std::u16string text =
                replaceAll(app_.text(TextRow::DotNet20RequiredNoAdministrator), u"ProductX", app_.product.productName);
            if (version40) text = replaceAll(text, u"2.0 SP2", u"4.0");
            app_.showMessage(text, platform::MessageKind::Error);
            return kStart;
        }
        const RuntimeOutcome outcome = (actions_.*install)(app_);
        if (outcome == RuntimeOutcome::Installed) return std::nullopt;
        return outcome == RuntimeOutcome::Cancelled ? kCancel : kStart;
    }

    ActionResult installApplication() {
        platform::System& sys = app_.system();
        if (app_.product.adminRequired && !sys.isAdministrator()) {
            message(TextRow::InstallNeedsAdministrator);
            return kStart;
        }
        if (app_.product.needsDotNet20) {
            if (auto instead = runtimeMissing(dotNet20Installed(sys, 2), &InstallActions::installDotNet20, false))
                return instead;
        }
        if (app_.product.needsDotNet40Client) {
            if (auto instead =
                    runtimeMissing(dotNet40ClientInstalled(sys), &InstallActions::installDotNet40Client, true))
                return instead;
        }
        if (app_.product.toGoEdition) {
            const std::pair<const std::u16string*, const char16_t*> editions[] = {{&app_.product.editionGuidE, u" E"},
                                                                                  {&app_.product.editionGuidH, u" H"},
                                                                                  {&app_.product.editionGuidP, u" P"}};
            for (const auto& [guid, letter] : editions) {
                if (!guid->empty() && IsProductInstalled(sys, *guid)) {
                    message(TextRow::AlreadyInstalled, platform::MessageKind::Error, app_.product.productName + letter);
                    return kStart;
                }
            }
        }
        navigation_.forwardDirection = true;
        if (IsProductInstalled(sys, app_.product.productGuid) ||
            (app_.offer.isPelaxo4 && actions_.checkOlderInstallation(app_)))
            return kAlreadyInstalled;
        navigation_.backTarget[kAllUsers] = kStart;
        return kAllUsers;
    }

    ActionResult launchMsi() {
        actions_.installShellExtension(app_);
        const int exitCode = actions_.launchPackage(app_);
        // A quiet run waits for nobody: its outcome is its exit code, not a page.
        if (app_.choices.msiUiOption.empty() && (app_.product.toGoEdition || exitCode != 0))
            pages_.showFinishPage(
                app_, replaceAll(app_.text(TextRow::SetupFinished), u"ProductX", app_.product.productName),
                app_.text(installerSucceeded(static_cast<std::uint32_t>(exitCode)) ? TextRow::InstallationCompleted
                                                                                   : TextRow::SetupAborted),
                u"");
        return kRunEnds;
    }

    ActionResult createLink() {
        actions_.installShellExtension(app_);
        actions_.createShortcutsAndRegistry(app_);
        if (app_.choices.msiUiOption.empty())
            pages_.showFinishPage(app_,
                                  replaceAll(app_.text(TextRow::SetupFinished), u"ProductX", app_.product.productName),
                                  app_.text(TextRow::InstallationCompleted), app_.text(TextRow::OnlyLinkCreated));
        return kRunEnds;
    }

    ActionResult createLinkSilently() {
        actions_.createShortcutsAndRegistry(app_);
        return kRunEnds;
    }

    ActionResult removeAll() {
        actions_.removeProduct(app_);
        return kRunEnds;
    }

    ActionResult createPreconfigSetup() {
        const int result = actions_.createIndividualSetup(app_);
        if (result >= 0) {
            pages_.showFinishPage(app_, app_.text(TextRow::IndividualSetupCreated),
                                  replaceAll(app_.text(TextRow::IndividualSetupCreatedMessage), u"XYZ",
                                             app_.choices.individualSetupFolder),
                                  app_.text(TextRow::SetupIniContent) + u"\n\n" + app_.choices.setupIniText);
            return kRunEnds;
        }
        const std::u16string text = result == -4 ? app_.text(TextRow::NotEnoughSpace)
                                                 : replaceAll(app_.text(TextRow::IndividualSetupNotCopied), u"xyz",
                                                              app_.choices.individualSetupFolder);
        app_.showMessage(text, platform::MessageKind::Plain);
        return kSetupFolder;
    }

    ActionResult startFromStick() {
        if (app_.product.needsDotNet20) {
            if (auto instead =
                    runtimeMissing(dotNet20Installed(app_.system(), 2), &InstallActions::installDotNet20, false))
                return instead;
        }
        actions_.startFromMedium(app_);
        return kRunEnds;
    }

    ActionResult findUpdate() {
        if (dotNet20Installed(app_.system(), 0)) return kDownloadUpdate;
        if (app_.system().isAdministrator()) return kDotNetThenUpdate;
        return kNoAdminNoDotNet;
    }

    ActionResult dotNetThenUpdate() {
        switch (actions_.installDotNet20(app_)) {
        case RuntimeOutcome::Installed: return kDownloadUpdate;
        case RuntimeOutcome::Cancelled: return kCancel;
        case RuntimeOutcome::Missing:
        case RuntimeOutcome::Back: break;
        }
        return kStart;
    }

    ActionResult noAdminNoDotNet() {
        message(TextRow::UpdateNeedsDotNet20);
        return kStart;
    }

    ActionResult downloadUpdate() {
        const UpdateOutcome outcome = actions_.downloadAndStartUpdate(app_);
        if (outcome == UpdateOutcome::Started) return kRunEnds;
        // The script that asked for the update learns that none runs, and why.
        if (outcome == UpdateOutcome::Refused && app_.choices.quietCommandLine) {
            app_.record.installerExitCode = kUpdateRefusedExitCode;
            return kRunEnds;
        }
        return kStart;
    }

    RunContext& app_;
    Navigation& navigation_;
    PageSteps& pages_;
    InstallActions& actions_;
};

}  // namespace

void runSetupFlow(RunContext& app, Navigation& navigation, PageSteps& pages, InstallActions& actions) {
    Flow(app, navigation, pages, actions).run();
}
