// The progress pages of a run: the presenter install/ and download/ run their work
// through. It frames each page like every wizard page and owns the one sink that every
// page and its worker share. A worker may outlive its page (a program run that outlasts
// its time limit goes on), so the sink lives as long as this object, which lives as long
// as the run it was made for.
#pragma once

#include "config/page_result.h"
#include "config/run_context.h"
#include "platform/progress.h"

class ProgressPages : public platform::ProgressPresenter {
public:
    explicit ProgressPages(RunContext& app) : app_(app) {}
    ProgressPages(const ProgressPages&) = delete;
    ProgressPages& operator=(const ProgressPages&) = delete;

    platform::ProgressEnd run(platform::WorkKind kind, const platform::ProgressTexts& texts,
                              std::function<void(platform::ProgressSink&)> work) override;

private:
    RunContext& app_;
    platform::ProgressSink sink_;
};

// How the progress page's result reads as its end: Next only comes once the work has run.
platform::ProgressEnd progressEndOf(PageResult answer);
