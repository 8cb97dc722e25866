// Whether a control's text fits inside it, drawn in the control's own font; shared by the
// probes that report cut-off texts of wizard pages.
#pragma once

#include <windows.h>

#include <string>

struct ControlFit {
    bool measured = false;  // a visible, non-empty static text or button caption
    bool fits = true;
    SIZE need{0, 0};  // the text's extent (word-wrapped at the available width if multi-line)
    SIZE have{0, 0};  // the room the control offers its text
};

std::wstring windowText(HWND window);
ControlFit measureControl(HWND control);

// UTF-8 and a JSON string literal of a wide text.
std::string utf8(const std::wstring& s);
std::string jsonQuoted(const std::wstring& s);
