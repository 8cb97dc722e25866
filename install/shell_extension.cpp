#include "install/shell_extension.h"

#include <memory>

#include "platform/files.h"
#include "platform/processes.h"
#include "platform/queries.h"
#include "platform/version.h"
#include "text/texts.h"

namespace {

constexpr std::uint32_t kToolLimitMs = 60000;
const std::u16string kNoProgramFiles = u"Installation error.\nError code: 37";

// A resource the launcher may carry; a launcher packed without it has none.
platform::ResourceView carried(platform::System& system, const std::u16string& name) {
    int error = platform::kResourceOk;
    const platform::ResourceView view = system.customResourceView(name, error);
    return error == platform::kResourceOk && view.data ? view : platform::ResourceView{};
}

bool writeBytes(platform::System& system, const std::u16string& path, const platform::ResourceView& bytes) {
    std::unique_ptr<platform::File> file = system.openFile(path, platform::FileOpen::Replace);
    if (!file) return false;
    const bool written = file->write(bytes.data, bytes.size);
    return file->close() && written;
}

// Writes the carried file over one that is missing or smaller: false only when it had
// to be written and could not be.
bool replaceWhenSmaller(platform::System& system, const std::u16string& path, const std::u16string& resource) {
    const long long size = system.fileSize(path);
    const platform::ResourceView bytes = carried(system, resource);
    if (!bytes.data || static_cast<unsigned long long>(size < 0 ? 0 : size) >= bytes.size) return true;
    return writeBytes(system, path, bytes);
}

Version fileVersion(platform::System& system, const std::u16string& path) {
    Version version{0, 0, 0, 0};
    if (!getFileVersion(system, path, u"FileVersion", version)) version = {0, 0, 0, 0};
    return version;
}

// The handler is replaced only by a newer version. Explorer keeps a loaded handler
// locked; restarting it releases the file.
bool replaceHandlerWhenNewer(platform::System& system, const std::u16string& folder) {
    const std::u16string installed = folder + u"\\MVThumbEx.dll";
    const platform::ResourceView bytes = carried(system, u"MVTHUMBEX");
    Version embedded{0, 0, 0, 0};
    if (bytes.data) {
        const std::u16string probe = system.tempFolder() + u"\\MVThumbEx.dll";
        if (!writeBytes(system, probe, bytes)) return false;
        embedded = fileVersion(system, probe);
        system.deleteFile(probe);
    }
    if (!versionLess(fileVersion(system, installed), embedded)) return true;
    if (system.fileSize(installed) > 0 && !system.deleteFile(installed))
        runDirect(system, u"\"" + folder + u"\\RestartExplorer.exe\"", u"", kToolLimitMs, folder);
    return !bytes.data || writeBytes(system, installed, bytes);
}

}  // namespace

void InstallShellExtension(RunContext& app) {
    if (!app.product.installThumbnailExtension || !app.system().isAdministrator()) return;
    const std::u16string installing =
        replaceAll(app.text(TextRow::InstallingProduct), u"ProductX", app.product.productName);
    app.progress().run(
        platform::WorkKind::RegisterShellExtension,
        // The start page's install caption as the title, without its Alt letter.
        {replaceAll(withoutMnemonic(app.text(TextRow::InstallProductTitle)), u"ProductX", app.product.productName),
         installing, installing, u""},
        [&app](platform::ProgressSink&) { registerShellExtensionWork(app); });
}

void registerShellExtensionWork(RunContext& app) {
    platform::System& system = app.system();
    const bool windows64 = isWindows64(system);
    const std::u16string programFiles = system.programFilesFolder(windows64);
    if (programFiles.empty()) {
        app.showMessage(kNoProgramFiles);
        return;
    }
    const std::u16string folder = programFiles + u"\\Marventa\\Common";
    system.createFolder(programFiles + u"\\Marventa");
    system.createFolder(folder);

    const std::u16string tool = windows64 ? u"RegisterExtensionDotNet20x64.exe" : u"RegisterExtensionDotNet20x32.exe";
    const bool written =
        replaceWhenSmaller(system, folder + u"\\RestartExplorer.exe", u"RESTARTEXPLORER") &&
        replaceHandlerWhenNewer(system, folder) &&
        replaceWhenSmaller(system, folder + u"\\LogicNP.EZShellExtensions.dll", u"LOGICNP") &&
        replaceWhenSmaller(system, folder + u"\\" + tool,
                           windows64 ? u"REGISTEREXTENSIONDOTNET20X64" : u"REGISTEREXTENSIONDOTNET20X32");
    if (!written) return;
    // The tool names its files without a folder: it must run where they are, or it would
    // register nothing, or a copy planted beside the launcher.
    runDirect(system, u"\"" + folder + u"\\" + tool + u"\"",
              windows64 ? u"-i MVThumbEx.dll LogicNP.EZShellExtensions.dll" : u"-i MVThumbEx.dll", kToolLimitMs,
              folder);
    system.deleteFile(folder + u"\\RestartExplorer.exe");

    const std::u16string documentType = u"Marventa.Document";
    const std::u16string typeName = app.choices.languageIndex == 0 ? u"Schaltkreis" : u"Circuit Diagram";
    system.regWriteString(platform::RegRoot::ClassesRoot, u".circ", u"", &documentType);
    system.regWriteString(platform::RegRoot::ClassesRoot, documentType, u"", &typeName);
    system.regWriteDword(platform::RegRoot::ClassesRoot, documentType, u"EditFlags", 0);
}
