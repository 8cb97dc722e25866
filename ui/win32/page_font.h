// A font the pages share for the whole run (the bold title, the progress page's bold
// info text), kept at the DPI of the page that last asked for it: a page at another DPI
// (another monitor, a changed setting) gets it rescaled instead of one of the wrong size.
#pragma once

#include <windows.h>

#include "platform/win32/unique_handle.h"

class PageFont {
public:
    explicit operator bool() const { return static_cast<bool>(font_); }
    // Bold, from `base` (a font made for `dpi`), its height times `heightFactor`.
    void make(HFONT base, UINT dpi, double heightFactor);
    // The font at `dpi`; null until made.
    HFONT forDpi(UINT dpi);

private:
    FontHandle font_;
    UINT dpi_ = 0;
};
