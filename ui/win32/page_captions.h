// Which text of a page model each button, option and label of the page's layout shows:
// the captions the dialog manager reads Alt letters from. Free of <windows.h>, so the
// native tests check the same pairing against res/pages.rc.
#pragma once

#include <string>
#include <vector>

#include "platform/page_model.h"

struct ControlCaption {
    int control;  // IDC_... of res/pages_ids.h
    std::u16string text;
};

// Every such control of the page's class with the text it is given, in layout order; an
// empty text hides the control where the class says so.
std::vector<ControlCaption> pageCaptions(const platform::PageModel& page);
