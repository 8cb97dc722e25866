// The wizard's user interface on Windows: message boxes, the HTML Help viewer, the folder
// browser and the wizard pages.
#pragma once

#include "platform/platform.h"
#include "platform/win32/unique_handle.h"
#include "ui/win32/page_font.h"

class Win32Ui : public platform::Ui {
public:
    platform::MessageAnswer messageBox(const std::u16string& text, const std::u16string& caption,
                                       platform::MessageKind kind) override;
    void showHtmlHelp(const std::u16string& topicUrl) override;
    bool browseForFolder(std::uintptr_t owner, const std::u16string* initialFolder, const std::u16string& title,
                         unsigned flags, bool initialiseCom, std::u16string& path) override;
    std::string showPage(platform::PageModel& page) override;

private:
    // hhctrl.ocx, loaded on the first Help request and kept for the help windows.
    ModuleHandle helpViewer_;
    bool helpViewerTried_ = false;
    // The pages' bold title font: made by the first start page, kept for the run.
    PageFont titleFont_;
    PageFont infoFont_;
};
