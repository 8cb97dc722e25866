// The frame every wizard page shares: the modal dialog, window title and icon, title
// font, header picture, separator, placement, Help, the endings with their result words,
// the cancel confirmation (Escape included), the focus a page opens with, transparent
// texts and a change of DPI. A page class adds its own texts and buttons.
#pragma once

#include <windows.h>

#include <exception>
#include <string>

#include "platform/page_model.h"
#include "platform/win32/unique_handle.h"
#include "ui/win32/header_band.h"
#include "ui/win32/page_environment.h"

class WizardPage {
public:
    WizardPage(platform::PageModel& model, PageEnvironment& env, int layout);
    virtual ~WizardPage() = default;
    WizardPage(const WizardPage&) = delete;
    WizardPage& operator=(const WizardPage&) = delete;

    // Shows the page modally; returns the result word, empty after an Enter that found no
    // default button.
    std::string run();

protected:
    // The class's initialisation, in its own order, built from the steps below.
    virtual void initialise() = 0;
    // The class's own commands; false leaves the command to the frame.
    virtual bool command(int id, int notification) {
        (void)id;
        (void)notification;
        return false;
    }
    // Next: the default takes no inputs.
    virtual void next() { finish("next"); }
    // Statics (and read-only edits) drawn without a background over the header band.
    virtual bool transparent(int id) const {
        (void)id;
        return true;
    }
    // Whether the last page's rectangle is taken over.
    virtual bool takesPlacement(const platform::ScreenRect& r) const;
    // The page has moved to another DPI (another monitor) and the dialog manager has scaled
    // its layout and dialog font: the frame refits its own fonts, icons and picture; a
    // class with fonts of its own adds them.
    virtual void dpiChanged(UINT dpi);
    // The control that has the keyboard focus when the page opens (the first choice); 0
    // leaves it to the dialog manager. Asked after initialise().
    virtual int firstFocus() const { return 0; }
    // Any other message; true when handled, with the dialog procedure's answer in result.
    virtual bool message(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) {
        (void)msg;
        (void)wp;
        (void)lp;
        (void)result;
        return false;
    }

    HWND item(int id) const { return GetDlgItem(hwnd_, id); }
    void setText(int id, const std::u16string& text) const;
    std::u16string text(int id) const;  // at most 9,999 characters
    void showItem(int id, bool visible) const;
    void setCaptionOrHide(int id, const std::u16string& caption) const;

    // Initialisation steps shared by the classes.
    void setWindowTitleAndIcon();
    void loadIcons(UINT dpi);
    void setTitleAndMessage(bool withMessage = true) const;
    void applyTitleFont(UINT dpi) const;
    UINT dpi() const;
    // The buttons', options' and labels' captions as the model names them (page_captions.h).
    void setCaptions() const;
    // The button Enter presses, in place of the layout's default button.
    void setDefaultButton(int id) const;
    // Whether the control is there for the user: shown and enabled.
    bool usable(int id) const;
    void thinSeparator() const;
    void applyPlacement() const;
    void applyHelpRule() const;

    // Ends the page through its own handlers: word, window rectangle, end.
    void finish(const char* word);
    // Cancel and close: the question when there is one; the page stays on No.
    void cancel();

    platform::PageModel& model_;
    PageEnvironment& env_;
    HWND hwnd_ = nullptr;
    IconHandle bigIcon_, smallIcon_;

private:
    static INT_PTR CALLBACK dialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    INT_PTR handle(UINT msg, WPARAM wp, LPARAM lp);
    void frameCommand(int id);

    int layout_;
    HeaderBand header_;
    std::string result_;
    // An exception thrown while the dialog ran, carried past the system's dialog code.
    std::exception_ptr failure_;
};
