// payload-probe: runs the launcher's payload and download steps with their real progress
// pages and reports, as one JSON object, what each step returned and every distinct state the
// progress page showed while it was up (read from its controls every 10 ms, because an
// extraction page may be gone before another process could look).
//   payload-probe --out FILE prepare                   the package (resource MSI_FILE)
//   payload-probe --out FILE extract RESOURCE TARGET
//   payload-probe --out FILE copy TOTAL SRC DST [SRC DST]...
//   payload-probe --out FILE write RESOURCE TARGET   the extraction worker alone, no page
//   payload-probe --out FILE download URL TARGET          one file (an empty TARGET opens none)
//   payload-probe --out FILE fetch URL TARGET             the one-file worker alone, no page
//   payload-probe --out FILE segments BASE FOLDER FILE... files in verified segments
//   payload-probe --out FILE split BASE FOLDER FILE...    the segments worker alone, no page
// The two workers alone report where their time went ("split").
// The report also gives the step's milliseconds and the process's peak working set.
// Options after FILE: --unwatched leaves the page unread, for timings that the reading would
// spoil; --http-timeout MS shortens the downloads' time-out, so a stall can outlast it.
// Payload resources are embedded into a copy of the probe by the test (set-settings).
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include "config/run_context.h"
#include "download/content_download.h"
#include "download/transfer_work.h"
#include "install/prerequisites.h"
#include "install/progress_steps.h"
#include "install/progress_workers.h"
#include "platform/strings.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_system.h"
#include "res/pages_ids.h"
#include "text/languages.h"
#include "ui/progress_presenter.h"
#include "ui/win32/win32_ui.h"

