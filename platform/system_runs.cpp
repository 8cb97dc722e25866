// The process calls of System, each written to the run log around the real start.
#include "platform/platform.h"
#include "platform/run_log.h"

namespace platform {

namespace {

std::string seconds(std::uint64_t ms) { return secondsText(ms) + " s"; }

std::u16string inFolder(const std::u16string& folder) {
    return folder.empty() ? u" (in the current folder)" : u" (in " + folder + u")";
}

}  // namespace

std::uint32_t System::runProcess(const std::u16string& commandLine, std::uint32_t limitMs,
                                 const std::u16string& folder) {
    logLine(u"program: " + commandLine + inFolder(folder));
    const std::uint64_t start = clockMs();
    const std::uint32_t result = doRunProcess(commandLine, limitMs, folder);
    logLine("program ended: " + std::to_string(result) + " after " + seconds(clockMs() - start));
    return result;
}

bool System::runAndWait(const std::u16string& commandLine, std::uint32_t& exitCode) {
    logLine(u"program: " + commandLine + inFolder(u""));
    const std::uint64_t start = clockMs();
    const bool started = doRunAndWait(commandLine, exitCode);
    logLine(started ? "program ended: exit code " + std::to_string(exitCode) + " after " + seconds(clockMs() - start)
                    : std::string("program could not be started"));
    return started;
}

bool System::startProcess(const std::u16string& commandLine, const std::u16string& folder) {
    const bool started = doStartProcess(commandLine, folder);
    logLine((started ? u"program started, not waited for: " : u"program could not be started: ") + commandLine +
            inFolder(folder));
    return started;
}

void System::logLine(std::u16string_view line) {
    if (log_) log_->write(line);
}

void System::logLine(std::string_view line) {
    if (log_) log_->write(line);
}

}  // namespace platform
