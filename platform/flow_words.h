// The setup flow's vocabulary, named once: the result words a page leaves behind (the
// page seam returns them) and the states the flow moves through (compared exactly).
#pragma once

#include <string>

namespace word {
inline const std::string kNext = "next";
inline const std::string kBack = "back";
inline const std::string kCancel = "cancel";
inline const std::string kButton1 = "button1";
inline const std::string kButton2 = "button2";
inline const std::string kButton4 = "button4";
inline const std::string kOption1 = "option1";
inline const std::string kOption2 = "option2";
}  // namespace word

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
// "cancel" ends the flow wherever it stands.
inline const std::string& kCancel = word::kCancel;
}  // namespace state
