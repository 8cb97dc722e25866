#include "ui/download_figures.h"

#include <cstdint>

// The figures are spelt by hand instead of with snprintf: the C library's formatter (with
// its floating-point conversion) would be one of setup.exe's largest parts for three
// short lines. Each helper writes what its printf conversion wrote before.
namespace {

std::u16string ascii(const std::string& text) { return std::u16string(text.begin(), text.end()); }

// printf's "%<width>ld" (fill ' ') and "%0<width>ld" (fill '0': zeros after the sign).
std::string padded(long value, std::size_t width, char fill) {
    std::string digits = std::to_string(value);
    if (digits.size() >= width) return digits;
    const std::size_t signLength = fill == '0' && value < 0 ? 1 : 0;
    digits.insert(signLength, width - digits.size(), fill);
    return digits;
}

// printf's "%0.1lf" of bytes / 1024, which is exact in a double: one decimal, a tie
// rounded to the even digit, a negative value keeps its sign even when it shows 0.0.
std::string kilobytesWithOneDecimal(double bytes) {
    const bool negative = bytes < 0;
    // The double holds an integer below 2^64, so this is its exact value.
    const auto magnitude = static_cast<std::uint64_t>(negative ? -bytes : bytes);
    std::uint64_t whole = magnitude >> 10;
    const std::uint64_t scaled = (magnitude & 1023) * 10;  // tenths, in 1024ths
    std::uint64_t tenth = scaled >> 10;
    const std::uint64_t rest = scaled & 1023;
    if (rest > 512 || (rest == 512 && (tenth & 1) != 0)) ++tenth;
    if (tenth == 10) {
        ++whole;
        tenth = 0;
    }
    return (negative ? "-" : "") + std::to_string(whole) + "." + static_cast<char>('0' + tenth);
}

}  // namespace

DownloadFigures downloadFigures(const platform::WorkerState& state) {
    DownloadFigures figures;
    if (state.bytesTotal > 0) {
        const double percent = static_cast<double>(state.bytesDone) * 100.0 / static_cast<double>(state.bytesTotal);
        figures.barPosition = static_cast<int>(percent);
    }
    constexpr std::int64_t kMegabyte = 1024 * 1024;
    // The counts are 64-bit; the figures show a long, 32-bit on Windows: cast each value.
    figures.size = ascii(padded(static_cast<long>(state.bytesDone / kMegabyte), 5, ' ') + " MB / " +
                         padded(static_cast<long>(state.bytesTotal / kMegabyte), 5, ' ') + " MB");
    if (state.elapsedSeconds > 1) {
        const long elapsed = state.elapsedSeconds, remaining = state.remainingSeconds;
        figures.time = ascii(padded(elapsed / 60, 2, ' ') + " m " + padded(elapsed % 60, 2, '0') + " s / " +
                             padded(remaining / 60, 2, ' ') + " m " + padded(remaining % 60, 2, '0') + " s");
        figures.rate =
            ascii(kilobytesWithOneDecimal(static_cast<double>(state.bytesDone / state.elapsedSeconds)) + " KB/s");
    }
    return figures;
}
