// page-probe: shows wizard pages with sample texts through Win32Ui::showPage and reports
// what the user left on each, one JSON line per page.
//   page-probe [--out FILE] [--lang de|en] [--no-help] [--help-throws] PAGE...
// PAGE: start, start-no-first, start-install-only, two, two-pre1, two-noback, info,
// info-quit, info-ask, info-empty, folder, folder-sub, ct, ct-empty, ct-unchecked.
// Pages run in sequence and each opens where the one before ended. Every line also lists
// the texts that do not fit their controls, measured with the controls' own fonts when the
// page has initialised and again when it closes (after any language switch).
#include <windows.h>

#include <cstdio>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "control_fit.h"
#include "platform/win32/wide.h"
#include "ui/win32/win32_ui.h"
#include "res/pages_ids.h"

namespace {

using platform::PageClass;
using platform::PageModel;

struct Texts {
    std::u16string back, next, cancel, help, browse, question;
    std::u16string welcome, label, run, runText, install, installText, update, updateText;
};

const Texts kGerman{u"< Zurück",
                    u"Weiter >",
                    u"Abbrechen",
                    u"Hilfe",
                    u"Durchsuchen ...",
                    u"Möchten Sie die Installation von Circuita 5 wirklich abbrechen?",
                    u"Willkommen!",
                    u"Language / Sprache / Idioma / Langue",
                    u"Circuita 5 vom Stick starten",
                    u"Startet Circuita 5 direkt vom Stick, ohne das Programm zu installieren.",
                    u"Circuita 5 installieren",
                    u"Installiert oder aktualisiert das Programm Circuita 5 auf diesem Computer.",
                    u"Nach Updates suchen",
                    u"Sucht im Internet nach Aktualisierungen für Circuita 5 und ersetzt veraltete Dateien."};
const Texts kEnglish{u"< Back",
                     u"Next >",
                     u"Cancel",
                     u"Help",
                     u"Browse ...",
                     u"Are you sure you want to cancel Circuita 5 installation?",
                     u"Welcome!",
                     u"Language / Sprache / Idioma / Langue",
                     u"Run Circuita 5 from Stick",
                     u"Run Circuita 5 directly from stick without installation.",
                     u"Install Circuita 5",
                     u"Installs the Circuita 5 program.",
                     u"Search for updates",
                     u"Search for internet updates and replace old files."};
const Texts kCzech{u"< Zpět",
                   u"Další >",
                   u"Storno",
                   u"Nápověda",
                   u"Procházet ...",
                   u"Opravdu chcete zrušit instalaci Circuita 5?",
                   u"Vítejte!",
                   u"Language / Sprache / Idioma / Langue",
                   u"Spustit Circuita 5 z flash disku",
                   u"Spustí Circuita 5 přímo z flash disku bez instalace.",
                   u"Instalovat Circuita 5",
                   u"Nainstaluje program Circuita 5.",
                   u"Hledat aktualizace",
                   u"Vyhledá aktualizace na internetu a nahradí staré soubory."};

const Texts& textsOf(int entry) { return entry == 0 ? kGerman : entry == 2 ? kCzech : kEnglish; }

void applyStartTexts(PageModel& m, const Texts& t) {
    m.title = t.welcome;
    m.cancelCaption = t.cancel;
    m.helpCaption = t.help;
    m.commands[0].caption = t.run;
    m.commands[0].explanation = t.runText;
    m.commands[1].caption = t.install;
    m.commands[1].explanation = t.installText;
    m.commands[2].caption = t.update;
    m.commands[2].explanation = t.updateText;
}

void fillPage(PageModel& m, const std::string& page, bool german) {
    const Texts& t = german ? kGerman : kEnglish;
    m.windowTitle = u"Circuita 5 Setup";
    m.backCaption = t.back;
    m.nextCaption = t.next;
    m.cancelCaption = t.cancel;
    m.helpCaption = t.help;
    m.cancelQuestion = t.question;
    m.cancelQuestionCaption = u"Circuita 5 Setup";
    m.browseCaption = t.browse;
    if (page.rfind("start", 0) == 0) {
        m.pageClass = PageClass::Start;
        m.languageLabel = t.label;
        m.languageNames = {u"Deutsch", u"English", u"česky"};
        m.selectedLanguageEntry = german ? 0 : 1;
        applyStartTexts(m, t);
        m.commands[0].visible = page == "start";
        m.commands[2].visible = page != "start-install-only";
        m.onLanguageChange = [](int entry, PageModel& model) { applyStartTexts(model, textsOf(entry)); };
    } else if (page.rfind("two", 0) == 0) {
        m.pageClass = PageClass::TwoOptions;
        m.title = german ? u"Installationsart" : u"Installation type";
        m.message = german ? u"Bitte wählen Sie, wie Circuita 5 auf diesem Computer installiert werden soll."
                           : u"Please choose how Circuita 5 is to be installed on this computer.";
        m.option1 = german ? u"Für alle Benutzer\r\nDas Programm wird für alle Benutzer dieses Computers "
                             u"eingerichtet; dafür sind Administratorrechte erforderlich."
                           : u"For all users\r\nThe program is set up for every user of this computer; "
                             u"this needs administrator rights.";
        m.option2 = german ? u"Nur für den aktuell angemeldeten Benutzer\r\nDas Programm wird nur für Sie "
                             u"eingerichtet und erscheint nicht im Startmenü anderer Benutzer."
                           : u"For user currently logged in only\r\nThe program is set up for you only and "
                             u"does not appear in other users' start menus.";
        m.selectedOption = page == "two-pre1" ? 1 : 0;
        if (page == "two-noback") m.backCaption.clear();
    } else if (page.rfind("info", 0) == 0) {
        m.pageClass = PageClass::Info;
        m.title = german ? u"Installation abgeschlossen" : u"Installation complete";
        m.message = german ? u"Circuita 5 wurde erfolgreich auf diesem Computer installiert. Sie finden das "
                             u"Programm im Startmenü."
                           : u"Circuita 5 has been installed on this computer. You find the program in the "
                             u"start menu.";
        m.infoText = german ? u"Zusammenfassung der Einstellungen:\r\n\r\nZielordner: C:\\Programme\\Circuita 5\r\n"
                              u"Ordner für Schaltungsdateien: C:\\Benutzer\\Öffentlich\\Dokumente\\Circuita 5\r\n"
                              u"Beispielschaltungen und Übungsaufgaben werden mitinstalliert.\r\n\r\n"
                              u"Klicken Sie auf „Weiter“, um die Einstellungen zu übernehmen, oder auf "
                              u"„Zurück“, um sie zu ändern."
                            : u"Summary of the settings:\r\n\r\nProgram folder: C:\\Program Files\\Circuita 5\r\n"
                              u"Circuit files: C:\\users\\Public\\Documents\\Circuita 5\r\n"
                              u"Sample circuits and exercises are installed as well.\r\n\r\n"
                              u"Click Next to accept the settings, or Back to change them.";
        if (page == "info-empty") m.infoText.clear();
        if (page != "info-ask") m.cancelQuestion.clear();
        if (page == "info-quit") {
            m.helpCaption.clear();
            m.backCaption.clear();
            m.nextCaption.clear();
            m.cancelCaption = german ? u"Beenden" : u"Quit";
        }
    } else if (page.rfind("folder", 0) == 0) {
        m.pageClass = PageClass::Folder;
        m.title = german ? u"Zielordner" : u"Destination folder";
        m.message = german ? u"Wählen Sie den Ordner, in den Circuita 5 installiert werden soll."
                           : u"Choose the folder into which Circuita 5 is to be installed.";
        m.browseInstruction = german ? u"Ordner auswählen" : u"Choose a folder";
        m.folder = u"C:\\Programy\\Příklady žluťoučký kůň";
        if (page == "folder-sub") m.subFolder = u"Sub";
    } else if (page.rfind("ct", 0) == 0) {
        m.pageClass = PageClass::CircuitFolder;
        m.title = german ? u"Ordner für Schaltungsdateien" : u"Folder for circuit files";
        m.message = german ? u"Wo sollen Ihre eigenen Schaltungsdateien gespeichert werden?"
                           : u"Where are your own circuit files to be stored?";
        m.checkBoxText = german ? u"Standardordner für Schaltungsdateien verwenden" : u"Use the standard folder";
        m.standardFolder = u"C:\\users\\Public\\Documents\\Circuita 5";
        m.userFolderLabel = german ? u"Eigener Ordner für Schaltungsdateien:" : u"Your own folder for circuit files:";
        m.browseInstruction = german ? u"Ordner auswählen" : u"Choose a folder";
        m.folder = page == "ct-empty" ? u"" : u"D:\\Schaltungen\\Übungen";
        m.useStandardFolder = page != "ct-unchecked";
    }
}

// ---------------------------------------------------------------- text-fit measurement

struct Measured {
    std::set<std::wstring> clipped;  // "id:text"
    int clientWidth = 0, clientHeight = 0;
    LOGFONTW titleFont{};
};
Measured* g_measured = nullptr;

BOOL CALLBACK measureChild(HWND child, LPARAM) {
    if (!measureControl(child).fits)
        g_measured->clipped.insert(std::to_wstring(GetDlgCtrlID(child)) + L":" + windowText(child));
    return TRUE;
}

LRESULT CALLBACK watchPages(int code, WPARAM wp, LPARAM lp) {
    const auto* m = reinterpret_cast<const CWPRETSTRUCT*>(lp);
    if (code == HC_ACTION && g_measured && (m->message == WM_INITDIALOG || m->message == WM_DESTROY) &&
        GetDlgItem(m->hwnd, IDC_PAGE_TITLE) && !GetParent(m->hwnd)) {
        EnumChildWindows(m->hwnd, measureChild, 0);
        if (m->message == WM_INITDIALOG) {
            RECT r{};
            GetClientRect(m->hwnd, &r);
            g_measured->clientWidth = r.right;
            g_measured->clientHeight = r.bottom;
            const auto font = reinterpret_cast<HFONT>(SendDlgItemMessageW(m->hwnd, IDC_PAGE_TITLE, WM_GETFONT, 0, 0));
            GetObjectW(font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT), sizeof(LOGFONTW),
                       &g_measured->titleFont);
        }
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

// ---------------------------------------------------------------- JSON output

std::string report(const std::string& page, const std::string& word, const PageModel& m, const Measured& measured,
                   int helpCalls) {
    std::string clipped;
    for (const auto& c : measured.clipped) clipped += (clipped.empty() ? "" : ",") + jsonQuoted(c);
    const auto& p = m.placement;
    return "{\"page\":\"" + page + "\",\"result\":\"" + word +
           "\",\"selectedOption\":" + std::to_string(m.selectedOption) + ",\"folder\":" + jsonQuoted(toWide(m.folder)) +
           ",\"useStandardFolder\":" + (m.useStandardFolder ? "true" : "false") + ",\"placement\":[" +
           std::to_string(p.left) + "," + std::to_string(p.top) + "," + std::to_string(p.right) + "," +
           std::to_string(p.bottom) + "],\"client\":[" + std::to_string(measured.clientWidth) + "," +
           std::to_string(measured.clientHeight) + "],\"titleFont\":[" + std::to_string(measured.titleFont.lfHeight) +
           "," + std::to_string(measured.titleFont.lfWeight) + "],\"helpCalls\":" + std::to_string(helpCalls) +
           ",\"clipped\":[" + clipped + "]}";
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring outPath;
    bool german = false, help = true, helpThrows = false;
    std::vector<std::string> pages;
    for (int i = 1; i < argc; ++i) {
        const std::wstring a = argv[i];
        if (a == L"--out" && i + 1 < argc) outPath = argv[++i];
        else if (a == L"--lang" && i + 1 < argc) german = std::wstring(argv[++i]) == L"de";
        else if (a == L"--no-help") help = false;
        else if (a == L"--help-throws") helpThrows = true;  // the page's own code failing
        else pages.push_back(utf8(a));
    }
    if (pages.empty()) return 2;
    Win32Ui ui;
    const HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROCRET, watchPages, nullptr, GetCurrentThreadId());
    FILE* out = outPath.empty() ? nullptr : _wfopen(outPath.c_str(), L"wb");
    platform::ScreenRect last;
    for (const auto& page : pages) {
        PageModel model;
        fillPage(model, page, german);
        model.placement = last;
        model.helpVisible = help;
        int helpCalls = 0;
        model.onHelp = [&helpCalls, helpThrows] {
            ++helpCalls;
            if (helpThrows) throw std::runtime_error("help failed");
        };
        Measured measured;
        g_measured = &measured;
        std::string word;
        try {
            word = ui.showPage(model);
        } catch (const std::exception& e) {
            word = std::string("exception: ") + e.what();
        }
        g_measured = nullptr;
        last = model.placement;
        const std::string line = report(page, word, model, measured, helpCalls) + "\n";
        std::fputs(line.c_str(), stdout);
        if (out) {
            std::fputs(line.c_str(), out);
            std::fflush(out);
        }
    }
    if (out) std::fclose(out);
    UnhookWindowsHookEx(hook);
    return 0;
}
