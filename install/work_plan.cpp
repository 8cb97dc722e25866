#include "install/work_plan.h"

#include <algorithm>

#include "platform/strings.h"

namespace work {

namespace {

constexpr std::uint64_t kExtractionSlack = 65536;
constexpr std::uint64_t kPieces = 100;

// Backslashes only, no long-path prefix, no empty, "." or ".." segments.
std::u16string comparablePath(const std::u16string& path) {
    std::u16string text = path;
    std::replace(text.begin(), text.end(), u'/', u'\\');
    bool unc = false;
    if (text.rfind(u"\\\\?\\UNC\\", 0) == 0) {
        text = text.substr(8);
        unc = true;
    } else if (text.rfind(u"\\\\?\\", 0) == 0) {
        text = text.substr(4);
    } else if (text.rfind(u"\\\\", 0) == 0) {
        text = text.substr(2);
        unc = true;
    }
    std::vector<std::u16string> segments;
    std::size_t at = 0;
    while (at <= text.size()) {
        const std::size_t end = std::min(text.find(u'\\', at), text.size());
        const std::u16string segment = text.substr(at, end - at);
        if (segment == u"..") {
            if (segments.size() > 1) segments.pop_back();  // never above the drive or share
        } else if (!segment.empty() && segment != u".") {
            segments.push_back(segment);
        }
        at = end + 1;
    }
    std::u16string out = unc ? u"\\\\" : u"";
    for (std::size_t i = 0; i < segments.size(); ++i) out += (i ? u"\\" : u"") + segments[i];
    return out;
}

}  // namespace

std::vector<ExtractionPiece> extractionPieces(std::uint64_t size) {
    if (size <= kPieces) return {{size, -1}};
    std::vector<ExtractionPiece> pieces;
    pieces.reserve(kPieces + 1);
    for (std::uint64_t i = 0; i < kPieces; ++i) pieces.push_back({size / kPieces, static_cast<int>(i)});
    if (size % kPieces != 0) pieces.push_back({size % kPieces, -1});
    return pieces;
}

int copyPercent(std::uint64_t copied, std::uint64_t total) {
    if (total == 0) return 0;
    if (copied >= total) return 100;
    // long double holds 64-bit counts exactly enough for a truncated percent.
    return static_cast<int>(static_cast<long double>(copied) * 100 / static_cast<long double>(total));
}

bool extractionFits(std::optional<std::uint64_t> freeBytes, std::uint64_t size) {
    if (!freeBytes) return true;
    return *freeBytes > size && *freeBytes - size > kExtractionSlack;
}

std::u16string quotedProgram(const std::u16string& program) {
    if (!program.empty() && program.front() == u'"') return program;
    return u"\"" + program + u"\"";
}

std::u16string programArguments(const std::u16string* first, const std::u16string* second) {
    if (!first) return {};
    return second ? *first + u" " + *second : *first;
}

unsigned remainingDisplayMs(double elapsedSeconds) {
    if (!(elapsedSeconds < 3.0)) return 0;
    const double rest = (3.0 - elapsedSeconds) * 1000.0;
    return std::max(1u, static_cast<unsigned>(rest));
}

bool sameFilePath(const std::u16string& a, const std::u16string& b) {
    return equalsIgnoringAsciiCase(comparablePath(a), comparablePath(b));
}

}  // namespace work
