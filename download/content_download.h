// The optional content fetched over HTTP: the videos cabinet as one file, the teaching
// material in verified segments. Results as platform/download_result.h.
#pragma once

#include "config/run_context.h"

int downloadVideos(RunContext& app);
int downloadMaterial(RunContext& app);
