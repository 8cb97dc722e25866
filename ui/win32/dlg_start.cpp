#include "ui/win32/dlg_start.h"

#include "platform/win32/wide.h"
#include "res/pages_ids.h"
#include "ui/win32/page_dpi.h"

namespace {

constexpr int kCommands[3] = {IDC_START_COMMAND1, IDC_START_COMMAND2, IDC_START_COMMAND3};
constexpr int kExplanations[3] = {IDC_START_EXPLANATION1, IDC_START_EXPLANATION2, IDC_START_EXPLANATION3};
constexpr const char* kWords[3] = {"button1", "button2", "button4"};
constexpr int kTallExplanationExtra = 30;  // pixels at 96 DPI

RECT clientRectOf(HWND dialog, HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

}  // namespace

DlgStart::DlgStart(platform::PageModel& model, PageEnvironment& env) : WizardPage(model, env, IDD_PAGE_START) {}

void DlgStart::initialise() {
    setWindowTitleAndIcon();
    createTitleFont();
    setTitleAndMessage(false);
    setText(IDC_START_LANGUAGE_LABEL, model_.languageLabel);
    thinSeparator();
    const HWND list = item(IDC_START_LANGUAGES);
    for (const auto& name : model_.languageNames)
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(toWide(name).c_str()));
    const int entries = static_cast<int>(model_.languageNames.size());
    const int selected = model_.selectedLanguageEntry;
    SendMessageW(list, CB_SETCURSEL, selected >= 0 && selected < entries ? selected : 0, 0);
    applyTexts();
    layOutCommands();
    if (!model_.languageChoiceEnabled) {
        showItem(IDC_START_LANGUAGE_LABEL, false);
        EnableWindow(list, FALSE);
    }
    for (int i = 0; i < 3; ++i) {
        showItem(kCommands[i], model_.commands[i].visible);
        showItem(kExplanations[i], model_.commands[i].visible);
    }
    // Enter presses a command the user sees.
    if (const int first = firstFocus()) setDefaultButton(first);
    applyPlacement();
    layOutCommands();
    applyHelpRule();
}

bool DlgStart::takesPlacement(const platform::ScreenRect& r) const { return r.right > -10000; }

// 1.4 times the start page's own title font, bold; made once and kept for the run.
void DlgStart::createTitleFont() const {
    if (env_.titleFont) return;
    const auto base = reinterpret_cast<HFONT>(SendMessageW(item(IDC_PAGE_TITLE), WM_GETFONT, 0, 0));
    env_.titleFont.make(base, dpi(), 1.4);
}

void DlgStart::applyTexts() const {
    setText(IDC_PAGE_TITLE, model_.title);
    setCaptions();
    for (int i = 0; i < 3; ++i) setText(kExplanations[i], model_.commands[i].explanation);
}

// The first command shown; the layout's default, the first command, may be hidden.
int DlgStart::firstFocus() const {
    for (int i = 0; i < 3; ++i) {
        if (model_.commands[i].visible) return kCommands[i];
    }
    return 0;
}

// Visible commands close up from the top of their frame with equal gaps; the
// explanations share the height.
void DlgStart::layOutCommands() const {
    int visible = 0;
    for (const auto& c : model_.commands) visible += c.visible ? 1 : 0;
    if (visible == 0) return;
    const RECT frame = clientRectOf(hwnd_, item(IDC_START_COMMAND_FRAME));
    const RECT first = clientRectOf(hwnd_, item(IDC_START_COMMAND1));
    const int buttonHeight = first.bottom - first.top;
    const int gap = first.top - frame.top;
    const int slot = ((frame.bottom - frame.top) - (visible + 1) * gap) / visible;
    int y = frame.top + gap;
    for (int i = 0; i < 3; ++i) {
        if (!model_.commands[i].visible) continue;
        const RECT button = clientRectOf(hwnd_, item(kCommands[i]));
        const RECT text = clientRectOf(hwnd_, item(kExplanations[i]));
        const int extra = (i == 2 && model_.tallThirdExplanation) ? scaleForDpi(kTallExplanationExtra, dpi()) : 0;
        MoveWindow(item(kCommands[i]), button.left, y, button.right - button.left, buttonHeight, TRUE);
        MoveWindow(item(kExplanations[i]), text.left, y, text.right - text.left, slot + extra, TRUE);
        y += slot + gap;
    }
}

void DlgStart::languageChanged() {
    const auto entry = static_cast<int>(SendMessageW(item(IDC_START_LANGUAGES), CB_GETCURSEL, 0, 0));
    if (entry < 0) return;
    if (model_.onLanguageChange) model_.onLanguageChange(entry, model_);
    applyTexts();
    layOutCommands();
    // Transparent texts leave their old letters behind unless everything repaints.
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

bool DlgStart::command(int id, int notification) {
    if (id == IDC_START_LANGUAGES) {
        if (notification == CBN_SELCHANGE) languageChanged();
        return true;
    }
    for (int i = 0; i < 3; ++i) {
        if (id == kCommands[i]) {
            finish(kWords[i]);
            return true;
        }
    }
    return false;
}

void DlgStart::paintMinimised() const {
    PAINTSTRUCT ps{};
    const HDC dc = BeginPaint(hwnd_, &ps);
    SendMessageW(hwnd_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client{};
    GetClientRect(hwnd_, &client);
    const int iconWidth = systemMetricForDpi(SM_CXICON, dpi()), iconHeight = systemMetricForDpi(SM_CYICON, dpi());
    DrawIcon(dc, (client.right - iconWidth + 1) / 2, (client.bottom - iconHeight + 1) / 2, bigIcon_.get());
    EndPaint(hwnd_, &ps);
}

bool DlgStart::message(UINT msg, WPARAM, LPARAM, INT_PTR& result) {
    if (msg == WM_PAINT && IsIconic(hwnd_)) {
        paintMinimised();
        result = TRUE;
        return true;
    }
    if (msg == WM_QUERYDRAGICON) {
        result = reinterpret_cast<INT_PTR>(bigIcon_.get());
        return true;
    }
    return false;
}
