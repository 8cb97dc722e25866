// libFuzzer target: any command line (UTF-8, program path first) through the launcher's
// command-line evaluation, on the in-memory platform. Beyond not crashing, what the
// evaluation leaves must be safe to hand on whatever the input: every installer property
// stays one msiexec argument, a folder is a folder name or nothing, and the program path
// never counts as options. A broken rule traps, so the fuzzer reports the input.
#include <cstddef>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "app/command_line.h"
#include "app/flow_states.h"
#include "config/run_context.h"
#include "fakes/fake_system.h"
#include "install/msi_properties.h"
#include "platform/folder_names.h"
#include "platform/strings.h"

namespace {

void check(bool rule) {
    if (!rule) __builtin_trap();
}

// Read independently of the code under test: a bare word without blanks, or a text in
// one pair of enclosing quotes; never a quote of its own, never a control character.
bool isOneArgumentValue(const std::u16string& value) {
    const bool enclosed = value.size() >= 2 && value.front() == u'"' && value.back() == u'"';
    for (std::size_t i = enclosed ? 1 : 0; i < (enclosed ? value.size() - 1 : value.size()); ++i) {
        const char16_t c = value[i];
        if (c == u'"' || c < 0x20 || (!enclosed && c == u' ')) return false;
    }
    return true;
}

// The property string split as msiexec splits its command line: blanks and tabs outside
// quotes separate arguments, a quote opens or closes a quoted part.
std::vector<std::u16string> splitArguments(const std::u16string& line) {
    std::vector<std::u16string> arguments;
    std::u16string current;
    bool inQuotes = false, inArgument = false;
    for (char16_t c : line) {
        if (!inQuotes && (c == u' ' || c == u'\t')) {
            if (inArgument) arguments.push_back(current);
            current.clear();
            inArgument = false;
            continue;
        }
        if (c == u'"') inQuotes = !inQuotes;
        current += c;
        inArgument = true;
    }
    if (inArgument) arguments.push_back(current);
    return arguments;
}

struct Run {
    FakeSystem system;
    FakeUi ui;
    RunContext app{system, ui};
    Navigation navigation;
    explicit Run(const std::string& commandLine) {
        app.choices.installVideos = app.choices.installPresentations = true;
        evaluateCommandLine(app, navigation, commandLine);
    }
};

// Everything the evaluation may change, for comparing two runs.
auto observed(const Run& run) {
    return std::make_tuple(run.navigation.flowState, run.app.choices.msiUiOption, run.app.choices.quietCommandLine,
                           run.app.choices.installDir, run.app.choices.removeFirst, run.app.choices.installVideos,
                           run.app.choices.installPresentations, BuildPropertyString(run.app.choices));
}

void checkRun(const Run& evaluated) {
    const RunContext& run = evaluated.app;
    const std::string& flow = evaluated.navigation.flowState;
    check(flow == state::kStart || flow == state::kLaunchMsi || flow == state::kFindUpdate ||
          flow == state::kRemoveAll || flow == state::kAskForLinkDirectory || flow == state::kCreateLinkSilently);
    check(run.choices.msiUiOption.empty() || run.choices.msiUiOption == u"/qn " || run.choices.msiUiOption == u"/qb ");
    check(run.choices.quietCommandLine == !run.choices.msiUiOption.empty());

    // The folder is taken or not at all; it never reaches the installer as a property.
    check(run.choices.installDir.empty() || acceptableFolderName(run.choices.installDir));

    std::vector<std::u16string> expected;
    std::size_t count = 0;
    run.choices.msiProperties.forEachEntry([&](const NameTable::Entry& entry) {
        const std::string name = entry.key;
        check(!name.empty() && name.find_first_of(" \t=\"") == std::string::npos);
        check(!equalsIgnoringAsciiCase(utf8ToWide(name), u"INSTALLDIR"));
        check(entry.value < run.choices.msiPropertyValues.size());
        const std::u16string* value = msiProperty(run.choices, name);
        check(value != nullptr && isOneArgumentValue(*value));
        expected.push_back(utf8ToWide(name) + u"=" + *value);
        ++count;
    });
    check(count == run.choices.msiPropertyValues.size());
    // Joined for msiexec, the pairs are exactly as many arguments as there are properties.
    check(splitArguments(BuildPropertyString(run.choices)) == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string commandLine(reinterpret_cast<const char*>(data), size);
    const Run run(commandLine);
    checkRun(run);

    const std::string arguments = argumentsAfterProgramPath(commandLine);
    check(arguments.empty() || (arguments[0] != ' ' && arguments[0] != '\t'));
    check(commandLine.size() >= arguments.size() &&
          commandLine.compare(commandLine.size() - arguments.size(), arguments.size(), arguments) == 0);

    // The same arguments behind program paths that look like options give the same run.
    for (const char* program : {"\"C:\\Kurs=5 /qn REMOVE=ALL\\setup.exe\" ", "D:\\A=\"1\"\\setup.exe\t"}) {
        const Run other(program + arguments);
        check(observed(other) == observed(run));
    }
    return 0;
}
