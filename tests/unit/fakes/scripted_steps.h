// Page steps and install actions for the flow's tests: each step answers from its own
// script, each action from a field, and every call is logged by name.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "install/install_actions.h"
#include "ui/page_steps.h"

// Page steps answer from per-step scripts (default Next); every call is logged.
class ScriptedSteps : public PageSteps, public InstallActions {
public:
    std::map<std::string, std::deque<StepResult>> answers;
    std::vector<std::string> log;
    std::vector<std::u16string> finishTexts;
    RuntimeOutcome runtimeOutcome = RuntimeOutcome::Installed;
    int packageExitCode = 0;
    int individualSetupResult = 0;
    bool olderInstallation = false;
    UpdateOutcome updateOutcome = UpdateOutcome::Started;

    void script(const std::string& step, std::initializer_list<StepResult> results) {
        answers[step].insert(answers[step].end(), results);
    }

    StepResult page(const std::string& name) {
        log.push_back(name);
        auto& queue = answers[name];
        if (queue.empty()) return PageResult::Next;
        const StepResult result = queue.front();
        queue.pop_front();
        return result;
    }

    StepResult showStartPage(RunContext& app) override {
        EXPECT_FALSE(app.choices.preconfigMode || app.choices.linkOnly) << "start clears the modes first";
        return page("start");
    }
    StepResult askAlreadyInstalled(RunContext&) override { return page("already installed"); }
    StepResult askOlderInstallation(RunContext&) override { return page("older installation"); }
    StepResult askInstallationType(RunContext&) override { return page("full or link"); }
    StepResult askNetworkFolder(RunContext&) override { return page("server folder"); }
    StepResult askUserGroup(RunContext&) override { return page("all users"); }
    StepResult askSetupFolder(RunContext&) override { return page("setup folder"); }
    StepResult askProgramFolder(RunContext&) override { return page("target folder"); }
    StepResult askCircuitFolder(RunContext&) override { return page("application folder"); }
    StepResult askCopyVideos(RunContext&) override { return page("videos"); }
    StepResult fetchVideos(RunContext&) override { return page("videos download"); }
    StepResult askMaterialDownload(RunContext&) override { return page("material download"); }
    StepResult askPresentations(RunContext&) override { return page("presentations"); }
    StepResult askAutoMode(RunContext&) override { return page("auto mode"); }
    StepResult showPresetsSummary(RunContext&) override { return page("presets summary"); }
    void showFinishPage(RunContext&, const std::u16string& heading, const std::u16string& text,
                        const std::u16string& additional) override {
        log.push_back("finish");
        finishTexts = {heading, text, additional};
    }

    RuntimeOutcome installDotNet20(RunContext&) override { return runtime("install .NET 2.0"); }
    RuntimeOutcome installDotNet40Client(RunContext&) override { return runtime("install .NET 4.0"); }
    RuntimeOutcome runtime(const std::string& name) {
        log.push_back(name);
        return runtimeOutcome;
    }
    bool checkOlderInstallation(RunContext&) override { return olderInstallation; }
    void installShellExtension(RunContext&) override { log.push_back("shell extension"); }
    int launchPackage(RunContext&) override {
        log.push_back("launch package");
        return packageExitCode;
    }
    void createShortcutsAndRegistry(RunContext&) override { log.push_back("shortcuts"); }
    void removeProduct(RunContext&) override { log.push_back("remove"); }
    int createIndividualSetup(RunContext&) override {
        log.push_back("create individual setup");
        return individualSetupResult;
    }
    void startFromMedium(RunContext&) override { log.push_back("start from medium"); }
    UpdateOutcome downloadAndStartUpdate(RunContext&) override {
        log.push_back("download update");
        return updateOutcome;
    }
};
