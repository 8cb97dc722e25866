// What a download reports to the page that started it.
#pragma once

enum DownloadResult : int {
    kDownloadDone = 0,
    kDownloadCancelled = -1,
    kDownloadLocalFileProblem = -2,  // the target file cannot be written
    kDownloadTransferProblem = -3,   // the server or the connection failed
};
