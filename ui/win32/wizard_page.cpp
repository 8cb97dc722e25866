#include "ui/win32/wizard_page.h"

#include <utility>
#include <vector>

#include "platform/win32/wide.h"
#include "res/pages_ids.h"
#include "ui/win32/page_captions.h"
#include "ui/win32/page_dpi.h"

namespace {

// Posted on a DPI change, so the frame refits after the dialog manager's own scaling.
constexpr UINT kRefitToDpi = WM_APP + 0x0D;

}  // namespace

WizardPage::WizardPage(platform::PageModel& model, PageEnvironment& env, int layout)
    : model_(model), env_(env), layout_(layout) {}

std::string WizardPage::run() {
    result_.clear();
    failure_ = nullptr;
    DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(layout_), nullptr, dialogProc,
                    reinterpret_cast<LPARAM>(this));
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
    return result_;
}

INT_PTR CALLBACK WizardPage::dialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* page = reinterpret_cast<WizardPage*>(msg == WM_INITDIALOG ? lp : GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!page) return FALSE;
    // No exception may unwind through the system's dialog code (32-bit MinGW code cannot
    // even try): the page ends and run() throws it again in our own frame.
    try {
        if (msg == WM_INITDIALOG) {
            SetWindowLongPtrW(hwnd, DWLP_USER, lp);
            page->hwnd_ = hwnd;
            page->header_.fit(page->item(IDC_PAGE_HEADER), page->dpi());
            page->initialise();
            // The page opens on its first choice, so keys act on it at once; through the
            // dialog manager, which moves the default button's look along.
            const int first = page->firstFocus();
            if (first == 0 || !page->usable(first)) return TRUE;  // the system's default focus
            SendMessageW(hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(page->item(first)), TRUE);
            return FALSE;
        }
        return page->handle(msg, wp, lp);
    } catch (...) {
        if (!page->failure_) page->failure_ = std::current_exception();
        EndDialog(hwnd, -1);
        return TRUE;
    }
}

INT_PTR WizardPage::handle(UINT msg, WPARAM wp, LPARAM lp) {
    INT_PTR result = 0;
    if (message(msg, wp, lp, result)) return result;
    switch (msg) {
    case WM_COMMAND:
        if (!command(LOWORD(wp), HIWORD(wp))) frameCommand(LOWORD(wp));
        return TRUE;
    case WM_CLOSE: cancel(); return TRUE;
    case WM_DPICHANGED: PostMessageW(hwnd_, kRefitToDpi, 0, 0); return FALSE;
    case kRefitToDpi:
        dpiChanged(dpi());
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        return TRUE;
    case WM_DESTROY: header_.detach(); return FALSE;
    case WM_CTLCOLORSTATIC: {
        if (!transparent(GetDlgCtrlID(reinterpret_cast<HWND>(lp)))) return FALSE;
        SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
        return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
    }
    default: return FALSE;
    }
}

void WizardPage::frameCommand(int id) {
    switch (id) {
    case IDC_PAGE_HELP:
        if (model_.onHelp) model_.onHelp();
        break;
    case IDC_PAGE_BACK: finish("back"); break;
    case IDC_PAGE_NEXT: next(); break;
    // Escape is the page's Cancel, with its question.
    case IDC_PAGE_CANCEL:
    case IDCANCEL: cancel(); break;
    // Enter where no default button exists: end without a word and without reporting the
    // rectangle.
    case IDOK: EndDialog(hwnd_, id); break;
    default: break;
    }
}

bool WizardPage::takesPlacement(const platform::ScreenRect& r) const {
    return r.isSet() && r.right - r.left > 10 && r.bottom - r.top > 10;
}

void WizardPage::setText(int id, const std::u16string& text) const { SetDlgItemTextW(hwnd_, id, toWide(text).c_str()); }

