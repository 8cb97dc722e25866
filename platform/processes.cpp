#include "platform/processes.h"

#include "platform/strings.h"

std::u16string systemTool(platform::System& system, const std::u16string& fileName) {
    return u"\"" + removeTrailingBackslash(system.systemFolder()) + u"\\" + fileName + u"\"";
}

std::uint32_t runDirect(platform::System& system, const std::u16string& program, const std::u16string& arguments,
                        std::uint32_t limitMs, const std::u16string& folder) {
    const std::u16string commandLine = arguments.empty() ? program : program + u" " + arguments;
    // Cutting a command could run a different one; refuse it instead.
    if (commandLine.size() > kMaxCommandLine) return kCommandTooLong;
    return system.runProcess(commandLine, limitMs, folder);
}

std::uint32_t findProcess(platform::System& system, const std::u16string& fileName) {
    for (const platform::ProcessEntry& process : system.listProcesses()) {
        if (process.id != 0 && equalsIgnoringAsciiCase(process.baseName, fileName)) return process.id;
    }
    return 0;
}

void killProcess(platform::System& system, const std::u16string& fileName) {
    if (const std::uint32_t id = findProcess(system, fileName)) system.terminateProcess(id);
}
