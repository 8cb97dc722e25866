// The progress page's behaviour against a recording window: when its work starts, what the
// timers show, when it ends and what Cancel may do.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "fakes/fake_system.h"
#include "ui/progress_page.h"
#include "ui/progress_presenter.h"

namespace {

using platform::ProgressEnd;
using platform::WorkKind;

class RecordingWindow : public ProgressWindow {
public:
    std::vector<std::string> calls;
    std::vector<int> positions;
    bool answerYes = true;
    bool workerStarts = true;
    std::string word;
    int timer = 0;
    unsigned period = 0;
    bool busy = false;
    bool cancelEnabled = true;

    void enableButtons(bool back, bool next, bool cancel) override {
        calls.push_back("buttons");
        (void)back;
        (void)next;
        cancelEnabled = cancel;
    }
    void showProgress(bool isBusy) override {
        calls.push_back("progress");
        busy = isBusy;
    }
    void setBarPosition(int position) override { positions.push_back(position); }
    void showDownloadFigures(const platform::WorkerState&) override { calls.push_back("figures"); }
    void startTimer(int id, unsigned ms) override {
        timer = id;
        period = ms;
    }
    void stopTimer(int id) override { calls.push_back("stop " + std::to_string(id)); }
    void hideMessage() override { calls.push_back("hide message"); }
    bool startWorker() override {
        calls.push_back("worker");
        return workerStarts;
    }
    bool confirmCancel() override {
        calls.push_back("question");
        if (duringQuestion) duringQuestion();
        return answerYes;
    }
    void end(const std::string& w) override {
        ++ends;
        word = w;
    }
    std::function<void()> duringQuestion;
    int ends = 0;
};

TEST(ProgressPage, AProgramWaitsForNextThenShowsAWrappingBusyBarUntilItsWorkIsDone) {
    platform::ProgressSink sink;
    RecordingWindow window;
    ProgressPage page(WorkKind::RunProgram, sink, window);
    page.opened();
    EXPECT_TRUE(window.calls.empty());
    EXPECT_TRUE(page.mayEnd());

    page.start();
    EXPECT_EQ(window.calls, (std::vector<std::string>{"buttons", "progress", "worker"}));
    EXPECT_TRUE(window.busy);
    EXPECT_FALSE(window.cancelEnabled);
    EXPECT_EQ(window.timer, 1);
    EXPECT_EQ(window.period, 100u);
    EXPECT_FALSE(page.mayEnd());

    for (int i = 0; i < 22; ++i) page.tick(1);
    ASSERT_EQ(window.positions.size(), 22u);
    EXPECT_EQ(window.positions[0], 5);
    EXPECT_EQ(window.positions[19], 100);
    EXPECT_EQ(window.positions[20], 0);
    EXPECT_EQ(window.positions[21], 5);
    EXPECT_TRUE(window.word.empty());

    // Cancel, Escape and close cannot end running work.
    page.cancel();
    EXPECT_EQ(window.calls.back(), "worker");
    EXPECT_TRUE(window.word.empty());

    page.workFinished();
    EXPECT_FALSE(page.mayEnd());  // only the tick ends it, with the work's own word
    page.tick(1);
    EXPECT_EQ(window.word, "next");
    EXPECT_EQ(window.calls[window.calls.size() - 2], "stop 1");
    EXPECT_EQ(window.calls.back(), "hide message");
    page.tick(1);  // a tick already queued does nothing more
    EXPECT_EQ(window.positions.size(), 23u);
}

TEST(ProgressPage, NegativeKindsStartAtOnceWithTheirOwnTimer) {
    platform::ProgressSink sink;
    struct Case {
        WorkKind kind;
        int timer;
        unsigned period;
    };
    for (const Case& c : {Case{WorkKind::ExtractResource, 3, 333}, Case{WorkKind::CopyFiles, 3, 333},
                          Case{WorkKind::DownloadFile, 2, 333}, Case{WorkKind::DownloadSegments, 2, 333},
                          Case{WorkKind::RegisterShellExtension, 1, 100}}) {
        RecordingWindow window;
        ProgressPage page(c.kind, sink, window);
        page.opened();
        EXPECT_EQ(window.timer, c.timer) << static_cast<int>(c.kind);
        EXPECT_EQ(window.period, c.period);
        EXPECT_FALSE(page.mayEnd());
        page.workFinished();
    }
}

TEST(ProgressPage, PercentKindsShowTheWorkersPercentFromZero) {
    platform::ProgressSink sink;
    sink.state.percentDone = 77;  // left over from earlier work
    RecordingWindow window;
    ProgressPage page(WorkKind::ExtractResource, sink, window);
    page.opened();
    page.tick(3);
    {
        platform::WorkerLock::Hold hold(sink.lock);
        sink.state.percentDone = 42;
    }
    page.tick(3);
    EXPECT_EQ(window.positions, (std::vector<int>{0, 42}));
    page.workFinished();
    page.tick(3);
    EXPECT_EQ(window.word, "next");
}

TEST(ProgressPage, CancelAsksBeforeTheWorkAndOnlyStopsARunningDownload) {
    platform::ProgressSink sink;
    RecordingWindow window;
    window.answerYes = false;
    ProgressPage idle(WorkKind::RunProgram, sink, window);
    idle.opened();
    idle.cancel();
    EXPECT_EQ(window.calls.back(), "question");
    EXPECT_TRUE(window.word.empty());
    window.answerYes = true;
    idle.cancel();
    EXPECT_EQ(window.word, "cancel");

    RecordingWindow downloadWindow;
    ProgressPage download(WorkKind::DownloadFile, sink, downloadWindow);
    download.opened();
    EXPECT_TRUE(downloadWindow.cancelEnabled);
    EXPECT_FALSE(sink.state.cancelRequested);
    download.tick(2);
    EXPECT_EQ(downloadWindow.calls.back(), "figures");
    download.cancel();
    EXPECT_TRUE(sink.state.cancelRequested);
    EXPECT_TRUE(downloadWindow.word.empty());
    EXPECT_EQ(std::count(downloadWindow.calls.begin(), downloadWindow.calls.end(), "question"), 0);
    download.workFinished();
    download.tick(2);
    EXPECT_EQ(downloadWindow.word, "next");
}

TEST(ProgressPage, AWorkerThatCannotStartEndsThePageAtTheNextTick) {
    platform::ProgressSink sink;
    RecordingWindow window;
    window.workerStarts = false;
    ProgressPage page(WorkKind::CopyFiles, sink, window);
    page.opened();
    EXPECT_FALSE(page.mayEnd());
    page.tick(3);
    EXPECT_EQ(window.word, "next");
}

// Work that has finished yields its own result: a late Cancel, Escape or Enter, or a Yes
// to a question the timer overtook, changes nothing.
TEST(ProgressPage, AFinishedPageKeepsItsOutcome) {
    platform::ProgressSink sink;
    for (WorkKind kind : {WorkKind::RunProgram, WorkKind::CopyFiles, WorkKind::DownloadFile}) {
        RecordingWindow window;
        ProgressPage page(kind, sink, window);
        page.opened();
        page.start();
        page.workFinished();
        page.cancel();
        EXPECT_EQ(std::count(window.calls.begin(), window.calls.end(), "question"), 0);
        EXPECT_FALSE(page.mayEnd());
        page.tick(ProgressPage::timerFor(kind));
        EXPECT_EQ(window.word, "next") << static_cast<int>(kind);
        page.cancel();
        EXPECT_EQ(window.word, "next");
    }

    RecordingWindow window;
    ProgressPage page(WorkKind::RunProgram, sink, window);
    window.duringQuestion = [&page] { page.tick(1); };  // the page ended while the box was open
    page.opened();
    page.cancel();
    EXPECT_EQ(window.word, "next");
    EXPECT_EQ(window.ends, 1);
}

// Each run's pages hand their work the sink the page reads, and no other run's; the
// page's word reads as the end its callers act on.
TEST(ProgressPages, WorkReportsIntoItsOwnRunsSinkAndThePageWordIsItsEnd) {
    FakeSystem system;
    FakeUi ui;
    RunContext first(system, ui), second(system, ui);
    ProgressPages firstPages(first), secondPages(second);
    std::vector<platform::ProgressSink*> sinks;
    auto report = [&sinks](int percent) {
        return [&sinks, percent](platform::ProgressSink& sink) {
            sinks.push_back(&sink);
            sink.state.percentDone = percent;
        };
    };
    for (int i = 0; i < 3; ++i) {
        ui.pageAnswers.push_back([](platform::PageModel& page) {
            page.work();
            return std::string("next");
        });
    }
    EXPECT_EQ(firstPages.run(WorkKind::CopyFiles, {u"title", u"message", u"frame", u"info"}, report(40)),
              ProgressEnd::Finished);
    const platform::PageModel& page = ui.pagesShown.back();
    EXPECT_EQ(page.pageClass, platform::PageClass::Progress);
    EXPECT_EQ(page.workKind, WorkKind::CopyFiles);
    EXPECT_EQ(page.title + page.message + page.progressTitle + page.infoText, u"titlemessageframeinfo");
    EXPECT_EQ(page.progressSink, sinks[0]);
    secondPages.run(WorkKind::ExtractResource, {}, report(70));
    firstPages.run(WorkKind::ExtractResource, {}, report(90));
    ASSERT_EQ(sinks.size(), 3u);
    EXPECT_NE(sinks[0], sinks[1]);
    EXPECT_EQ(sinks[0], sinks[2]);  // one sink for the whole run, kept from page to page
    EXPECT_EQ(sinks[1]->state.percentDone, 70);

    for (const auto& [word, end] : {std::pair{"next", ProgressEnd::Finished}, std::pair{"back", ProgressEnd::Back},
                                    std::pair{"cancel", ProgressEnd::Cancelled}, std::pair{"", ProgressEnd::Closed}}) {
        ui.answerPage(word);
        EXPECT_EQ(firstPages.run(WorkKind::RunProgram, {}, {}), end) << word;
        EXPECT_FALSE(ui.pagesShown.back().work) << "empty work shows the page alone";
    }
}

}  // namespace
