// text-fit-probe: builds every wizard page through the real page steps (start page, page
// steps, finish pages) for each of the six languages, shows it through Win32Ui::showPage,
// measures every static text and button caption with the control's own font once the
// page is up, finds the texts drawn over the header picture's drawing, and ends the page.
// One JSON line per page and language:
//   {"language":"de","page":"user-group","dpi":96,"size":[w,h],"band":[l,t,r,b],"measured":N,
//    "clipped":[{"id":..,"text":..,"need":[w,h],"have":[w,h]}],
//    "header_lines":[[id,left,top,right,bottom,pixels],...],
//    "over_drawing":[{"id":..,"text":..,"pixels":N}],"messages":[...]}
// size is the page's client area, band the header band's rectangle; header_lines are the drawn lines of the texts over
// the header band (client coordinates) with the picture's drawing pixels under each.
//   text-fit-probe [--out FILE]
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/bootstrapper_app.h"
#include "control_fit.h"
#include "header_ink.h"
#include "platform/download_result.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_system.h"
#include "ui/win32/win32_ui.h"
#include "install/progress_steps.h"
#include "res/pages_ids.h"
#include "text/texts.h"
#include "ui/start_page.h"
#include "ui/page_frame.h"
#include "ui/wizard_steps.h"

namespace {

struct Clipped {
    int id = 0;
    std::wstring text;
    ControlFit fit;
};

struct HeaderLine {
    int id = 0;
    RECT box{};
    int pixels = 0;  // the picture's drawing under the line
};

struct OverDrawing {
    int id = 0;
    std::wstring text;
    int pixels = 0;
};

struct PageRecord {
    bool shown = false;
    int measured = 0;  // controls with a text that were measured
    int dpi = 0;
    SIZE size{0, 0};
    RECT band{0, 0, 0, 0};
    std::vector<Clipped> clipped;
    std::vector<HeaderLine> headerLines;
    std::vector<OverDrawing> overDrawing;
};

PageRecord* g_record = nullptr;
const HeaderPicture* g_header = nullptr;

bool isStatic(HWND window) {
    wchar_t cls[32] = {};
    GetClassNameW(window, cls, 32);
    return _wcsicmp(cls, L"Static") == 0;
}

// The static's drawn lines over the header band, and the drawing under them.
void checkAgainstHeader(HWND child) {
    if (!g_header || !g_header->valid() || !isStatic(child) || GetDlgCtrlID(child) == IDC_PAGE_HEADER) return;
    OverDrawing over{GetDlgCtrlID(child), windowText(child), 0};
    for (const RECT& line : drawnTextLines(child)) {
        RECT inside{};
        const RECT band = g_header->band();
        if (!IntersectRect(&inside, &line, &band)) continue;
        const int pixels = g_header->drawingUnder(line);
        g_record->headerLines.push_back({over.id, line, pixels});
        over.pixels += pixels;
    }
    if (over.pixels > 0) g_record->overDrawing.push_back(over);
}
constexpr UINT_PTR kEndTimer = 0x7E57;

BOOL CALLBACK measureChild(HWND child, LPARAM) {
    const ControlFit fit = measureControl(child);
    if (!fit.measured) return TRUE;
    ++g_record->measured;
    if (!fit.fits) g_record->clipped.push_back({GetDlgCtrlID(child), windowText(child), fit});
    checkAgainstHeader(child);
    return TRUE;
}

// Runs once the page is up and its message loop turns: measure, then end the page.
void CALLBACK measureAndEnd(HWND page, UINT, UINT_PTR id, DWORD) {
    KillTimer(page, id);
    if (g_record && !g_record->shown) {
        g_record->shown = true;
        const HDC dc = GetDC(page);
        g_record->dpi = GetDeviceCaps(dc, LOGPIXELSY);
        ReleaseDC(page, dc);
        RECT client{};
        GetClientRect(page, &client);
        g_record->size = {client.right, client.bottom};
        const HeaderPicture header(page);
        g_record->band = header.band();
        g_header = &header;
        EnumChildWindows(page, measureChild, 0);
        g_header = nullptr;
    }
    EndDialog(page, IDCANCEL);
}

LRESULT CALLBACK watchPages(int code, WPARAM wp, LPARAM lp) {
    const auto* m = reinterpret_cast<const CWPRETSTRUCT*>(lp);
    if (code == HC_ACTION && g_record && m->message == WM_INITDIALOG && GetDlgItem(m->hwnd, IDC_PAGE_TITLE) &&
        !GetParent(m->hwnd))
        SetTimer(m->hwnd, kEndTimer, 10, measureAndEnd);
    return CallNextHookEx(nullptr, code, wp, lp);
}

class HookHandle {
public:
    HookHandle() : hook_(SetWindowsHookExW(WH_CALLWNDPROCRET, watchPages, nullptr, GetCurrentThreadId())) {}
    ~HookHandle() {
        if (hook_) UnhookWindowsHookEx(hook_);
    }
    HookHandle(const HookHandle&) = delete;
    HookHandle& operator=(const HookHandle&) = delete;
    bool valid() const { return hook_ != nullptr; }

private:
    HHOOK hook_;
};

// The real pages, ended by the timer; the first page of a case answers "next" so the steps
// go on without dialogs, downloads or folder browsers, and a page shown again (a step that
// refused its answer) answers "cancel", so the case ends and reports it. Message boxes
// are only recorded.
// The pages are measured, not used: no download ever starts.
class NoDownloads : public ContentDownloads {
public:
    int downloadVideos(RunContext&) override { return kDownloadTransferProblem; }
    int downloadMaterial(RunContext&) override { return kDownloadTransferProblem; }
};

class MeasuringUi : public platform::Ui {
public:
    platform::MessageAnswer messageBox(const std::u16string& text, const std::u16string&,
                                       platform::MessageKind) override {
        messages.push_back(text);
        return platform::MessageAnswer::No;
    }
    void showHtmlHelp(const std::u16string&) override {}
    bool browseForFolder(std::uintptr_t, const std::u16string*, const std::u16string&, unsigned, bool,
                         std::u16string& path) override {
        path.clear();
        return false;
    }
    std::string showPage(platform::PageModel& page) override {
        ++pagesShown;
        real_.showPage(page);
        return pagesShown == 1 ? "next" : "cancel";
    }

