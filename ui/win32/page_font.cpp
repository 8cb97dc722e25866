#include "ui/win32/page_font.h"

#include <utility>

void PageFont::make(HFONT base, UINT dpi, double heightFactor) {
    LOGFONTW font{};
    if (!GetObjectW(base ? static_cast<HGDIOBJ>(base) : GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font)) return;
    font.lfHeight = static_cast<LONG>(font.lfHeight * heightFactor);
    font.lfWeight = FW_BOLD;
    font_.reset(CreateFontIndirectW(&font));
    dpi_ = dpi;
}

HFONT PageFont::forDpi(UINT dpi) {
    if (!font_ || dpi == dpi_ || dpi == 0) return font_.get();
    LOGFONTW font{};
    if (!GetObjectW(font_.get(), sizeof font, &font)) return font_.get();
    font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(dpi_));
    font.lfWidth = MulDiv(font.lfWidth, static_cast<int>(dpi), static_cast<int>(dpi_));
    FontHandle scaled(CreateFontIndirectW(&font));
    if (!scaled) return font_.get();
    font_ = std::move(scaled);
    dpi_ = dpi;
    return font_.get();
}