namespace {

std::string json(const std::u16string& text) {
    std::string out = "\"";
    for (char c : wideToUtf8(text)) {
        if (c == '"' || c == '\\') out += '\\';
        if (c == '\n') out += "\\n";
        else out += c;
    }
    return out + "\"";
}

struct Watch {
    std::atomic<bool> stop{false};
    std::vector<std::string> states;  // written by the watcher only, read after it ended
};

BOOL CALLBACK findPage(HWND window, LPARAM found) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == GetCurrentProcessId() && IsWindowVisible(window) && GetDlgItem(window, IDC_PROGRESS_BAR)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

std::u16string controlText(HWND page, int id) {
    wchar_t buffer[2048] = {};
    GetDlgItemTextW(page, id, buffer, 2048);
    return fromWide(buffer);
}

DWORD WINAPI watch(void* parameter) {
    auto* w = static_cast<Watch*>(parameter);
    while (!w->stop) {
        HWND page = nullptr;
        EnumWindows(findPage, reinterpret_cast<LPARAM>(&page));
        const std::u16string title = page ? controlText(page, IDC_PAGE_TITLE) : std::u16string();
        // A page being torn down answers with empty texts; it is no longer shown.
        if (!title.empty()) {
            auto visible = [page](int id) { return IsWindowVisible(GetDlgItem(page, id)) ? "true" : "false"; };
            const int pos = static_cast<int>(SendMessageW(GetDlgItem(page, IDC_PROGRESS_BAR), PBM_GETPOS, 0, 0));
            const std::string state =
                "{\"title\": " + json(title) + ", \"message\": " + json(controlText(page, IDC_PAGE_MESSAGE)) +
                ", \"message_visible\": " + visible(IDC_PAGE_MESSAGE) +
                ", \"frame\": " + json(controlText(page, IDC_PROGRESS_FRAME)) +
                ", \"bar_visible\": " + visible(IDC_PROGRESS_BAR) + ", \"pos\": " + std::to_string(pos) +
                ", \"size\": " + json(controlText(page, IDC_PROGRESS_FILE_SIZE)) +
                ", \"time\": " + json(controlText(page, IDC_PROGRESS_LEFT_TIME)) +
                ", \"rate\": " + json(controlText(page, IDC_PROGRESS_RATE)) + "}";
            // Read again: a page torn down between the reads gave some of them empty.
            const bool intact = IsWindow(page) && controlText(page, IDC_PAGE_TITLE) == title;
            if (intact && (w->states.empty() || w->states.back() != state)) w->states.push_back(state);
        }
        Sleep(10);
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4 || std::wstring(argv[1]) != L"--out") return 2;
    const wchar_t* reportPath = argv[2];
    bool watched = true;
    unsigned long httpTimeoutMs = 0;
    for (;;) {
        if (argc >= 4 && std::wstring(argv[3]) == L"--unwatched") {
            watched = false;
            argv += 1;
            argc -= 1;
        } else if (argc >= 5 && std::wstring(argv[3]) == L"--http-timeout") {
            httpTimeoutMs = std::wcstoul(argv[4], nullptr, 10);
            argv += 2;
            argc -= 2;
        } else {
            break;
        }
    }
    if (argc < 4) return 2;
    hardenDllSearchPath();
    Win32System system;
    if (httpTimeoutMs) system.setHttpTimeout(httpTimeoutMs);
    system.initCommonControls();
    Win32Ui ui;
    RunContext app(system, ui);
    ProgressPages pages(app);
    app.setProgress(pages);
    app.choices.languageIndex = kEnglish;
    app.product.productName = u"Circuita 5";
    app.offer.applicationTitle = u"Circuita 5 Setup";
    app.product.msiFileName = u"Circuita.msi";
    app.product.msiResourceName = u"MSI_FILE";

    Watch watcher;
    KernelHandle thread(watched ? CreateThread(nullptr, 0, watch, &watcher, 0, nullptr) : nullptr);
    const std::wstring step = argv[3];
    int result = -100;
    std::u16string path;
    TransferTimes times;
    platform::ProgressSink sink;  // for the workers run without a page
    const ULONGLONG started = GetTickCount64();
    if (step == L"write" && argc == 6) {
        result = extractResourceWork(app, sink, fromWide(argv[4]), fromWide(argv[5]));
    } else if (step == L"prepare") {
        result = PreparePackage(app, path);
    } else if (step == L"extract" && argc == 6) {
        result = ExtractResourceWithProgress(app, fromWide(argv[4]), fromWide(argv[5]), true);
    } else if (step == L"copy" && argc >= 7 && (argc - 5) % 2 == 0) {
        std::vector<std::u16string> sources, destinations;
        for (int i = 5; i + 1 < argc; i += 2) {
            sources.push_back(fromWide(argv[i]));
            destinations.push_back(fromWide(argv[i + 1]));
        }
        result = copyFilesWithProgress(app, std::wcstoull(argv[4], nullptr, 10), sources, destinations);
    } else if (step == L"download" && argc == 6) {
        result = DownloadFile(app, "QendraSetup", fromWide(argv[4]), fromWide(argv[5]), u"Downloading", u"Please wait.",
                              u"Status");
    } else if (step == L"segments" && argc >= 7) {
        std::vector<std::u16string> files;
        for (int i = 6; i < argc; ++i) files.push_back(fromWide(argv[i]));
        result = DownloadSegmentedFiles(app, "QendraSetup", fromWide(argv[4]), files, fromWide(argv[5]), u"Downloading",
                                        u"Please wait.", u"Status");
    } else if (step == L"fetch" && argc == 6) {
        result = downloadFileWork(system, sink, u"QendraSetup", fromWide(argv[4]), fromWide(argv[5]), &times);
    } else if (step == L"split" && argc >= 7) {
        SegmentedDownload download{u"QendraSetup", fromWide(argv[4]), {}, fromWide(argv[5]), &times};
        for (int i = 6; i < argc; ++i) download.files.push_back(fromWide(argv[i]));
        result = downloadSegmentsWork(system, sink, download);
    } else {
        return 2;
    }
    const ULONGLONG elapsed = GetTickCount64() - started;
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    watcher.stop = true;
    if (thread) WaitForSingleObject(thread.get(), INFINITE);

    std::string out = "{\"result\": " + std::to_string(result) + ", \"path\": " + json(path) +
                      ", \"ms\": " + std::to_string(elapsed) +
                      ", \"peak_working_set\": " + std::to_string(memory.PeakWorkingSetSize) + ", \"split\": {";
    const std::pair<const char*, double> figures[] = {{"request", times.request}, {"receive", times.receive},
                                                      {"hash", times.hash},       {"digest", times.digest},
                                                      {"write", times.write},     {"close", times.close}};
    for (const auto& [name, seconds] : figures)
        out += std::string(name == figures[0].first ? "" : ", ") + "\"" + name + "\": " + std::to_string(seconds);
    out += "}, \"pages\": [";
    for (std::size_t i = 0; i < watcher.states.size(); ++i) out += (i ? ", " : "") + watcher.states[i];
    out += "]}\n";
    FILE* file = _wfopen(reportPath, L"wb");
    if (!file) return 3;
    std::fwrite(out.data(), 1, out.size(), file);
    std::fclose(file);
    return 0;
}
