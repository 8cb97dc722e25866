// The downloads behind the progress page: one file, or files in verified segments, and the
// optional content that uses them (the videos cabinet as one file, the teaching material
// in segments). Results as platform/download_result.h; the callers report them.
#pragma once

#include <string>
#include <vector>

#include "config/run_context.h"

// How the launcher's downloads name themselves to the server.
inline constexpr const char* kDownloadAgentName = "QendraSetup";

// Shows the page of the download kind with the three texts, runs the transfer behind it and
// returns its result once the page has closed.
int DownloadFile(RunContext& app, const std::string& agent, const std::u16string& url, const std::u16string& target,
                 const std::u16string& title, const std::u16string& message, const std::u16string& progressTitle);
int DownloadSegmentedFiles(RunContext& app, const std::string& agent, const std::u16string& baseUrl,
                           const std::vector<std::u16string>& files, const std::u16string& targetFolder,
                           const std::u16string& title, const std::u16string& message,
                           const std::u16string& progressTitle);

int downloadVideos(RunContext& app);
int downloadMaterial(RunContext& app);
