// The header band's picture, drawn for the band's pixel size: the picture is made for
// 96 DPI (res/header.bmp) and twice that (res/header@2x.bmp); a page draws the smallest
// one at least as large as it needs, scaled down with halftoning, so it is never a small
// picture blown up. Like the template's own bitmap it is centred on the band, whose rest
// takes the picture's top-left colour.
#pragma once

#include <windows.h>

#include "platform/win32/unique_handle.h"

class HeaderBand {
public:
    HeaderBand() = default;
    ~HeaderBand() { detach(); }
    HeaderBand(const HeaderBand&) = delete;
    HeaderBand& operator=(const HeaderBand&) = delete;

    // Draws the picture anew for the band control's size at `dpi`.
    void fit(HWND band, UINT dpi);
    // Takes the picture out of the control (which never deletes what it was given), so
    // it is deleted exactly once, here; called before the control is destroyed.
    void detach();

private:
    using BitmapHandle = UniqueHandle<HBITMAP, DeleteGdiObject>;
    HWND band_ = nullptr;
    BitmapHandle picture_;
};
