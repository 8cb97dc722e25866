#include "platform/queries.h"

#include "platform/strings.h"
#include "platform/version.h"

namespace {

using platform::RegRoot;

bool installFlagSet(platform::System& system, const std::u16string& key) {
    std::uint32_t install = 0;
    return system.regReadDword(RegRoot::LocalMachine, key, u"Install", install) == platform::kRegOk && install == 1;
}

// The runtime loader in the places Windows versions keep it.
bool loaderVersionAtLeast(platform::System& system, std::uint32_t major) {
    const std::u16string windows = removeTrailingBackslash(system.windowsFolder());
    const std::u16string candidates[] = {removeTrailingBackslash(system.systemFolder()) + u"\\mscoree.dll",
                                         windows + u"\\mscoree.dll", windows + u"\\system\\mscoree.dll"};
    for (const std::u16string& path : candidates) {
        Version v{};
        if (getFileVersion(system, path, u"FileVersion", v) && v[0] >= major) return true;
    }
    return false;
}

}  // namespace

bool isWindows64(platform::System& system) {
    if (system.is64BitProcess()) return true;
    const std::u16string key = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    std::u16string value;
    return system.regReadString(RegRoot::LocalMachine, key, u"ProgramFilesDir", value, 10000) == platform::kRegOk &&
           system.regReadString(RegRoot::LocalMachine, key, u"ProgramFilesDir (x86)", value, 10000) == platform::kRegOk;
}

bool dotNet20Installed(platform::System& system, int servicePack) {
    const std::u16string key = u"SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v2.0.50727";
    if (!installFlagSet(system, key)) return false;
    if (servicePack > 0) {
        std::uint32_t sp = 0;
        // Any service pack asked for means service pack 2.
        if (system.regReadDword(RegRoot::LocalMachine, key, u"SP", sp) != platform::kRegOk || sp < 2) return false;
    }
    return loaderVersionAtLeast(system, 2);
}

bool dotNet40ClientInstalled(platform::System& system) {
    return installFlagSet(system, u"SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v4\\Client") &&
           loaderVersionAtLeast(system, 4);
}

bool IsProductInstalled(platform::System& system, const std::u16string& productGuid) {
    std::uint32_t version = 0;
    if (system.regReadDword(RegRoot::LocalMachine,
                            u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + productGuid, u"Version",
                            version) != platform::kRegOk)
        return false;
    return system.msiProductState(productGuid) != platform::kInstallStateAbsent;
}

bool IsFeatureInstalledLocally(platform::System& system, const std::u16string& productGuid,
                               const std::u16string& feature) {
    return system.msiFeatureState(productGuid, feature) == platform::kInstallStateLocal;
}

bool IsInstalledVersionCurrent(platform::System& system, const std::u16string& productGuid,
                               const std::u16string& componentGuid) {
    if (componentGuid.empty()) return false;
    std::u16string installed;
    if (system.msiComponentPath(productGuid, componentGuid, installed) != platform::kInstallStateLocal) return false;
    Version installedVersion{}, ownVersion{};
    return getFileVersion(system, installed, u"FileVersion", installedVersion) &&
           getFileVersion(system, system.launcherPath(), u"FileVersion", ownVersion) && installedVersion == ownVersion;
}
