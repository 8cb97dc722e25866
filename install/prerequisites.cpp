#include "install/prerequisites.h"

#include "install/progress_steps.h"
#include "install/progress_workers.h"
#include "platform/files.h"
#include "platform/queries.h"
#include "text/texts.h"

namespace {

// The temporary folder as Windows reports it, with its trailing backslash.
std::u16string temporaryFolder(RunContext& app) { return app.system().tempFolder() + u"\\"; }

struct Runtime {
    std::u16string extractedName;  // in the temporary folder
    const std::u16string* resourceId;
    std::u16string mediumPath;
    bool version40;
    std::u16string runtimeName;  // for the missing-runtime message
    bool (*installed)(platform::System&);
};

// A row about the 2.0 runtime, made to name the one at hand.
std::u16string runtimeText(const RunContext& app, TextRow row, bool version40) {
    const std::u16string text = productText(app, row);
    return version40 ? replaceAll(text, u"2.0 SP2", u"4.0") : text;
}

void showMissingRuntime(RunContext& app, const Runtime& runtime) {
    app.showMessage(runtimeText(app, TextRow::DotNet20Required, runtime.version40) + u"\n\n" +
                        replaceAll(app.text(TextRow::NoRuntimeFiles), u"ProductX", runtime.runtimeName),
                    platform::MessageKind::Warning);
}

RuntimeOutcome installRuntime(RunContext& app, const Runtime& runtime) {
    platform::System& system = app.system();
    std::u16string installer = temporaryFolder(app) + runtime.extractedName;
    bool extracted = false;
    if (!runtime.resourceId->empty() && ExtractResourceWithProgress(app, *runtime.resourceId, installer, true) == 0)
        extracted = true;
    if (!extracted) {
        // No embedded redistributable, or it could not be written: the medium's.
        installer = runtime.mediumPath;
        if (!fileExists(system, installer)) {
            showMissingRuntime(app, runtime);
            return RuntimeOutcome::Missing;
        }
    }
    const std::u16string quiet = u"/q";
    const platform::ProgressEnd end = app.progress().run(
        platform::WorkKind::RunProgram,
        {app.text(TextRow::DotNetFramework), runtimeText(app, TextRow::DotNet20Required, runtime.version40),
         runtimeText(app, TextRow::InstallingDotNet20, runtime.version40),
         productText(app, TextRow::InstallationMayTakeMinutes)},
        [&system, &installer, &quiet](platform::ProgressSink&) { runProgramWork(system, installer, &quiet, nullptr); });
    if (extracted) system.deleteFile(installer);
    if (end == platform::ProgressEnd::Cancelled) return RuntimeOutcome::Cancelled;
    if (end == platform::ProgressEnd::Back) return RuntimeOutcome::Back;
    if (runtime.installed(system)) return RuntimeOutcome::Installed;
    // An installer that ran and left no runtime behind: say so rather than install a
    // package that cannot start. A page left before Next ran nothing and says nothing.
    if (end == platform::ProgressEnd::Finished) showMissingRuntime(app, runtime);
    return RuntimeOutcome::Missing;
}

bool dotNet20Present(platform::System& system) { return dotNet20Installed(system, 2); }

}  // namespace

int PreparePackage(RunContext& app, std::u16string& packagePath) {
    if (app.offer.useExternalMsi) {
        packagePath = launcherFolder(app.system()) + u"\\Support\\MSI\\" + app.product.msiFileName;
        if (fileExists(app.system(), packagePath)) return 0;
        app.showMessage(u"Installation error.\nError code: 55");
        return -1;
    }
    packagePath = temporaryFolder(app) + app.product.msiFileName;
    if (ExtractResourceWithProgress(app, app.product.msiResourceName, packagePath, true) == -1) {
        app.showMessage(u"Installation error.\nError code: 68");
        return -1;
    }
    if (!fileExists(app.system(), packagePath)) {
        app.showMessage(u"Installation error.\nError code: 71");
        return -1;
    }
    return 0;
}

RuntimeOutcome InstallDotNet20(RunContext& app) {
    const std::u16string medium = launcherFolder(app.system()) + u"\\Support\\Dot_Net20\\" +
                                  (isWindows64(app.system()) ? u"NetFx20SP2_x64.exe" : u"NetFx20SP2_x86.exe");
    return installRuntime(app, {u"NetFx20SP2.exe", &app.product.dotNet20ResourceId, medium, false,
                                u".NET Framework 2.0", dotNet20Present});
}

RuntimeOutcome InstallDotNet40Client(RunContext& app) {
    const std::u16string medium =
        launcherFolder(app.system()) + u"\\Support\\Dot_Net40_Client\\dotNetFx40_Client_x86_x64.exe";
    return installRuntime(app, {u"dotNetFx40_Client_x86_x64.exe", &app.product.dotNet40ResourceId, medium, true,
                                u".NET Framework 4.0", dotNet40ClientInstalled});
}
