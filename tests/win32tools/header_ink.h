// Whether a page's texts lie over the drawing of its header picture. The picture is read
// back from the band control as the page shows it; its background is the colour of its
// top-left pixel (the colour a centred picture's surroundings take too). A text's place is
// where its lines are drawn: each line's ink, from its first to its last column, over the
// line's full height. Any picture pixel there that is not background counts: so the
// check holds for a vendor's own picture as much as for the demo's.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

class HeaderPicture {
public:
    // The picture of `dialog`'s header band; empty when the page has none.
    explicit HeaderPicture(HWND dialog);
    bool valid() const { return !pixels_.empty(); }
    // The band in the dialog's client coordinates.
    RECT band() const { return band_; }
    // Picture pixels other than the background inside `box` (dialog client coordinates).
    int drawingUnder(const RECT& box) const;

private:
    std::vector<std::uint32_t> pixels_;  // top-down 0x00RRGGBB
    int width_ = 0, height_ = 0;
    POINT origin_{0, 0};  // the picture's top-left corner in dialog client coordinates
    RECT band_{0, 0, 0, 0};
    std::uint32_t background_ = 0;
};

// The boxes of a static text's drawn lines in its dialog's client coordinates, drawn as
// the control draws them (its font, word-wrapped, or one line centred vertically).
std::vector<RECT> drawnTextLines(HWND control);
