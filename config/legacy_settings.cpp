#include "config/legacy_settings.h"

#include "platform/files.h"
#include "platform/folder_names.h"
#include "platform/queries.h"
#include "platform/strings.h"
#include "text/languages.h"

namespace {

constexpr std::size_t kValueBuffer = 9999;

// One-character values are placeholders the old installer wrote, not folders. The files
// lie in folders any user can write, so a folder value must be a folder name.
void takeValue(RunContext& app, platform::System& system, const std::u16string& file, const char16_t* key,
               std::u16string& field, bool isFolder = true) {
    const std::u16string value = system.readIniString(file, app.product.productIdentifier, key, u"", kValueBuffer);
    if (value.size() >= 2 && (!isFolder || acceptableFolderName(value))) field = value;
}

void readLegacyRecord(RunContext& app, platform::System& system, const std::u16string& file) {
    takeValue(app, system, file, u"EXE_DIR", app.offer.legacyExeDir);
    takeValue(app, system, file, u"INST_DIR_LFN", app.offer.legacyInstDirLfn);
    takeValue(app, system, file, u"INST_NDIR_LFN", app.offer.legacyInstNdirLfn);
    takeValue(app, system, file, u"INST_NDIR", app.offer.legacyInstNdir);
    takeValue(app, system, file, u"INST_DIR", app.offer.legacyInstDir);
    takeValue(app, system, file, u"Version", app.offer.legacyVersion, false);
}

}  // namespace

void readLegacyIni(RunContext& app, platform::System& system) {
    if (IsProductInstalled(system, app.product.productGuid)) return;
    if (app.product.productIdentifier.empty()) return;

    const std::u16string appData = removeTrailingBackslash(system.appDataFolder());
    if (!appData.empty()) {
        const std::u16string perUser = appData + u"\\" + app.product.productIdentifier + u"\\misc\\tarvo.ini";
        if (fileExists(system, perUser)) {
            const std::u16string circuitDir =
                system.readIniString(perUser, app.product.productIdentifier, u"CT_DIR", u"", kValueBuffer);
            if (acceptableFolderName(circuitDir)) app.offer.legacyCircuitDir = circuitDir;
        }
    }

    // A bare name: the INI reader looks in the Windows folder.
    readLegacyRecord(app, system, u"tarvo.ini");

    // Windows keeps the copy that a program without administrator rights wrote to its own
    // folder here, and that copy is the one such a program read back.
    const std::u16string localAppData = removeTrailingBackslash(system.localAppDataFolder());
    if (!localAppData.empty()) {
        const std::u16string redirected = localAppData + u"\\VirtualStore\\Windows\\tarvo.ini";
        if (fileExists(system, redirected)) readLegacyRecord(app, system, redirected);
    }
}

int checkOlderInstallation(RunContext& state, platform::System& system, const std::u16string& folder) {
    if (!state.offer.isPelaxo4) return -2;
    std::u16string path = system.longPathName(folder);
    if (!path.empty() && path.back() == u'\\') path.pop_back();
    // The older generation's language files, by language index (German, English,
    // Spanish; French, Italian and Czech share one).
    static const char16_t* const kLanguageFiles[kLanguageCount] = {u"lang049.bin", u"lang001.bin", u"lang034.bin",
                                                                   u"lang033.bin", u"lang033.bin", u"lang033.bin"};
    const int language = state.choices.languageIndex >= 0 && state.choices.languageIndex < kLanguageCount
                             ? state.choices.languageIndex
                             : 3;
    const char16_t* languageFile = kLanguageFiles[language];
    const std::u16string required[] = {state.product.startApplicationOnStick, u"ad_dsd.dll", languageFile,
                                       u"ad_cmn.dll", u"InitLang.dll"};
    // The update replaces this library of the older generation; a copy left behind goes.
    if (fileExists(system, path + u"\\ad_cmnw.dll")) system.deleteFile(path + u"\\ad_cmnw.dll");
    for (const std::u16string& name : required) {
        if (!fileExists(system, path + u"\\" + name)) return -2;
    }
    std::vector<std::u16string> shortcuts;
    bool allUsers = true;
    readInstallLog(system, path + u"\\install.log", allUsers, shortcuts);
    state.offer.legacyAllUsers = allUsers;
    return 0;
}
