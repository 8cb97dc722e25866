#include "ui/win32/page_dpi.h"

namespace {

// A user32 function looked up once; null where this Windows lacks it.
template <typename Function>
Function user32Function(const char* name) {
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

}  // namespace

UINT windowDpi(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto forWindow = user32Function<GetDpiForWindowFn>("GetDpiForWindow");
    if (forWindow && window) {
        const UINT dpi = forWindow(window);
        if (dpi) return dpi;
    }
    const HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : kBaseDpi;
}

int scaleForDpi(int pixelsAt96, UINT dpi) { return MulDiv(pixelsAt96, static_cast<int>(dpi), kBaseDpi); }

int systemMetricForDpi(int index, UINT dpi) {
    using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
    static const auto forDpi = user32Function<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
    return forDpi ? forDpi(index, dpi) : GetSystemMetrics(index);
}
