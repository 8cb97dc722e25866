// The wizard's page steps: each page filled from the text table and the run state, shown
// through the platform's Ui, and its answer checked and taken over.
#pragma once

#include "ui/page_steps.h"

class WizardSteps : public PageSteps {
public:
    explicit WizardSteps(ContentDownloads& downloads) : downloads_(downloads) {}

    StepResult showStartPage(RunContext& app) override;
    StepResult askAlreadyInstalled(RunContext& app) override;
    StepResult askOlderInstallation(RunContext& app) override;
    StepResult askInstallationType(RunContext& app) override;
    StepResult askNetworkFolder(RunContext& app) override;
    StepResult askUserGroup(RunContext& app) override;
    StepResult askSetupFolder(RunContext& app) override;
    StepResult askProgramFolder(RunContext& app) override;
    StepResult askCircuitFolder(RunContext& app) override;
    StepResult askCopyVideos(RunContext& app) override;
    StepResult fetchVideos(RunContext& app) override;
    StepResult askMaterialDownload(RunContext& app) override;
    StepResult askPresentations(RunContext& app) override;
    StepResult askAutoMode(RunContext& app) override;
    StepResult showPresetsSummary(RunContext& app) override;
    void showFinishPage(RunContext& app, const std::u16string& heading, const std::u16string& text,
                        const std::u16string& additionalText) override;

private:
    ContentDownloads& downloads_;
};
