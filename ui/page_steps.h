// The page steps as the setup flow calls them. Each decides whether its page is needed,
// shows it or skips it in the direction of travel, and leaves its answer in flowState: a
// result word (platform/flow_words.h) or a state name. WizardSteps is the real one; the
// flow's tests script their own.
#pragma once

#include <string>

#include "config/run_context.h"

class PageSteps {
public:
    virtual ~PageSteps() = default;

    virtual void showStartPage(RunContext& app) = 0;
    virtual void askAlreadyInstalled(RunContext& app) = 0;
    virtual void askOlderInstallation(RunContext& app) = 0;
    virtual void askInstallationType(RunContext& app) = 0;
    virtual void askNetworkFolder(RunContext& app) = 0;
    virtual void askUserGroup(RunContext& app) = 0;
    virtual void askSetupFolder(RunContext& app) = 0;
    virtual void askProgramFolder(RunContext& app) = 0;
    virtual void askCircuitFolder(RunContext& app) = 0;
    virtual void askCopyVideos(RunContext& app) = 0;
    virtual void fetchVideos(RunContext& app) = 0;
    virtual void askMaterialDownload(RunContext& app) = 0;
    virtual void askPresentations(RunContext& app) = 0;
    virtual void askAutoMode(RunContext& app) = 0;
    virtual void showPresetsSummary(RunContext& app) = 0;
    // The one-button information page that ends a run.
    virtual void showFinishPage(RunContext& app, const std::u16string& heading, const std::u16string& text,
                                const std::u16string& additionalText) = 0;
};

// The downloads the optional-content pages start and wait for. Implemented by the
// application over download/, so the pages need not know how a file arrives.
// Results as platform/download_result.h.
class ContentDownloads {
public:
    virtual ~ContentDownloads() = default;
    virtual int downloadVideos(RunContext& app) = 0;
    virtual int downloadMaterial(RunContext& app) = 0;
};
