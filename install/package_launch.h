// The installer runs on the application's package: the first installation, the repair,
// the in-place update before added features, the removal, and the three technology
// packages of the portable edition. msiexec always comes from the system folder.
#pragma once

#include <cstdint>
#include <string>

#include "config/run_context.h"

// What msiexec answers when it could not even be started (ERROR_INSTALL_SERVICE_FAILURE).
constexpr std::uint32_t kInstallerNotStarted = 1601;
// What a run reports when it installed nothing after a failure (ERROR_INSTALL_FAILURE).
constexpr std::uint32_t kInstallFailure = 1603;

// 0, and the two codes that mean success with a restart needed (3010) or started (1641).
bool installerSucceeded(std::uint32_t exitCode);

// Runs msiexec with the arguments and waits for it; its exit code.
std::uint32_t runInstaller(RunContext& app, const std::u16string& arguments);

// -1 when the package could not be prepared or the in-place update failed, 0 otherwise;
// exitCode is that of the last installer run, 0 when none ran.
int LaunchPackage(RunContext& app, std::uint32_t& exitCode);
// -1 when one of the three packages is missing (after its message).
int LaunchTechnologyPackages(RunContext& app, std::uint32_t& exitCode);
// Uninstalls the product when it is installed, with the UI option in front of "/x": the
// removal's exit code, 0 when the product was not installed.
std::uint32_t RemovePreviousVersion(RunContext& app, const std::u16string& uiOption);