    std::vector<std::u16string> messages;
    int pagesShown = 0;

private:
    Win32Ui real_;
};

const char* const kLanguageCodes[kLanguageCount] = {"de", "en", "es", "fr", "it", "cs"};

// The fields a demo run has once its settings are read.
void demoRun(RunContext& app, int language, const std::u16string& launcher) {
    app.choices.languageIndex = language;
    app.offer.languageList = {0, 1, 2, 3, 4, 5};
    app.product.languageEnabled.fill(true);
    app.product.productName = u"Circuita 5";
    app.product.productShortName = u"Circuita";
    app.offer.applicationTitle = u"Circuita 5 Setup";
    app.product.mainExeDir.fill(u"Circuita 5");
    app.product.circuitDir.fill(u"Circuita 5");
    app.record.helpFileTempCopy.fill(u"C:\\users\\Public\\Temp\\circuita.chm");  // Help shows
    app.offer.stickAppPath = launcher;                                           // "run from stick" shows
    app.product.updateConfigured = true;
    app.product.preconfigSetup = false;
    app.choices.preconfigMode = true;  // every preconfiguration page shows
    app.choices.linkOnly = false;
    app.product.toGoEdition = false;
    app.product.demoVersion = false;
    app.offer.isPelaxo5 = app.offer.isPelaxo4 = false;
    app.choices.msiUiOption.clear();
    app.choices.allUsers = true;
    app.choices.autoMode = 0;
    app.product.circuitFolderDialog = true;
    app.choices.circuitFolder = u"D:\\Schaltungen\\Übungen";
    app.choices.useStandardCircuitFolder = true;
    app.choices.networkFolder = u"\\\\server\\software\\Circuita 5";
    app.choices.individualSetupFolder = u"c:\\install\\Circuita 5";
    app.choices.targetProgramFolder = u"C:\\Program Files\\Circuita 5";
    app.choices.setupIniText = u"[SETUP]\nDEFAULTDIRL=C:\\Program Files\\Circuita 5\nAUTOMODE=1\nALLUSERS=1";
    app.offer.askForVideos = app.offer.askForPresentations = app.product.askForMaterialDownload = true;
    app.offer.videosAsDownload = false;
    app.choices.installVideos = app.choices.installPresentations = app.choices.downloadMaterialChosen = false;
    app.choices.addOptionalComponents = false;
    app.product.videosSize = u"35";
    app.product.presentationsSize = u"12";
}

void runtimePage(RunContext& app, bool version40) {
    auto named = [&](TextRow row) {
        const std::u16string text = productText(app, row);
        return version40 ? replaceAll(text, u"2.0 SP2", u"4.0") : text;
    };
    app.progress().run(platform::WorkKind::RunProgram,
                       {app.text(TextRow::DotNetFramework), named(TextRow::DotNet20Required),
                        named(TextRow::InstallingDotNet20), productText(app, TextRow::InstallationMayTakeMinutes)},
                       {});
}

struct PageCase {
    const char* name;
    std::function<void(RunContext&, WizardSteps&)> show;
};

void finish(RunContext& app, WizardSteps& steps, TextRow text, const std::u16string& additional) {
    steps.showFinishPage(app, replaceAll(app.text(TextRow::SetupFinished), u"ProductX", app.product.productName),
                         app.text(text), additional);
}

std::vector<PageCase> pageCases() {
    using A = RunContext;
    using S = WizardSteps;
    // The start page first: it makes the title font the other pages use.
    return {
        {"start", [](A& a, S& s) { s.showStartPage(a); }},
        {"start-preconfig",
         [](A& a, S& s) {
             a.product.preconfigSetup = true;
             s.showStartPage(a);
         }},
        {"start-pelaxo5",
         [](A& a, S& s) {
             a.offer.isPelaxo5 = true;
             s.showStartPage(a);
         }},
        {"start-pelaxo5-preconfig",
         [](A& a, S& s) {
             a.offer.isPelaxo5 = a.product.preconfigSetup = true;
             s.showStartPage(a);
         }},
        {"start-pelaxo4",
         [](A& a, S& s) {
             a.offer.isPelaxo4 = true;
             s.showStartPage(a);
         }},
        {"start-togo",
         [](A& a, S& s) {
             a.offer.isPelaxo5 = a.product.toGoEdition = true;
             s.showStartPage(a);
         }},
        {"already-installed", [](A& a, S& s) { s.askAlreadyInstalled(a); }},
        {"installation-type", [](A& a, S& s) { s.askInstallationType(a); }},
        {"network-folder",
         [](A& a, S& s) {
             // An installation the page accepts: bin\<program> below the folder.
             const std::u16string folder = u"C:\\fit-network";
             a.product.startApplicationOnStick = u"Circuita.exe";
             CreateDirectoryW(toWide(folder).c_str(), nullptr);
             CreateDirectoryW(toWide(folder + u"\\bin").c_str(), nullptr);
             a.system().createEmptyFile(folder + u"\\bin\\" + a.product.startApplicationOnStick);
             a.choices.networkFolder = folder;
             s.askNetworkFolder(a);
         }},
        {"user-group", [](A& a, S& s) { s.askUserGroup(a); }},
        {"setup-folder", [](A& a, S& s) { s.askSetupFolder(a); }},
        {"program-folder", [](A& a, S& s) { s.askProgramFolder(a); }},
        {"program-folder-togo",
         [](A& a, S& s) {
             a.product.toGoEdition = true;
             s.askProgramFolder(a);
         }},
        {"circuit-folder",
         [](A& a, S& s) {
             a.choices.preconfigMode = false;
             s.askCircuitFolder(a);
         }},
        {"circuit-folder-preconfig", [](A& a, S& s) { s.askCircuitFolder(a); }},
        {"circuit-folder-own",
         [](A& a, S& s) {
             a.choices.preconfigMode = false;
             a.choices.useStandardCircuitFolder = false;
             s.askCircuitFolder(a);
         }},
        {"videos-download",
         [](A& a, S& s) {
             a.offer.videosAsDownload = true;
             s.askCopyVideos(a);
         }},
        {"videos-pelaxo4",
         [](A& a, S& s) {
             a.offer.isPelaxo4 = true;
             s.askCopyVideos(a);
         }},
        {"videos", [](A& a, S& s) { s.askCopyVideos(a); }},
        {"material-download", [](A& a, S& s) { s.askMaterialDownload(a); }},
        {"presentations", [](A& a, S& s) { s.askPresentations(a); }},
        {"auto-mode", [](A& a, S& s) { s.askAutoMode(a); }},
        {"presets-summary", [](A& a, S& s) { s.showPresetsSummary(a); }},
        {"finish-launched", [](A& a, S& s) { finish(a, s, TextRow::InstallationCompleted, u""); }},
        {"finish-launch-failed", [](A& a, S& s) { finish(a, s, TextRow::SetupAborted, u""); }},
        {"finish-links",
         [](A& a, S& s) { finish(a, s, TextRow::InstallationCompleted, a.text(TextRow::OnlyLinkCreated)); }},
        {"finish-individual-setup",
         [](A& a, S& s) {
             s.showFinishPage(
                 a, a.text(TextRow::IndividualSetupCreated),
                 replaceAll(a.text(TextRow::IndividualSetupCreatedMessage), u"XYZ", a.choices.individualSetupFolder),
                 a.text(TextRow::SetupIniContent) + u"\n\n" + a.choices.setupIniText);
         }},
        // The progress pages with the texts their steps give them (no work runs).
        {"runtime-20", [](A& a, S&) { runtimePage(a, false); }},
        {"runtime-40", [](A& a, S&) { runtimePage(a, true); }},
        {"extraction",
         [](A& a, S&) {
             a.progress().run(platform::WorkKind::ExtractResource,
                              {a.text(TextRow::ExtractingTitle), a.text(TextRow::ExtractingMessage),
                               a.text(TextRow::ExtractingStatus), u""},
                              {});
         }},
        {"copy",
         [](A& a, S&) {
             a.progress().run(
                 platform::WorkKind::CopyFiles,
                 {a.text(TextRow::CopyTitle), a.text(TextRow::CopyMessage), a.text(TextRow::CopyStatus), u""}, {});
         }},
        {"download-videos",
         [](A& a, S&) {
             a.progress().run(platform::WorkKind::DownloadFile,
                              {a.text(TextRow::DownloadingVideos), a.text(TextRow::DownloadingVideosMessage),
                               a.text(TextRow::Status), u""},
                              {});
         }},
        {"download-material",
         [](A& a, S&) {
             a.progress().run(platform::WorkKind::DownloadSegments,
                              {a.text(TextRow::DownloadingMaterial), a.text(TextRow::DownloadingMaterialMessage),
                               a.text(TextRow::Status), u""},
                              {});
         }},
        {"shell-extension",
         [](A& a, S&) {
             const std::u16string installing =
                 replaceAll(a.text(TextRow::InstallingProduct), u"ProductX", a.product.productName);
             a.progress().run(
                 platform::WorkKind::RegisterShellExtension,
                 {replaceAll(withoutMnemonic(a.text(TextRow::InstallProductTitle)), u"ProductX", a.product.productName),
                  installing, installing, u""},
                 {});
         }},
    };
}

std::string report(const char* language, const char* page, const PageRecord& record, int pagesShown,
                   const std::vector<std::u16string>& messages) {
    std::string clipped, boxes;
    for (const auto& c : record.clipped) {
        clipped += std::string(clipped.empty() ? "" : ",") + "{\"id\":" + std::to_string(c.id) +
                   ",\"text\":" + jsonQuoted(c.text) + ",\"need\":[" + std::to_string(c.fit.need.cx) + "," +
                   std::to_string(c.fit.need.cy) + "],\"have\":[" + std::to_string(c.fit.have.cx) + "," +
                   std::to_string(c.fit.have.cy) + "]}";
    }
    for (const auto& m : messages) boxes += (boxes.empty() ? "" : ",") + jsonQuoted(toWide(m));
    std::string lines, over;
    for (const auto& l : record.headerLines) {
        lines += std::string(lines.empty() ? "" : ",") + "[" + std::to_string(l.id) + "," + std::to_string(l.box.left) +
                 "," + std::to_string(l.box.top) + "," + std::to_string(l.box.right) + "," +
                 std::to_string(l.box.bottom) + "," + std::to_string(l.pixels) + "]";
    }
    for (const auto& o : record.overDrawing) {
        over += std::string(over.empty() ? "" : ",") + "{\"id\":" + std::to_string(o.id) +
                ",\"text\":" + jsonQuoted(o.text) + ",\"pixels\":" + std::to_string(o.pixels) + "}";
    }
    return std::string("{\"language\":\"") + language + "\",\"page\":\"" + page +
           "\",\"shown\":" + std::to_string(pagesShown) + ",\"dpi\":" + std::to_string(record.dpi) + ",\"size\":[" +
           std::to_string(record.size.cx) + "," + std::to_string(record.size.cy) + "],\"band\":[" +
           std::to_string(record.band.left) + "," + std::to_string(record.band.top) + "," +
           std::to_string(record.band.right) + "," + std::to_string(record.band.bottom) +
           "],\"measured\":" + std::to_string(record.shown ? record.measured : -1) + ",\"clipped\":[" + clipped +
           "],\"header_lines\":[" + lines + "],\"over_drawing\":[" + over + "],\"messages\":[" + boxes + "]}";
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring outPath;
    for (int i = 1; i < argc; ++i) {
        const std::wstring a = argv[i];
        if (a == L"--out" && i + 1 < argc) outPath = argv[++i];
        else return 2;
    }
    const HookHandle hook;
    if (!hook.valid()) return 3;
    FILE* out = outPath.empty() ? nullptr : _wfopen(outPath.c_str(), L"wb");
    Win32System system;
    MeasuringUi ui;
    const auto cases = pageCases();
    {
        CBootstrapperApp application(system, ui);
        RunContext& app = application.run();
        const std::u16string launcher = system.launcherPath();
        NoDownloads downloads;
        WizardSteps steps(downloads);
        for (int language = 0; language < kLanguageCount; ++language) {
            for (const auto& pageCase : cases) {
                demoRun(app, language, launcher);
                ui.messages.clear();
                ui.pagesShown = 0;
                PageRecord record;
                g_record = &record;
                pageCase.show(app, steps);
                g_record = nullptr;
                const std::string line =
                    report(kLanguageCodes[language], pageCase.name, record, ui.pagesShown, ui.messages) + "\n";
                std::fputs(line.c_str(), stdout);
                if (out) {
                    std::fputs(line.c_str(), out);
                    std::fflush(out);
                }
            }
        }
    }
    if (out) std::fclose(out);
    return 0;
}
