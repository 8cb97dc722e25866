// The wizard's page steps against the scripted UI: the fixture their tests share.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/bootstrapper_app.h"
#include "fake_system.h"
#include "platform/download_result.h"
#include "platform/page_model.h"
#include "ui/wizard_steps.h"

// Downloads that answer with a scripted result and count their calls.
class ScriptedDownloads : public ContentDownloads {
public:
    int videosResult = kDownloadTransferProblem;
    int materialResult = kDownloadTransferProblem;
    int videoCalls = 0;
    int materialCalls = 0;
    int downloadVideos(RunContext&) override {
        ++videoCalls;
        return videosResult;
    }
    int downloadMaterial(RunContext&) override {
        ++materialCalls;
        return materialResult;
    }
};

class WizardPages : public ::testing::Test {
protected:
    WizardPages() {
        app.product.productName = u"Circuita 5";
        app.product.productShortName = u"Circuita";
        app.offer.versionSuffix = u" (V 5.0b)";
        app.offer.applicationTitle = u"Circuita 5 Setup";
        app.product.languageEnabled = {true, true, false, true, false, false};
        app.offer.languageList = {0, 1, 3};
        app.choices.languageIndex = 1;
        app.offer.stickAppPath = u"D:\\App\\Circuita.exe";
        app.product.mainExeDir[1] = u"Circuita 5";
        app.product.circuitDir[1] = u"Circuits";
        system.copyLikeXcopy();
    }
    // The next page answers with this word after the change.
    void answer(const std::string& word, std::function<void(platform::PageModel&)> change = nullptr) {
        ui.pageAnswers.push_back([word, change](platform::PageModel& page) {
            if (change) change(page);
            return word;
        });
    }
    const platform::PageModel& lastPage() const { return ui.pagesShown.back(); }

    FakeSystem system;
    FakeUi ui;
    CBootstrapperApp application{system, ui};
    RunContext& app = application.run();
    Navigation& navigation = application.navigation();
    ScriptedDownloads downloads;
    WizardSteps steps{downloads};
};
