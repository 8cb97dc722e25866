// Circuita: the demo product's main program. It only has to look like an application to the
// launcher and the end-to-end tests: it opens one window titled "Circuita 5", shows the
// command line it was started with and its current folder (so a test can read the
// language and technology arguments off the screen) and closes itself after a few seconds.
#ifndef UNICODE
#define UNICODE
#endif
#include <windows.h>

#include <string>

namespace {

constexpr UINT_PTR kCloseTimer = 1;
// Long enough for a UI driver to find the window, short enough that a forgotten instance
// does not block a test prefix. "/stay" keeps it open for manual use.
constexpr UINT kCloseAfterMs = 5000;
constexpr int kArgsLabelId = 100;

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (wParam == kCloseTimer) {
            DestroyWindow(window);
            return 0;
        }
        break;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// The command line without the program's own name, as the launcher passed it.
std::wstring arguments() {
    const wchar_t* p = GetCommandLineW();
    bool quoted = false;
    while (*p && (quoted || (*p != L' ' && *p != L'\t'))) {
        if (*p == L'"') quoted = !quoted;
        ++p;
    }
    while (*p == L' ' || *p == L'\t') ++p;
    return p;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    const wchar_t* const className = L"CircuitaDemoMain";
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = className;
    if (!RegisterClassExW(&wc)) return 1;

    HWND window = CreateWindowExW(0, className, L"Circuita 5", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 480,
                                  200, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;

    const std::wstring args = arguments();
    wchar_t folder[MAX_PATH];
    const DWORD length = GetCurrentDirectoryW(MAX_PATH, folder);
    const std::wstring here = length == 0 || length >= MAX_PATH ? L"?" : std::wstring(folder, length);
    const std::wstring label =
        L"Circuita 5 demo\r\nArguments: " + (args.empty() ? L"(none)" : args) + L"\r\nFolder: " + here;
    CreateWindowExW(0, L"STATIC", label.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT, 12, 12, 440, 120, window,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kArgsLabelId)), instance, nullptr);

    if (args.find(L"/stay") == std::wstring::npos) SetTimer(window, kCloseTimer, kCloseAfterMs, nullptr);
    ShowWindow(window, showCommand);
    UpdateWindow(window);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
