#include "app/flow_routes.h"

#include <map>

#include "app/flow_states.h"

namespace {

using namespace state;

class Router {
public:
    Router(RunContext& app, Navigation& navigation, const std::string& from)
        : app_(app), navigation_(navigation), from_(from) {}

    std::string route(const StepResult& result) {
        const auto row = rows().find(from_);
        if (row == rows().end()) return kStart;
        const PageResult answer = result.answer();
        if (answer == PageResult::Back) navigation_.forwardDirection = false;
        else if (answer != PageResult::Cancel && answer != PageResult::None) navigation_.forwardDirection = true;
        switch (result.route()) {
        case StepResult::Route::Skip:
            return (this->*row->second)(navigation_.forwardDirection ? PageResult::Next : PageResult::Back);
        case StepResult::Route::Jump:
            return forward(result.target() == StepTarget::Videos ? kVideos : kMaterialDownload);
        case StepResult::Route::Again: return from_;
        case StepResult::Route::BackToQuestion: return back();
        case StepResult::Route::ByAnswer: break;
        }
        if (answer == PageResult::Cancel) return kCancel;
        return (this->*row->second)(answer);
    }

private:
    using Row = std::string (Router::*)(PageResult answer);

    // Each page state's rule. A page ended without a word (None) takes a question's
    // preselection and goes on; on a folder or information page it shows the page again.
    static const std::map<std::string, Row>& rows() {
        static const std::map<std::string, Row> table = {
            {kStart, &Router::start},
            {kAlreadyInstalled, &Router::alreadyInstalled},
            {kFullOrLink, &Router::fullOrLink},
            {kServerFolder, &Router::serverFolder},
            {kAllUsers, &Router::question},
            {kSetupFolder, &Router::chain},
            {kTargetFolder, &Router::chain},
            {kApplicationFolder, &Router::chain},
            {kVideos, &Router::question},
            {kVideosDownload, &Router::chain},
            {kMaterialDownload, &Router::question},
            {kPresentations, &Router::presentations},
            {kAutoMode, &Router::question},
            {kPresetsSummary, &Router::chain},
        };
        return table;
    }

    // Moves forward into target, recording where its Back returns to.
    std::string forward(const std::string& target) {
        navigation_.backTarget[target] = from_;
        return target;
    }
    std::string back() { return navigation_.backTarget[from_]; }

    // The ordinary forward chain; an answer the page does not give leads to the start page.
    std::string chain(PageResult answer) {
        static const std::map<std::string, std::string> next = {
            {kAllUsers, kSetupFolder},
            {kSetupFolder, kTargetFolder},
            {kTargetFolder, kApplicationFolder},
            {kApplicationFolder, kVideos},
            {kVideos, kVideosDownload},
            {kVideosDownload, kMaterialDownload},
            {kMaterialDownload, kPresentations},
            {kAutoMode, kPresetsSummary},
            {kPresetsSummary, kCreatePreconfigSetup},
        };
        if (answer == PageResult::Back) return back();
        if (answer == PageResult::Next) return forward(next.at(from_));
        if (answer == PageResult::None) return from_;
        return kStart;
    }

    std::string question(PageResult answer) { return chain(answer == PageResult::None ? PageResult::Next : answer); }

    std::string start(PageResult answer) {
        if (answer == PageResult::Button1) return kStartFromStick;
        if (answer == PageResult::Button2) return kInstallApplication;
        if (answer == PageResult::Button4) {
            if (!app_.product.preconfigSetup) return kFindUpdate;
            app_.choices.preconfigMode = true;
            return forward(kFullOrLink);
        }
        return kStart;
    }

    std::string alreadyInstalled(PageResult answer) {
        if (answer == PageResult::Next) return kLaunchMsi;
        if (answer == PageResult::Back) return kStart;  // fixed, whatever came before
        if (answer == PageResult::None) return from_;
        return kStart;
    }

    // A wordless ending, like any answer but Back and the second option, takes the full
    // installation.
    std::string fullOrLink(PageResult answer) {
        if (answer == PageResult::Back) return back();
        if (answer == PageResult::Option2) return forward(kServerFolder);
        return forward(kAllUsers);
    }

    std::string serverFolder(PageResult answer) {
        if (answer == PageResult::Back) return back();
        return forward(kAllUsers);
    }

    std::string presentations(PageResult answer) {
        if (answer == PageResult::Back) return back();
        if (answer != PageResult::Next && answer != PageResult::None) return kStart;
        if (app_.choices.preconfigMode) return forward(kAutoMode);
        return app_.choices.linkOnly ? kCreateLink : kLaunchMsi;
    }

    RunContext& app_;
    Navigation& navigation_;
    const std::string& from_;
};

}  // namespace

std::string routeStep(RunContext& app, Navigation& navigation, const std::string& state, const StepResult& result) {
    return Router(app, navigation, state).route(result);
}
