#include "ui/download_figures.h"

#include <cstdio>

namespace {

std::u16string ascii(const char* text) { return std::u16string(text, text + std::char_traits<char>::length(text)); }

}  // namespace

DownloadFigures downloadFigures(const platform::WorkerState& state) {
    DownloadFigures figures;
    if (state.bytesTotal > 0) {
        const double percent = static_cast<double>(state.bytesDone) * 100.0 / static_cast<double>(state.bytesTotal);
        figures.barPosition = static_cast<int>(percent);
    }
    constexpr std::int64_t kMegabyte = 1024 * 1024;
    char text[96];
    // The counts are 64-bit; "%ld" takes a long, 32-bit on Windows: cast each value.
    std::snprintf(text, sizeof text, "%5ld MB / %5ld MB", static_cast<long>(state.bytesDone / kMegabyte),
                  static_cast<long>(state.bytesTotal / kMegabyte));
    figures.size = ascii(text);
    if (state.elapsedSeconds > 1) {
        const long elapsed = state.elapsedSeconds, remaining = state.remainingSeconds;
        std::snprintf(text, sizeof text, "%2ld m %02ld s / %2ld m %02ld s", elapsed / 60, elapsed % 60, remaining / 60,
                      remaining % 60);
        figures.time = ascii(text);
        const double rate = static_cast<double>(state.bytesDone / state.elapsedSeconds) * (1.0 / 1024.0);
        std::snprintf(text, sizeof text, "%0.1lf KB/s", rate);
        figures.rate = ascii(text);
    }
    return figures;
}
