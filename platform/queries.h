// Questions about Windows, its runtimes and installed products, answered from the
// platform's registry, version and installer primitives.
#pragma once

#include <string>

#include "platform/platform.h"

// 64-bit Windows keeps a second program-files value for 32-bit programs; a 64-bit
// process needs no registry to know.
bool isWindows64(platform::System& system);

// The .NET Framework 2.0 is registered (with service pack 2 when sp > 0) and its loader
// mscoree.dll has a major version of 2 or more.
bool dotNet20Installed(platform::System& system, int servicePack);
// The .NET Framework 4.0 Client Profile is registered and mscoree.dll has version 4 or more.
bool dotNet40ClientInstalled(platform::System& system);

// Registered for uninstallation and not reported absent by the Windows Installer.
bool IsProductInstalled(platform::System& system, const std::u16string& productGuid);
bool IsFeatureInstalledLocally(platform::System& system, const std::u16string& productGuid,
                               const std::u16string& feature);
// The installed main program file (the component) has exactly the launcher's own version.
bool IsInstalledVersionCurrent(platform::System& system, const std::u16string& productGuid,
                               const std::u16string& componentGuid);
