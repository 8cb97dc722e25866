#include "platform/run_log.h"

#include <cctype>

#include "platform/platform.h"
#include "platform/strings.h"

namespace platform {

namespace {

// Lines kept before the file is named; a run that never names it loses the rest.
constexpr std::size_t kMostWaiting = 1 << 20;

const char* const kSecretWords[] = {"PASSWORD", "PASSWD", "PWD", "SECRET", "TOKEN", "PIDKEY"};

bool namesSecret(std::u16string_view name) {
    std::string upper;
    for (char16_t c : name) upper.push_back(static_cast<char>(c < 0x80 ? std::toupper(c) : '?'));
    for (const char* word : kSecretWords) {
        if (upper.find(word) != std::string::npos) return true;
    }
    return false;
}

bool isNameChar(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'_' || c == u'.';
}

// "[   12.345] " for the milliseconds since the start.
std::string elapsedPrefix(std::uint64_t ms) {
    std::string seconds = secondsText(ms);
    if (seconds.size() < 9) seconds.insert(0, 9 - seconds.size(), ' ');
    return "[" + seconds + "] ";
}

}  // namespace

RunLog::RunLog(System& system) : system_(system), startMs_(system.clockMs()) {}

RunLog::~RunLog() {
    if (file_) file_->close();
}

bool RunLog::open(const std::u16string& path) {
    WorkerLock::Hold hold(lock_);
    if (file_ || dropping_) return false;
    file_ = system_.openFile(path, FileOpen::Replace);
    if (!file_) {
        dropping_ = true;
        waiting_.clear();
        return false;
    }
    path_ = path;
    static const unsigned char kBom[] = {0xEF, 0xBB, 0xBF};
    (void)file_->write(kBom, sizeof kBom);
    (void)file_->write(reinterpret_cast<const unsigned char*>(waiting_.data()), waiting_.size());
    waiting_.clear();
    waiting_.shrink_to_fit();
    return true;
}

void RunLog::write(std::u16string_view line) { put(wideToUtf8(maskSecrets(line))); }

void RunLog::write(std::string_view line) { put(wideToUtf8(maskSecrets(utf8ToWide(line)))); }

void RunLog::put(std::string text) {
    // One line per call: a line break inside a message is shown as the two characters.
    std::string line = elapsedPrefix(system_.clockMs() - startMs_);
    for (char c : text) {
        if (c == '\n') line += "\\n";
        else if (c != '\r') line += c;
    }
    line += "\r\n";
    WorkerLock::Hold hold(lock_);
    if (dropping_) return;
    if (!file_) {
        if (waiting_.size() + line.size() <= kMostWaiting) waiting_ += line;
        return;
    }
    // A full disk loses log lines, never the installation.
    (void)file_->write(reinterpret_cast<const unsigned char*>(line.data()), line.size());
}

std::u16string maskSecrets(std::u16string_view commandLine) {
    std::u16string out;
    std::size_t i = 0;
    while (i < commandLine.size()) {
        // A name starts after a blank, a quote or the start of the line.
        const bool atNameStart = i == 0 || commandLine[i - 1] == u' ' || commandLine[i - 1] == u'\t';
        std::size_t end = i;
        while (atNameStart && end < commandLine.size() && isNameChar(commandLine[end])) ++end;
        if (end == i || end >= commandLine.size() || commandLine[end] != u'=' ||
            !namesSecret(commandLine.substr(i, end - i))) {
            out += commandLine[i++];
            continue;
        }
        out.append(commandLine.substr(i, end + 1 - i));
        out += u"***";
        // The value: a quoted text to its closing quote, or a word to the next blank.
        std::size_t value = end + 1;
        if (value < commandLine.size() && commandLine[value] == u'"') {
            const std::size_t close = commandLine.find(u'"', value + 1);
            value = close == std::u16string_view::npos ? commandLine.size() : close + 1;
        } else {
            while (value < commandLine.size() && commandLine[value] != u' ' && commandLine[value] != u'\t') ++value;
        }
        i = value;
    }
    return out;
}

std::string secondsText(std::uint64_t ms) {
    std::string millis = std::to_string(ms % 1000);
    millis.insert(0, 3 - millis.size(), '0');
    return std::to_string(ms / 1000) + "." + millis;
}

std::u16string logNamePart(std::u16string_view text) {
    std::u16string out;
    for (char16_t c : text) {
        if (out.size() == 40) break;
        out += isNameChar(c) || c == u'-' ? c : u'_';
    }
    return out.find_first_not_of(u"._") == std::u16string::npos ? u"setup" : out;
}

}  // namespace platform
