#include "header_ink.h"

#include <algorithm>
#include <string>

#include "res/pages_ids.h"

namespace {

// A top-down 32-bit DIB selected into a memory DC for as long as this object lives.
class Canvas {
public:
    Canvas(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        bitmap_ = dc_ ? CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
        bits_ = static_cast<const std::uint32_t*>(bits);
        old_ = bitmap_ ? SelectObject(dc_, bitmap_) : nullptr;
    }
    ~Canvas() {
        if (old_) SelectObject(dc_, old_);
        if (bitmap_) DeleteObject(bitmap_);
        if (dc_) DeleteDC(dc_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    bool valid() const { return bits_ != nullptr; }
    HDC dc() const { return dc_; }
    std::uint32_t pixel(int x, int y) const { return bits_[y * width_ + x] & 0xFFFFFF; }
    int width() const { return width_; }
    int height() const { return height_; }

private:
    int width_, height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    const std::uint32_t* bits_ = nullptr;
};

RECT childRect(HWND dialog, HWND child) {
    RECT r{};
    GetClientRect(child, &r);
    MapWindowPoints(child, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

}  // namespace

HeaderPicture::HeaderPicture(HWND dialog) {
    const HWND control = GetDlgItem(dialog, IDC_PAGE_HEADER);
    if (!control) return;
    const auto picture = reinterpret_cast<HBITMAP>(SendMessageW(control, STM_GETIMAGE, IMAGE_BITMAP, 0));
    BITMAP size{};
    if (!picture || !GetObjectW(picture, sizeof size, &size) || size.bmWidth <= 0 || size.bmHeight <= 0) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.bmWidth;
    info.bmiHeader.biHeight = -size.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> pixels(static_cast<size_t>(size.bmWidth) * size.bmHeight);
    const HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, picture, 0, size.bmHeight, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != size.bmHeight) return;
    for (auto& p : pixels) p &= 0xFFFFFF;
    band_ = childRect(dialog, control);
    width_ = size.bmWidth;
    height_ = size.bmHeight;
    // SS_CENTERIMAGE centres the picture on the band; otherwise it sits at the top left.
    const bool centred = (GetWindowLongW(control, GWL_STYLE) & SS_CENTERIMAGE) != 0;
    origin_ = {band_.left + (centred ? (band_.right - band_.left - width_) / 2 : 0),
               band_.top + (centred ? (band_.bottom - band_.top - height_) / 2 : 0)};
    background_ = pixels.front();
    pixels_ = std::move(pixels);
}

int HeaderPicture::drawingUnder(const RECT& box) const {
    RECT inside{};
    if (!valid() || !IntersectRect(&inside, &box, &band_)) return 0;
    int count = 0;
    for (int y = inside.top; y < inside.bottom; ++y) {
        const int py = y - origin_.y;
        if (py < 0 || py >= height_) continue;
        for (int x = inside.left; x < inside.right; ++x) {
            const int px = x - origin_.x;
            if (px >= 0 && px < width_ && pixels_[static_cast<size_t>(py) * width_ + px] != background_) ++count;
        }
    }
    return count;
}

std::vector<RECT> drawnTextLines(HWND control) {
    std::vector<RECT> lines;
    wchar_t buffer[4096] = {};
    GetWindowTextW(control, buffer, 4096);
    RECT client{};
    GetClientRect(control, &client);
    if (!buffer[0] || client.right <= 0 || client.bottom <= 0) return lines;
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    // How a left-aligned static draws its text.
    const bool oneLine = (style & SS_CENTERIMAGE) != 0;
    const UINT format = DT_LEFT | DT_EXPANDTABS | (oneLine ? DT_SINGLELINE | DT_VCENTER : DT_WORDBREAK) |
                        ((style & SS_NOPREFIX) ? DT_NOPREFIX : 0);
    Canvas canvas(client.right, client.bottom);
    if (!canvas.valid()) return lines;
    FillRect(canvas.dc(), &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    const HGDIOBJ oldFont = SelectObject(canvas.dc(), reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SetTextColor(canvas.dc(), RGB(0, 0, 0));
    SetBkMode(canvas.dc(), TRANSPARENT);
    TEXTMETRICW metrics{};
    GetTextMetricsW(canvas.dc(), &metrics);
    RECT area = client;
    DrawTextW(canvas.dc(), buffer, -1, &area, format);
    RECT need{0, 0, client.right, 0};
    DrawTextW(canvas.dc(), buffer, -1, &need, format | DT_CALCRECT);
    SelectObject(canvas.dc(), oldFont);

    const int lineHeight = std::max<int>(1, metrics.tmHeight);
    const int top = oneLine ? (client.bottom - lineHeight) / 2 : 0;
    const int count = oneLine ? 1 : std::max<int>(1, need.bottom / lineHeight);
    for (int line = 0; line < count; ++line) {
        RECT box{canvas.width(), std::max(0, top + line * lineHeight), -1,
                 std::min(canvas.height(), top + (line + 1) * lineHeight)};
        for (int y = box.top; y < box.bottom; ++y)
            for (int x = 0; x < canvas.width(); ++x)
                if (canvas.pixel(x, y) != 0xFFFFFF)
                    box.left = std::min<LONG>(box.left, x), box.right = std::max<LONG>(box.right, x + 1);
        if (box.right < 0) continue;  // nothing of this line shows
        MapWindowPoints(control, GetParent(control), reinterpret_cast<POINT*>(&box), 2);
        lines.push_back(box);
    }
    return lines;
}
