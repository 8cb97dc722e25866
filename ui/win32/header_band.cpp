#include "ui/win32/header_band.h"

#include <utility>

#include "res/pages_ids.h"
#include "ui/win32/page_dpi.h"

namespace {

using BitmapHandle = UniqueHandle<HBITMAP, DeleteGdiObject>;

// The device context a bitmap is selected into for as long as this object lives.
class SelectedBitmap {
public:
    SelectedBitmap(HDC screen, HBITMAP bitmap)
        : dc_(CreateCompatibleDC(screen)), old_(dc_ ? SelectObject(dc_, bitmap) : nullptr) {}
    ~SelectedBitmap() {
        if (!dc_) return;
        SelectObject(dc_, old_);
        DeleteDC(dc_);
    }
    SelectedBitmap(const SelectedBitmap&) = delete;
    SelectedBitmap& operator=(const SelectedBitmap&) = delete;
    HDC dc() const { return dc_; }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A 32-bit picture of the band's size: a DIB, so its pixels can be read back as drawn.
HBITMAP newPicture(HDC screen, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    return CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

}  // namespace

void HeaderBand::fit(HWND band, UINT dpi) {
    if (!band) return;
    RECT client{};
    GetClientRect(band, &client);
    if (client.right <= 0 || client.bottom <= 0) return;
    // Not a DIB section: that cannot hold the run-length encoded pictures.
    const HINSTANCE module = GetModuleHandleW(nullptr);
    const bool large = dpi > kBaseDpi;
    BitmapHandle source(static_cast<HBITMAP>(
        LoadImageW(module, MAKEINTRESOURCEW(large ? IDB_PAGE_HEADER_2X : IDB_PAGE_HEADER), IMAGE_BITMAP, 0, 0, 0)));
    const UINT sourceDpi = source && large ? 2 * kBaseDpi : kBaseDpi;
    if (!source)
        source.reset(
            static_cast<HBITMAP>(LoadImageW(module, MAKEINTRESOURCEW(IDB_PAGE_HEADER), IMAGE_BITMAP, 0, 0, 0)));
    BITMAP size{};
    if (!source || !GetObjectW(source.get(), sizeof size, &size)) return;

    const HDC screen = GetDC(nullptr);
    if (!screen) return;
    BitmapHandle picture(newPicture(screen, client.right, client.bottom));
    if (picture) {
        const SelectedBitmap from(screen, source.get());
        const SelectedBitmap to(screen, picture.get());
        const int width = MulDiv(size.bmWidth, static_cast<int>(dpi), static_cast<int>(sourceDpi));
        const int height = MulDiv(size.bmHeight, static_cast<int>(dpi), static_cast<int>(sourceDpi));
        const UniqueHandle<HBRUSH, DeleteGdiObject> fill(CreateSolidBrush(GetPixel(from.dc(), 0, 0)));
        FillRect(to.dc(), &client, fill.get());
        SetStretchBltMode(to.dc(), HALFTONE);
        SetBrushOrgEx(to.dc(), 0, 0, nullptr);  // as HALFTONE requires
        StretchBlt(to.dc(), (client.right - width) / 2, (client.bottom - height) / 2, width, height, from.dc(), 0, 0,
                   size.bmWidth, size.bmHeight, SRCCOPY);
    }
    ReleaseDC(nullptr, screen);
    if (!picture) return;
    detach();
    band_ = band;
    // The template's own bitmap, the control's until now, is ours to delete.
    BitmapHandle previous(reinterpret_cast<HBITMAP>(
        SendMessageW(band, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture.get()))));
    picture_ = std::move(picture);
}

void HeaderBand::detach() {
    if (band_ && picture_) SendMessageW(band_, STM_SETIMAGE, IMAGE_BITMAP, 0);
    band_ = nullptr;
    picture_.reset();
}
