// msgbox_probe: a tiny GUI program with known behaviour, used to prove the end-to-end
// harness itself (driver, display, prefix) before scenarios trust it with setup.exe.
//
//   msgbox_probe box --caption C --text T [--buttons ok|okcancel|yesno|yesnocancel]
//       shows one MessageBoxW; the exit code is the id of the button pressed.
//   msgbox_probe form --out FILE [--title T]
//       shows a window with an edit (id 100), two radios (101, 102; 101 checked), a combo
//       box (103), a disabled "Later" button (104) and a "Done" button (IDOK). Done asks "Finish?" in a Yes/No box; on
//       Yes it writes "edit=...\nradio=...\ncombo=...\n" (UTF-8) to FILE and exits with 0.

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "utf8.h"

namespace {

constexpr int kEdit = 100, kRadioA = 101, kRadioB = 102, kCombo = 103, kLater = 104;

std::wstring gOut;
HWND gEdit, gRadioA, gRadioB, gCombo;

std::wstring textOf(HWND h) {
    std::wstring s(static_cast<size_t>(GetWindowTextLengthW(h)) + 1, L'\0');
    s.resize(static_cast<size_t>(GetWindowTextW(h, &s[0], static_cast<int>(s.size()))));
    return s;
}

void writeResult() {
    std::wstring radio = L"none";
    if (SendMessageW(gRadioA, BM_GETCHECK, 0, 0) == BST_CHECKED) radio = L"a";
    if (SendMessageW(gRadioB, BM_GETCHECK, 0, 0) == BST_CHECKED) radio = L"b";
    std::wstring combo;
    LRESULT sel = SendMessageW(gCombo, CB_GETCURSEL, 0, 0);
    if (sel >= 0) {
        combo.resize(static_cast<size_t>(SendMessageW(gCombo, CB_GETLBTEXTLEN, sel, 0)) + 1);
        SendMessageW(gCombo, CB_GETLBTEXT, sel, reinterpret_cast<LPARAM>(&combo[0]));
        combo.resize(combo.size() - 1);
    }
    const std::string body = utf8(L"edit=" + textOf(gEdit) + L"\nradio=" + radio + L"\ncombo=" + combo + L"\n");
    HANDLE f = CreateFileW(gOut.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD done = 0;
    WriteFile(f, body.data(), static_cast<DWORD>(body.size()), &done, nullptr);
    CloseHandle(f);
}

HWND child(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w, int h, int id) {
    HWND c = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    return c;
}

LRESULT CALLBACK formProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        gEdit = child(h, L"Edit", L"", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 10, 10, 260, 22, kEdit);
        gRadioA =
            child(h, L"Button", L"Option A", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 10, 40, 120, 20, kRadioA);
        gRadioB = child(h, L"Button", L"Option B", BS_AUTORADIOBUTTON, 140, 40, 120, 20, kRadioB);
        gCombo = child(h, L"ComboBox", L"", CBS_DROPDOWNLIST | WS_TABSTOP | WS_VSCROLL, 10, 68, 260, 120, kCombo);
        for (const wchar_t* item : {L"English", L"Deutsch", L"Čeština"})
            SendMessageW(gCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        SendMessageW(gCombo, CB_SETCURSEL, 0, 0);
        child(h, L"Button", L"Later", BS_PUSHBUTTON | WS_DISABLED, 100, 100, 80, 26, kLater);
        child(h, L"Button", L"Done", BS_DEFPUSHBUTTON | WS_TABSTOP, 190, 100, 80, 26, IDOK);
        SendMessageW(gRadioA, BM_SETCHECK, BST_CHECKED, 0);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK && MessageBoxW(h, L"Finish?", L"Probe Confirm", MB_YESNO | MB_ICONQUESTION) == IDYES) {
            writeResult();
            DestroyWindow(h);
        }
        return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(h, msg, wp, lp);
    }
}

int runForm(const std::wstring& title) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = formProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"ProbeForm";
    RegisterClassW(&wc);
    HWND h = CreateWindowExW(0, L"ProbeForm", title.c_str(), WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 100, 100, 300,
                             180, nullptr, nullptr, wc.hInstance, nullptr);
    if (!h) return 90;
    ShowWindow(h, SW_SHOW);
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(h, &m)) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
    }
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 2) return 99;
    const std::wstring mode = argv[1];
    std::wstring caption = L"Probe", text, buttons = L"ok", title = L"Probe Form";
    for (int i = 2; i + 1 < argc; i += 2) {
        const std::wstring opt = argv[i];
        if (opt == L"--caption") caption = argv[i + 1];
        else if (opt == L"--text") text = argv[i + 1];
        else if (opt == L"--buttons") buttons = argv[i + 1];
        else if (opt == L"--out") gOut = argv[i + 1];
        else if (opt == L"--title") title = argv[i + 1];
        else return 98;
    }
    if (mode == L"box") {
        UINT type = MB_OK;
        if (buttons == L"okcancel") type = MB_OKCANCEL;
        else if (buttons == L"yesno") type = MB_YESNO;
        else if (buttons == L"yesnocancel") type = MB_YESNOCANCEL;
        return MessageBoxW(nullptr, text.c_str(), caption.c_str(), type | MB_ICONINFORMATION);
    }
    if (mode == L"form" && !gOut.empty()) return runForm(title);
    return 97;
}
