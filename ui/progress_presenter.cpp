#include "ui/progress_presenter.h"

#include <utility>

#include "ui/page_frame.h"

platform::ProgressEnd progressEndOf(PageResult answer) {
    switch (answer) {
    case PageResult::Next: return platform::ProgressEnd::Finished;
    case PageResult::Back: return platform::ProgressEnd::Back;
    case PageResult::Cancel: return platform::ProgressEnd::Cancelled;
    default: return platform::ProgressEnd::Closed;
    }
}

platform::ProgressEnd ProgressPages::run(platform::WorkKind kind, const platform::ProgressTexts& texts,
                                         std::function<void(platform::ProgressSink&)> work) {
    platform::PageModel page = framedPage(app_, platform::PageClass::Progress, nullptr);
    page.title = texts.title;
    page.message = texts.message;
    page.progressTitle = texts.progressTitle;
    page.infoText = texts.info;
    page.workKind = kind;
    if (work) page.work = [this, work = std::move(work)] { work(sink_); };
    page.progressSink = &sink_;
    return progressEndOf(showPage(app_, page));
}
