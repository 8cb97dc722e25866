#include "control_fit.h"

#include <cstdio>

std::wstring windowText(HWND window) {
    wchar_t buffer[4096] = {};
    GetWindowTextW(window, buffer, 4096);
    return buffer;
}

ControlFit measureControl(HWND control) {
    ControlFit result;
    wchar_t cls[32] = {};
    GetClassNameW(control, cls, 32);
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    const std::wstring text = windowText(control);
    if (text.empty() || !(style & WS_VISIBLE)) return result;
    const bool isStatic = _wcsicmp(cls, L"Static") == 0;
    const bool isButton = _wcsicmp(cls, L"Button") == 0;
    if (!isStatic && !isButton) return result;
    const LONG kind = style & (isStatic ? SS_TYPEMASK : BS_TYPEMASK);
    if (isButton && kind == BS_GROUPBOX) return result;
    if (isStatic && kind != SS_LEFT) return result;
    RECT client{};
    GetClientRect(control, &client);
    int width = client.right, height = client.bottom;
    const bool multiLine = isStatic ? !(style & SS_CENTERIMAGE) : (style & BS_MULTILINE) != 0;
    if (isButton &&
        (kind == BS_AUTORADIOBUTTON || kind == BS_RADIOBUTTON || kind == BS_AUTOCHECKBOX || kind == BS_CHECKBOX)) {
        width -= GetSystemMetrics(SM_CXMENUCHECK) + 4;  // the box and its gap
    } else if (isButton) {
        width -= 8;  // edges and focus rectangle
        height -= 4;
    }
    const HDC dc = GetDC(control);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT need{0, 0, width, 0};
    // Measured as drawn: a static with SS_NOPREFIX shows every '&', the others drop their mark.
    const UINT prefix = isStatic && (style & SS_NOPREFIX) ? DT_NOPREFIX : 0;
    DrawTextW(dc, text.c_str(), -1, &need,
              DT_CALCRECT | DT_EXPANDTABS | prefix | (multiLine ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    result.measured = true;
    result.need = {need.right, need.bottom};
    result.have = {width, height};
    result.fits = need.right <= width && need.bottom <= height;
    return result;
}

std::string utf8(const std::wstring& s) {
    if (s.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, s.c_str(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, s.c_str(), static_cast<int>(s.size()), &out[0], n, nullptr, nullptr);
    return out;
}

std::string jsonQuoted(const std::wstring& s) {
    std::string out = "\"";
    for (const char c : utf8(s)) {
        if (c == '"' || c == '\\') out += '\\', out += c;
        else if (static_cast<unsigned char>(c) < 0x20) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", static_cast<unsigned>(c));
            out += esc;
        } else out += c;
    }
    return out + "\"";
}
