// Work behind a progress page, as install/ and download/ ask for it: run this work with
// these texts and say how the page ended. ui/ implements it; the application object makes
// it and the run hands it down, so the workers know only this interface.
#pragma once

#include <functional>
#include <string>

#include "platform/worker_state.h"

namespace platform {

// The page's texts, finished (language chosen, placeholders replaced); an empty info text
// hides it.
struct ProgressTexts {
    std::u16string title, message, progressTitle, info;
};

// How the page ended. Only work that has not started can be left: once it runs, its end
// ends the page.
enum class ProgressEnd {
    Finished,   // the work ran and returned
    Back,       // Back before the work started
    Cancelled,  // Cancel, confirmed, before the work started
    Closed,     // ended without a word before the work started
};

class ProgressPresenter {
public:
    virtual ~ProgressPresenter() = default;
    // Shows the page of the kind and runs the work on a thread of its own, handing it the
    // sink it reports through; empty work shows the page alone.
    virtual ProgressEnd run(WorkKind kind, const ProgressTexts& texts, std::function<void(ProgressSink&)> work) = 0;
};

}  // namespace platform
