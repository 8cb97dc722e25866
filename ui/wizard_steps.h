// The page steps of the wizard and the install actions, as the flow calls them.
#pragma once

#include "app/setup_flow.h"

class WizardSteps : public FlowSteps {
public:
    void showStartPage(CBootstrapperApp& app) override;
    void askAlreadyInstalled(CBootstrapperApp& app) override;
    void askOlderInstallation(CBootstrapperApp& app) override;
    void askInstallationType(CBootstrapperApp& app) override;
    void askNetworkFolder(CBootstrapperApp& app) override;
    void askUserGroup(CBootstrapperApp& app) override;
    void askSetupFolder(CBootstrapperApp& app) override;
    void askProgramFolder(CBootstrapperApp& app) override;
    void askCircuitFolder(CBootstrapperApp& app) override;
    void askCopyVideos(CBootstrapperApp& app) override;
    void fetchVideos(CBootstrapperApp& app) override;
    void askMaterialDownload(CBootstrapperApp& app) override;
    void askPresentations(CBootstrapperApp& app) override;
    void askAutoMode(CBootstrapperApp& app) override;
    void showPresetsSummary(CBootstrapperApp& app) override;
    void showFinishPage(CBootstrapperApp& app, const std::u16string& heading, const std::u16string& text,
                        const std::u16string& additionalText) override;

    int installDotNet20(CBootstrapperApp& app) override;
    int installDotNet40Client(CBootstrapperApp& app) override;
    bool checkOlderInstallation(CBootstrapperApp& app) override;
    void installShellExtension(CBootstrapperApp& app) override;
    int launchPackage(CBootstrapperApp& app) override;
    void createShortcutsAndRegistry(CBootstrapperApp& app) override;
    void removeProduct(CBootstrapperApp& app) override;
    int createIndividualSetup(CBootstrapperApp& app) override;
    void startFromMedium(CBootstrapperApp& app) override;
    bool downloadAndStartUpdate(CBootstrapperApp& app) override;
};
