// The setup flow: one state machine over named states held in flowState. A page state
// runs its page step, which leaves a result word ("next", "back", "cancel", "button1",
// "button2", "button4", "option1", "option2") or a state name in flowState; the flow
// turns the word into the next state. An action state runs an install action.
#pragma once

#include <string>

class CBootstrapperApp;

// What the states call: the page steps and the install actions. Page steps leave their
// answer in app.flowState.
class FlowSteps {
public:
    virtual ~FlowSteps() = default;

    // ---- page steps ----
    virtual void showStartPage(CBootstrapperApp& app) = 0;
    virtual void askAlreadyInstalled(CBootstrapperApp& app) = 0;
    virtual void askOlderInstallation(CBootstrapperApp& app) = 0;
    virtual void askInstallationType(CBootstrapperApp& app) = 0;
    virtual void askNetworkFolder(CBootstrapperApp& app) = 0;
    virtual void askUserGroup(CBootstrapperApp& app) = 0;
    virtual void askSetupFolder(CBootstrapperApp& app) = 0;
    virtual void askProgramFolder(CBootstrapperApp& app) = 0;
    virtual void askCircuitFolder(CBootstrapperApp& app) = 0;
    virtual void askCopyVideos(CBootstrapperApp& app) = 0;
    virtual void fetchVideos(CBootstrapperApp& app) = 0;
    virtual void askMaterialDownload(CBootstrapperApp& app) = 0;
    virtual void askPresentations(CBootstrapperApp& app) = 0;
    virtual void askAutoMode(CBootstrapperApp& app) = 0;
    virtual void showPresetsSummary(CBootstrapperApp& app) = 0;
    // The one-button information page that ends a run.
    virtual void showFinishPage(CBootstrapperApp& app, const std::u16string& heading, const std::u16string& text,
                                const std::u16string& additionalText) = 0;

    // ---- install actions ----
    // Runtime installers: a negative number on failure; the page's word stays in flowState.
    virtual int installDotNet20(CBootstrapperApp& app) = 0;
    virtual int installDotNet40Client(CBootstrapperApp& app) = 0;
    // An earlier installation of the older generation lies in legacyExeDir.
    virtual bool checkOlderInstallation(CBootstrapperApp& app) = 0;
    virtual void installShellExtension(CBootstrapperApp& app) = 0;
    // The exit code of the last installer run.
    virtual int launchPackage(CBootstrapperApp& app) = 0;
    virtual void createShortcutsAndRegistry(CBootstrapperApp& app) = 0;
    virtual void removeProduct(CBootstrapperApp& app) = 0;
    // 0 or more on success; -4 not enough disk space; other negative numbers: copy failed.
    virtual int createIndividualSetup(CBootstrapperApp& app) = 0;
    virtual void startFromMedium(CBootstrapperApp& app) = 0;
    // True when the update program has been started.
    virtual bool downloadAndStartUpdate(CBootstrapperApp& app) = 0;
};

// Runs from app.flowState until "cancel" or the end of an end action.
void runSetupFlow(CBootstrapperApp& app, FlowSteps& steps);
