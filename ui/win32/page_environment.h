// What the pages share beyond their model: the bold title and info fonts (each made by
// the first page that needs it, kept for the whole run and rescaled for a page at another
// DPI) and the folder browser.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "platform/page_model.h"
#include "ui/win32/page_font.h"

struct PageEnvironment {
    // Null until a start page has initialised; the pages then keep the dialog font.
    PageFont& titleFont;
    // The progress page's bold info font: made by the first progress page, kept for the run.
    PageFont& infoFont;
    // The shell's folder browser owned by `owner`; false when the user cancelled or the
    // choice has no file-system path.
    std::function<bool(HWND owner, const std::u16string* initial, const std::u16string& instruction, unsigned flags,
                       std::u16string& path)>
        browse;
};

// Shows the page that model.pageClass names and returns its result word.
std::string showWizardPage(platform::PageModel& model, PageEnvironment& env);
