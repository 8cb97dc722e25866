#include "download/content_download.h"

#include "platform/download_result.h"

// The transfer is not built yet: report that nothing could be transferred, so the page
// says so and the user is back on the question.
int downloadVideos(RunContext&) { return kDownloadTransferProblem; }
int downloadMaterial(RunContext&) { return kDownloadTransferProblem; }
