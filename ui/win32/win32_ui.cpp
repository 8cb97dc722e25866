#include "ui/win32/win32_ui.h"

#include <windows.h>

#include "platform/win32/wide.h"
#include "platform/win32/system_library.h"
#include "ui/win32/page_environment.h"

platform::MessageAnswer Win32Ui::messageBox(const std::u16string& text, const std::u16string& caption,
                                            platform::MessageKind kind) {
    UINT style = MB_OK | MB_ICONERROR;
    switch (kind) {
    case platform::MessageKind::Error: style = MB_OK | MB_ICONERROR; break;
    case platform::MessageKind::Warning: style = MB_OK | MB_ICONEXCLAMATION; break;
    case platform::MessageKind::Question: style = MB_YESNO | MB_ICONQUESTION; break;
    case platform::MessageKind::Information: style = MB_OK | MB_ICONINFORMATION; break;
    case platform::MessageKind::Plain: style = MB_OK; break;
    }
    // No owner window exists between pages; keep the box in front of other programs.
    switch (MessageBoxW(nullptr, toWide(text).c_str(), toWide(caption).c_str(), style | MB_SETFOREGROUND)) {
    case IDYES: return platform::MessageAnswer::Yes;
    case IDNO: return platform::MessageAnswer::No;
    case IDCANCEL: return platform::MessageAnswer::Cancel;
    default: return platform::MessageAnswer::Ok;
    }
}

void Win32Ui::showHtmlHelp(const std::u16string& topicUrl) {
    using HtmlHelpFn = HWND(WINAPI*)(HWND, const wchar_t*, UINT, DWORD_PTR);
    constexpr UINT kDisplayTopic = 0;  // HH_DISPLAY_TOPIC
    if (!helpViewerTried_) {
        helpViewerTried_ = true;
        helpViewer_ = loadSystemLibrary(L"hhctrl.ocx");
    }
    if (!helpViewer_) return;
    auto htmlHelp =
        reinterpret_cast<HtmlHelpFn>(reinterpret_cast<void*>(GetProcAddress(helpViewer_.get(), "HtmlHelpW")));
    if (htmlHelp) htmlHelp(nullptr, toWide(topicUrl).c_str(), kDisplayTopic, 0);
}

std::string Win32Ui::showPage(platform::PageModel& page) {
    PageEnvironment env{titleFont_, infoFont_,
                        [this](HWND owner, const std::u16string* initial, const std::u16string& instruction,
                               unsigned flags, std::u16string& path) {
                            return browseForFolder(reinterpret_cast<std::uintptr_t>(owner), initial, instruction, flags,
                                                   true, path);
                        }};
    return showWizardPage(page, env);
}
