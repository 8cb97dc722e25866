// The wizard's page steps: each page filled from the text table and the run state, shown
// through the platform's Ui, and its answer checked and taken over.
#pragma once

#include "ui/page_steps.h"

class WizardSteps : public PageSteps {
public:
    explicit WizardSteps(ContentDownloads& downloads) : downloads_(downloads) {}

    void showStartPage(RunContext& app) override;
    void askAlreadyInstalled(RunContext& app) override;
    void askOlderInstallation(RunContext& app) override;
    void askInstallationType(RunContext& app) override;
    void askNetworkFolder(RunContext& app) override;
    void askUserGroup(RunContext& app) override;
    void askSetupFolder(RunContext& app) override;
    void askProgramFolder(RunContext& app) override;
    void askCircuitFolder(RunContext& app) override;
    void askCopyVideos(RunContext& app) override;
    void fetchVideos(RunContext& app) override;
    void askMaterialDownload(RunContext& app) override;
    void askPresentations(RunContext& app) override;
    void askAutoMode(RunContext& app) override;
    void showPresetsSummary(RunContext& app) override;
    void showFinishPage(RunContext& app, const std::u16string& heading, const std::u16string& text,
                        const std::u16string& additionalText) override;

private:
    ContentDownloads& downloads_;
};
