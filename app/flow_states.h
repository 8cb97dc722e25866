// The states the setup flow moves through, compared exactly. The flow alone moves between
// them; the command line and the presets only choose where a run starts.
#pragma once

#include <string>

namespace state {
// Page states.
inline const std::string kStart = "start";
inline const std::string kAlreadyInstalled = "Dialog: already installed notification";
inline const std::string kFullOrLink = "Dialog: full or link";
inline const std::string kServerFolder = "Dialog: server folder";
inline const std::string kAllUsers = "Dialog: all users";
inline const std::string kSetupFolder = "Dialog: setup folder";
inline const std::string kTargetFolder = "Dialog: target folder";
inline const std::string kApplicationFolder = "Dialog: application folder";
inline const std::string kVideos = "Dialog: videos";
inline const std::string kVideosDownload = "Dialog: ask for videos download";
inline const std::string kMaterialDownload = "Dialog: ask for didactic material download";
inline const std::string kPresentations = "Dialog: presentations";
inline const std::string kAutoMode = "Dialog: auto mode";
inline const std::string kPresetsSummary = "Dialog: create preconfig setup notification dialog";
// Action states.
inline const std::string kInstallApplication = "install application";
inline const std::string kLaunchMsi = "launch msi";
inline const std::string kCreateLink = "create link";
inline const std::string kCreateLinkSilently = "create link silently";
inline const std::string kRemoveAll = "remove all";
inline const std::string kCreatePreconfigSetup = "create preconfig setup";
inline const std::string kStartFromStick = "start from stick";
inline const std::string kFindUpdate = "find update";
inline const std::string kDotNetThenUpdate = "install dotnet first then download and start update";
inline const std::string kNoAdminNoDotNet = "no admin AND no dotnet for update";
inline const std::string kDownloadUpdate = "download and start update";
// Named by the command line ("INSTALLMODE=Minimal" without "/q"); no step handles it, so
// the flow starts over at "start".
inline const std::string kAskForLinkDirectory = "ask for link directory";
// Ends the flow wherever it stands.
inline const std::string kCancel = "cancel";
}  // namespace state