std::u16string WizardPage::text(int id) const {
    std::vector<wchar_t> buffer(10000);
    GetDlgItemTextW(hwnd_, id, buffer.data(), static_cast<int>(buffer.size()));
    return fromWide(buffer.data());
}

void WizardPage::showItem(int id, bool visible) const { ShowWindow(item(id), visible ? SW_SHOW : SW_HIDE); }

void WizardPage::setCaptionOrHide(int id, const std::u16string& caption) const {
    setText(id, caption);
    showItem(id, !caption.empty());
}

UINT WizardPage::dpi() const { return windowDpi(hwnd_); }

void WizardPage::dpiChanged(UINT dpi) {
    header_.fit(item(IDC_PAGE_HEADER), dpi);
    applyTitleFont(dpi);
    if (bigIcon_) loadIcons(dpi);
}

void WizardPage::setWindowTitleAndIcon() {
    SetWindowTextW(hwnd_, toWide(model_.windowTitle).c_str());
    loadIcons(dpi());
}

// The icon's own image of the size the page's DPI asks for (res/setup.ico has them all).
void WizardPage::loadIcons(UINT dpi) {
    const HINSTANCE module = GetModuleHandleW(nullptr);
    IconHandle big(
        static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(IDI_SETUP), IMAGE_ICON,
                                      systemMetricForDpi(SM_CXICON, dpi), systemMetricForDpi(SM_CYICON, dpi), 0)));
    IconHandle little(
        static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(IDI_SETUP), IMAGE_ICON,
                                      systemMetricForDpi(SM_CXSMICON, dpi), systemMetricForDpi(SM_CYSMICON, dpi), 0)));
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(little.get()));
    // The window holds the new ones now; the old ones may go.
    bigIcon_ = std::move(big);
    smallIcon_ = std::move(little);
}

void WizardPage::applyTitleFont(UINT dpi) const {
    if (const HFONT font = env_.titleFont.forDpi(dpi))
        SendMessageW(item(IDC_PAGE_TITLE), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

void WizardPage::setTitleAndMessage(bool withMessage) const {
    applyTitleFont(dpi());
    setText(IDC_PAGE_TITLE, model_.title);
    if (withMessage) setText(IDC_PAGE_MESSAGE, model_.message);
}

void WizardPage::thinSeparator() const {
    // The width comes from the layout: Wine's etched static reports a window rectangle
    // two pixels wider than the one it was created with.
    RECT layout{0, 0, 329, 8};
    MapDialogRect(hwnd_, &layout);
    SetWindowPos(item(IDC_PAGE_SEPARATOR), nullptr, 0, 0, layout.right, 2,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
}

void WizardPage::applyPlacement() const {
    const platform::ScreenRect& r = model_.placement;
    if (!takesPlacement(r)) return;
    SetWindowPos(hwnd_, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top, 0);
}

void WizardPage::setCaptions() const {
    for (const ControlCaption& caption : pageCaptions(model_)) setText(caption.control, caption.text);
}

void WizardPage::setDefaultButton(int id) const { SendMessageW(hwnd_, DM_SETDEFID, static_cast<WPARAM>(id), 0); }

bool WizardPage::usable(int id) const {
    // The style, not IsWindowVisible: while the page initialises the dialog itself is hidden.
    const HWND control = item(id);
    return control && (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) && IsWindowEnabled(control);
}

void WizardPage::applyHelpRule() const {
    if (!model_.helpVisible) showItem(IDC_PAGE_HELP, false);
}

void WizardPage::finish(const char* word) {
    result_ = word;
    RECT r{};
    GetWindowRect(hwnd_, &r);
    model_.placement = {r.left, r.top, r.right, r.bottom};
    EndDialog(hwnd_, IDOK);
}

void WizardPage::cancel() {
    if (!model_.cancelQuestion.empty() &&
        MessageBoxW(hwnd_, toWide(model_.cancelQuestion).c_str(), toWide(model_.cancelQuestionCaption).c_str(),
                    MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    finish("cancel");
}
