// The page steps as the setup flow calls them. Each decides whether its page is needed,
// shows it or passes it over, and reports a StepResult; the flow (app/) alone decides
// where that leads. WizardSteps is the real one; the flow's tests script their own.
#pragma once

#include <string>

#include "config/page_result.h"
#include "config/run_context.h"

// The later pages a step may lead to itself, past the flow's ordinary order.
enum class StepTarget { Videos, MaterialDownload };

// What a page step reports: the answer of its page, which the flow routes, or the step's
// own decision where to go. The answer also sets the direction of travel (Back turns it,
// Cancel and None leave it), so a decision carries the answer that led to it.
class StepResult {
public:
    enum class Route {
        ByAnswer,        // the flow's routing table decides from the answer
        Skip,            // the page was not needed: passed over in the direction of travel
        Jump,            // to target(); its Back returns to this page
        Again,           // the same page once more (an answer that was refused)
        BackToQuestion,  // work behind the page failed: the page this one was entered from
    };

    // Implicit: a step that passes its page's answer on just returns it.
    StepResult(PageResult answer) : answer_(answer) {}

    static StepResult skip() { return {PageResult::None, Route::Skip}; }
    static StepResult jumpTo(StepTarget target, PageResult answer) { return {answer, Route::Jump, target}; }
    static StepResult again(PageResult answer) { return {answer, Route::Again}; }
    // The progress page has ended with Next: the flow keeps going forward from there.
    static StepResult backToQuestion() { return {PageResult::Next, Route::BackToQuestion}; }

    PageResult answer() const { return answer_; }
    Route route() const { return route_; }
    StepTarget target() const { return target_; }

    bool operator==(const StepResult& other) const {
        return answer_ == other.answer_ && route_ == other.route_ &&
               (route_ != Route::Jump || target_ == other.target_);
    }

private:
    StepResult(PageResult answer, Route route, StepTarget target = StepTarget::Videos)
        : answer_(answer), route_(route), target_(target) {}

    PageResult answer_;
    Route route_ = Route::ByAnswer;
    StepTarget target_ = StepTarget::Videos;
};

class PageSteps {
public:
    virtual ~PageSteps() = default;

    virtual StepResult showStartPage(RunContext& app) = 0;
    virtual StepResult askAlreadyInstalled(RunContext& app) = 0;
    virtual StepResult askOlderInstallation(RunContext& app) = 0;
    virtual StepResult askInstallationType(RunContext& app) = 0;
    virtual StepResult askNetworkFolder(RunContext& app) = 0;
    virtual StepResult askUserGroup(RunContext& app) = 0;
    virtual StepResult askSetupFolder(RunContext& app) = 0;
    virtual StepResult askProgramFolder(RunContext& app) = 0;
    virtual StepResult askCircuitFolder(RunContext& app) = 0;
    virtual StepResult askCopyVideos(RunContext& app) = 0;
    virtual StepResult fetchVideos(RunContext& app) = 0;
    virtual StepResult askMaterialDownload(RunContext& app) = 0;
    virtual StepResult askPresentations(RunContext& app) = 0;
    virtual StepResult askAutoMode(RunContext& app) = 0;
    virtual StepResult showPresetsSummary(RunContext& app) = 0;
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
