// What a wizard page shows and what the user left on it. Page steps fill a model and
// hand it to platform::Ui::showPage; the Win32 page classes render it and write the
// outputs back. Every text arrives finished (language chosen, placeholders replaced).
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "platform/worker_state.h"

namespace platform {

enum class PageClass {
    Start,          // DlgStart, layout 102
    TwoOptions,     // DlgTwoOptions, layout 105
    Info,           // DlgInfo, layout 104
    Folder,         // DlgFolder, layout 111
    CircuitFolder,  // DlgCtFolder, layout 112
    Progress,       // DlgInstallSoftware, layout 106
};

// A screen rectangle in pixels; right == -10000 means "no page has ended yet".
struct ScreenRect {
    int left = 0, top = 0, right = -10000, bottom = 0;
    bool isSet() const { return right != -10000; }
};

struct StartCommand {
    std::u16string caption;
    std::u16string explanation;
    bool visible = true;
};

struct PageModel {
    PageClass pageClass = PageClass::Info;

    // ---- every page ----
    std::u16string windowTitle;  // product name + " Setup" + version suffix
    std::u16string title;        // 1029, in the title font
    std::u16string message;      // 1028
    // Button captions; on the information page an empty Help, Back or Next caption hides
    // that button, on the two-option page an empty Back caption hides Back.
    std::u16string helpCaption, backCaption, nextCaption, cancelCaption;
    bool helpVisible = false;      // a topic and a help file for the current language exist
    std::function<void()> onHelp;  // opens the page's help topic
    // Asked (Yes/No) before Cancel or close ends the page; empty means no question
    // (the information page without its confirm-on-cancel flag).
    std::u16string cancelQuestion;
    std::u16string cancelQuestionCaption;
    // In: where the last page was (unset: the system centres the page). Out: where this
    // page was when it ended through its own buttons.
    ScreenRect placement;

    // ---- start page ----
    std::array<StartCommand, 3> commands;  // 1037/1024, 1014/1025, 1027/1013
    std::u16string languageLabel;          // 1036
    std::vector<std::u16string> languageNames;
    int selectedLanguageEntry = 0;
    bool languageChoiceEnabled = true;  // false (and label hidden) with one language
    bool tallThirdExplanation = false;  // the third explanation is 30 pixels taller
    // Called when the user picks another language: re-texts the model (title, captions,
    // explanations), which the page then shows at once.
    std::function<void(int entry, PageModel& model)> onLanguageChange;

    // ---- two-option page ----
    std::u16string option1, option2;
    int selectedOption = 0;  // in: preselection; out after Next: 0 or 1

    // ---- information and progress pages ----
    std::u16string infoText;  // 1049 (in bold on the progress page); empty hides it

    // ---- progress page ----
    std::u16string progressTitle;  // the frame around the bar while the work runs
    WorkKind workKind = WorkKind::RunProgram;
    // The work, run on a thread of its own; the page ends once it has returned. It must
    // touch no control and may only show message boxes.
    std::function<void()> work;
    // What the work reports through; the page reads it on its timer. Required on a progress
    // page, and kept by whoever shows the page for longer than the page and its worker.
    ProgressSink* progressSink = nullptr;

    // ---- folder pages ----
    std::u16string browseCaption;      // button 1047, row 83
    std::u16string browseInstruction;  // text inside the folder browser
    std::u16string folder;             // 1046: in, and out after Next
    std::u16string subFolder;          // appended to a browsed folder (folder page)
    unsigned browseFlags = 0x41;
    // circuit-file folder page
    std::u16string checkBoxText;     // 1051
    std::u16string standardFolder;   // 1049, read-only
    std::u16string userFolderLabel;  // 1050
    bool useStandardFolder = true;   // in and out
    bool showStandardFolder = true;
};

}  // namespace platform
