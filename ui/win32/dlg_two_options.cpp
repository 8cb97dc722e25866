#include "ui/win32/dlg_two_options.h"

#include <algorithm>

#include "res/pages_ids.h"

namespace {

// A child's rectangle in the dialog's client coordinates.
RECT childRect(HWND dialog, HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The height the static's text takes, wrapped at the control's width in its own font.
int wrappedTextHeight(HWND control) {
    wchar_t text[4096] = {};
    GetWindowTextW(control, text, 4096);
    RECT client{};
    GetClientRect(control, &client);
    const HDC dc = GetDC(control);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT need{0, 0, client.right, 0};
    DrawTextW(dc, text, -1, &need, DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return need.bottom;
}

void moveBy(HWND dialog, HWND child, int dy) {
    const RECT r = childRect(dialog, child);
    SetWindowPos(child, nullptr, r.left, r.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

DlgTwoOptions::DlgTwoOptions(platform::PageModel& model, PageEnvironment& env)
    : WizardPage(model, env, IDD_PAGE_TWO_OPTIONS) {}

void DlgTwoOptions::initialise() {
    CheckRadioButton(hwnd_, IDC_OPTION1, IDC_OPTION2, model_.selectedOption == 1 ? IDC_OPTION2 : IDC_OPTION1);
    setWindowTitleAndIcon();
    thinSeparator();
    applyPlacement();
    setTitleAndMessage();
    fitMessage();
    setCaptions();
    showItem(IDC_PAGE_BACK, !model_.backCaption.empty());
    applyHelpRule();
}

void DlgTwoOptions::fitMessage() const {
    const HWND message = item(IDC_PAGE_MESSAGE);
    const RECT box = childRect(hwnd_, message);
    const int missing = wrappedTextHeight(message) - (box.bottom - box.top);
    if (missing <= 0) return;
    // The frame has room below its second option: its top and both options move down,
    // its bottom and the buttons stay.
    const HWND frame = item(IDC_PAGE_FRAME);
    const RECT frameBox = childRect(hwnd_, frame);
    RECT margin{0, 0, 0, 4};
    MapDialogRect(hwnd_, &margin);
    const int room = frameBox.bottom - childRect(hwnd_, item(IDC_OPTION2)).bottom - margin.bottom;
    const int grow = std::min(missing, std::max(room, 0));
    if (grow == 0) return;
    SetWindowPos(message, nullptr, 0, 0, box.right - box.left, box.bottom - box.top + grow,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(frame, nullptr, frameBox.left, frameBox.top + grow, frameBox.right - frameBox.left,
                 frameBox.bottom - frameBox.top - grow, SWP_NOZORDER | SWP_NOACTIVATE);
    moveBy(hwnd_, item(IDC_OPTION1), grow);
    moveBy(hwnd_, item(IDC_OPTION2), grow);
}

// The preselected option: focus on the other one would check it.
int DlgTwoOptions::firstFocus() const { return model_.selectedOption == 1 ? IDC_OPTION2 : IDC_OPTION1; }

void DlgTwoOptions::next() {
    // Only Next reads the radio group; Back leaves the caller's preselection.
    model_.selectedOption = IsDlgButtonChecked(hwnd_, IDC_OPTION1) == BST_CHECKED ? 0 : 1;
    finish(model_.selectedOption == 0 ? "option1" : "option2");
}
