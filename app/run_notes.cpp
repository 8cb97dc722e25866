#include "app/run_notes.h"

#include "config/settings_reader.h"
#include "platform/queries.h"
#include "platform/run_log.h"
#include "platform/strings.h"
#include "platform/version.h"

namespace {

std::string twoDigits(int value) { return (value < 10 ? "0" : "") + std::to_string(value); }

std::string hex4(int value) {
    static const char kDigits[] = "0123456789abcdef";
    std::string out = "0x";
    for (int shift = 12; shift >= 0; shift -= 4) out += kDigits[(value >> shift) & 0xF];
    return out;
}

std::string languageName(int index) {
    return index >= 0 && index < kLanguageCount ? languageIndexToCode(index) : "none";
}

const char* resultWord(PageResult result) {
    switch (result) {
    case PageResult::None: return "none (Escape)";
    case PageResult::Next: return "Next";
    case PageResult::Back: return "Back";
    case PageResult::Cancel: return "Cancel";
    case PageResult::Button1: return "button 1";
    case PageResult::Button2: return "button 2";
    case PageResult::Button4: return "button 4";
    case PageResult::Option1: return "option 1";
    case PageResult::Option2: return "option 2";
    }
    return "?";
}

const char* routeWord(StepResult::Route route) {
    switch (route) {
    case StepResult::Route::ByAnswer: return "";
    case StepResult::Route::Skip: return ", page not needed";
    case StepResult::Route::Jump: return ", the step jumps ahead";
    case StepResult::Route::Again: return ", the same page again";
    case StepResult::Route::BackToQuestion: return ", back to the question";
    }
    return "";
}

}  // namespace

void noteStart(RunContext& run) {
    platform::System& system = run.system();
    std::u16string version;
    system.readVersionString(system.launcherPath(), u"FileVersion", version);
    system.logLine(u"launcher: " + system.launcherPath() + u", version " + (version.empty() ? u"unknown" : version) +
                   (system.is64BitProcess() ? u", 64-bit build" : u", 32-bit build"));
    const int os = system.osVersionNumber();
    system.logLine("Windows " + std::to_string(os / 10) + "." + std::to_string(os % 10) +
                   (isWindows64(system) ? ", 64-bit" : ", 32-bit") +
                   (system.isAdministrator() ? ", run as administrator" : ", run without administrator rights"));
    system.logLine(u"command line: " + system.commandLine());
}

void noteSettings(RunContext& run, int result) {
    if (result == kSettingsOk) {
        run.system().logLine(u"settings document: read (0), product " + run.product.productName);
        return;
    }
    run.system().logLine("settings document: refused, error code " + std::to_string(-result) + " (" +
                         settingsResultText(result) + ")");
}

void noteStartLanguage(RunContext& run, int documentLanguage, int systemLcid) {
    const int chosen = run.choices.languageIndex;
    std::string why;
    if (chosen >= 0 && kLanguageLcids[chosen] == systemLcid) why = "the system's user-interface language";
    else if (chosen == kEnglish && documentLanguage != kEnglish)
        why = "English, since the system's user-interface language (" + hex4(systemLcid) + ") is not offered";
    else why = "the settings document's first language; the system's (" + hex4(systemLcid) + ") is not offered";
    run.system().logLine("language: " + languageName(chosen) + ", " + why);
}

void noteState(RunContext& run, const std::string& state) { run.system().logLine("state: " + state); }

void notePage(RunContext& run, const std::string& state, const StepResult& result, int languageBefore) {
    run.system().logLine("page " + state + ": " + resultWord(result.answer()) + routeWord(result.route()));
    if (run.choices.languageIndex != languageBefore)
        run.system().logLine("language: " + languageName(run.choices.languageIndex) + ", chosen on the page");
}

void noteEnd(RunContext& run, int exitCode) {
    run.system().logLine("run ended: installer exit code " + std::to_string(run.record.installerExitCode) +
                         ", process exit code " + std::to_string(exitCode));
}

std::u16string runLogPath(RunContext& run, const std::u16string& name, const platform::LocalTime& start) {
    const std::string stamp = std::to_string(start.year) + twoDigits(start.month) + twoDigits(start.day) + "-" +
                              twoDigits(start.hour) + twoDigits(start.minute) + twoDigits(start.second);
    platform::System& system = run.system();
    const std::u16string temporary = system.tempFolder();
    const std::u16string full = system.longPathName(temporary);
    return (full.empty() ? temporary : full) + u"\\" + platform::logNamePart(name) + u"-" + utf8ToWide(stamp) + u".log";
}
