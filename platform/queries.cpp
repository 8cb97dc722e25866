#include "platform/queries.h"

#include "platform/strings.h"

bool isWindows64(platform::System& system) {
    const std::u16string key = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    std::u16string value;
    return system.regReadString(platform::RegRoot::LocalMachine, key, u"ProgramFilesDir", value,
                                10000) == platform::kRegOk &&
           system.regReadString(platform::RegRoot::LocalMachine, key, u"ProgramFilesDir (x86)",
                                value, 10000) == platform::kRegOk;
}

std::u16string launcherFolder(platform::System& system) {
    return folderOfPath(system.launcherPath());
}
