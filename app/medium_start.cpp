#include "app/medium_start.h"

#include "platform/files.h"

void startFromMedium(RunContext& app) {
    platform::System& system = app.system();
    const std::u16string& parameter = app.product.appParameter[app.choices.languageIndex];
    std::u16string commandLine = u"\"" + app.offer.stickAppPath + u"\"";
    if (!parameter.empty()) commandLine += u" PROGLANG=\"" + parameter + u"\"";
    // A launcher at the root of a stick: "E:" alone would mean drive E's current folder.
    std::u16string folder = launcherFolder(system);
    if (!folder.empty() && folder.back() == u':') folder += u'\\';
    system.startProcess(commandLine, folder);
}
