#include "app/individual_setup.h"

#include <optional>
#include <vector>

#include "config/presets.h"
#include "install/progress_steps.h"
#include "platform/files.h"
#include "platform/folder_names.h"
#include "platform/processes.h"
#include "platform/strings.h"

namespace {

constexpr std::uint32_t kCopyLimitMs = 60000;
constexpr std::uint64_t kBytesPerEntry = 65536;
constexpr std::uint64_t kReserveBytes = 1000000;
// The file names the splitting of a path accepts, as _wsplitpath_s does with its buffers.
constexpr std::size_t kMaxPath = 260;
constexpr std::size_t kMaxNamePart = 255;

const std::u16string kPresetsNotWritten = u"Installation error.\nError code: 60";
const std::u16string kPresetsMissing = u"Installation error.\nError code: 69";
const std::u16string kRuntimeNameUnsplit = u"Installation error.\nError code: 70";
const std::u16string kSupportNameUnsplit = u"Installation error.\nError code: 61";

struct SupportFolder {
    const char16_t* name;  // below "\Support" on both sides
    bool runtimeOnly;      // copied only when the runtime is needed
    const std::u16string* unsplitMessage;
};

// The same folder, or one below it, whatever the letter case and trailing backslash.
bool inside(const std::u16string& folder, const std::u16string& base) {
    const std::u16string a = removeTrailingBackslash(folder), b = removeTrailingBackslash(base);
    if (b.empty()) return false;
    if (a.size() < b.size() || !equalsIgnoringAsciiCase(std::u16string_view(a).substr(0, b.size()), b)) return false;
    return a.size() == b.size() || a[b.size()] == u'\\';
}

// Name and extension as the copy needs them; false where the path is too long to split.
bool splitName(const std::u16string& path, std::u16string& nameAndExtension) {
    nameAndExtension = fileNameOfPath(path);
    const std::size_t dot = nameAndExtension.rfind(u'.');
    const std::size_t nameLength = dot == std::u16string::npos ? nameAndExtension.size() : dot;
    return !nameAndExtension.empty() && path.size() < kMaxPath && nameLength <= kMaxNamePart &&
           nameAndExtension.size() - nameLength <= kMaxNamePart;
}

// The copy would overwrite the launcher that runs, or write into the folders it reads.
bool overlapsMedium(platform::System& system, const std::u16string& target, const std::u16string& medium) {
    if (medium.empty()) return false;
    const std::u16string folder = system.longPathName(target);
    const std::u16string launcher = system.longPathName(medium);
    return equalsIgnoringAsciiCase(removeTrailingBackslash(folder), removeTrailingBackslash(launcher)) ||
           inside(folder, removeTrailingBackslash(launcher) + u"\\Support");
}

}  // namespace

int createIndividualSetup(RunContext& app) {
    platform::System& system = app.system();
    const std::u16string medium = launcherFolder(system);
    // A relative name or ".." would slip past the comparison with the medium.
    if (!acceptableFolderName(app.choices.individualSetupFolder)) return kIndividualSetupOnMedium;
    const std::u16string target = removeTrailingBackslash(resolvedFolder(app.choices.individualSetupFolder));
    if (overlapsMedium(system, target, medium)) return kIndividualSetupOnMedium;

    const std::u16string presets = system.tempFolder() + u"\\setup.ini";
    if (!writePresetsFile(system, presets, app.choices.setupIniText)) {
        app.showMessage(kPresetsNotWritten);
        return -1;
    }
    app.choices.targetProgramFolder = removeTrailingBackslash(app.choices.targetProgramFolder);
    app.choices.individualSetupFolder = target;
    const std::optional<std::uint64_t> freeBytes = system.freeDiskBytes(target + u"\\");

    // An earlier attempt's presets must not pass for this one's.
    const std::u16string copiedPresets = target + u"\\setup.ini";
    if (fileExists(system, copiedPresets)) {
        clearReadOnly(system, copiedPresets);
        if (!system.deleteFile(copiedPresets)) {
            app.showMessage(kPresetsMissing);
            return -2;
        }
    }
    // xcopy runs without the command interpreter: a folder name is never read as a command.
    const std::u16string xcopy = systemTool(system, u"xcopy.exe");
    runDirect(system, xcopy, u"\"" + presets + u"\" \"" + target + u"\\\" /H /R /Y", kCopyLimitMs);
    if (!fileExists(system, copiedPresets)) {
        app.showMessage(kPresetsMissing);
        return -2;
    }

    std::vector<std::u16string> sources, destinations;
    std::uint64_t totalBytes = 0;
    const SupportFolder folders[] = {{u"Dot_Net20", true, &kRuntimeNameUnsplit},
                                     {u"MSI", false, &kSupportNameUnsplit},
                                     {u"Portavo", false, &kSupportNameUnsplit}};
    for (const SupportFolder& folder : folders) {
        if (folder.runtimeOnly && !app.product.needsDotNet20) continue;
        const std::u16string source = medium + u"\\Support\\" + folder.name;
        const std::u16string destination = target + u"\\Support\\" + folder.name + u"\\";
        // The folder tree without files; the folder itself even when it has no sub-folders.
        runDirect(system, xcopy, u"\"" + source + u"\\*.*\" \"" + destination + u"\" /T /Y", kCopyLimitMs);
        if (pathExists(system, source)) {
            system.createFolder(target + u"\\Support");
            system.createFolder(removeTrailingBackslash(destination));
        }
        std::uint64_t folderBytes = 0;
        for (const std::u16string& file : listFiles(system, source, u"*.*", folderBytes)) {
            std::u16string name;
            if (!splitName(file, name)) {
                app.showMessage(*folder.unsplitMessage);
                return -3;
            }
            sources.push_back(file);
            destinations.push_back(destination + name);
        }
        totalBytes += folderBytes;
    }
    sources.push_back(system.launcherPath());
    destinations.push_back(target + u"\\setup.exe");
    const std::u16string& helpFile = app.product.helpFile[app.choices.languageIndex];
    if (!helpFile.empty() && fileExists(system, medium + u"\\" + helpFile)) {
        sources.push_back(medium + u"\\" + helpFile);
        destinations.push_back(target + u"\\" + helpFile);
    }

    const std::uint64_t required = destinations.size() * kBytesPerEntry + totalBytes + kReserveBytes;
    if (freeBytes && *freeBytes < required) return -4;
    // A copy that stopped part-way is no Individual Setup: the flow must not report one.
    return copyFilesWithProgress(app, totalBytes, sources, destinations) == 0 ? 0 : kIndividualSetupCopyFailed;
}
