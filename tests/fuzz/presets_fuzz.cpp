// libFuzzer target: any bytes as the presets file "setup.ini" beside the launcher, read
// through the in-memory platform's INI reader. A file is taken over whole or not at all:
// taken, its folders are folder names and what it describes composes back into a file
// that reads the same; refused, the run is as it was. A broken rule traps, so the fuzzer
// reports the input.
#include <cstddef>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "config/presets.h"
#include "config/run_state.h"
#include "fakes/fake_system.h"
#include "platform/folder_names.h"

namespace {

const std::u16string kPresets = u"D:\\setup.ini";

void check(bool rule) {
    if (!rule) __builtin_trap();
}

// Every field a presets file could reach, and some it must not.
auto observed(const RunState& run) {
    return std::make_tuple(run.linkOnly, run.targetProgramFolder, run.circuitFolder, run.useStandardCircuitFolder,
                           run.autoMode, run.installVideos, run.installPresentations, run.allUsers,
                           run.askForVideos, run.askForPresentations, run.installDir, run.networkFolder,
                           run.msiUiOption, run.flowState, run.setupIniText, run.individualSetupFolder);
}

// Both optional components offered and chosen, nothing else decided: a fresh run.
void offerEverything(RunState& run) {
    run.askForVideos = run.installVideos = true;
    run.askForPresentations = run.installPresentations = true;
}

// A run that has already decided otherwise on every point, and offers no components.
void decideOtherwise(RunState& run) {
    run.linkOnly = true;
    run.allUsers = false;
    run.autoMode = 2;
    run.targetProgramFolder = u"E:\\before";
    run.circuitFolder = u"E:\\circuits before";
    run.useStandardCircuitFolder = false;
    run.installVideos = run.installPresentations = false;
    run.installDir = u"E:\\install before";
    run.networkFolder = u"\\\\before\\share";
    run.msiUiOption = u"/qb ";
}

// What readPresets leaves after an answer of 0, whatever the run was before.
void checkTaken(const RunState& run) {
    check(acceptableFolderName(run.targetProgramFolder));
    check(run.circuitFolder.empty() || acceptableFolderName(run.circuitFolder));
    check(run.circuitFolder.empty() || !run.useStandardCircuitFolder);
    check(run.autoMode >= 0 && run.autoMode <= 2);
}

// The choices of a taken file, composed and written as an Individual Setup writes them,
// must be read back by its copy as they were.
void checkRoundTrip(RunState& made) {
    // As the start-up hands the presets on: the folder becomes the installation folder,
    // which a link-only installation links to.
    made.networkFolder = made.targetProgramFolder;
    composePresets(made);

    FakeSystem target;
    target.files[kPresets] = presetsFileBytes(made.setupIniText);
    RunState copy;
    offerEverything(copy);
    check(readPresets(copy, target, kPresets) == 0);
    check(copy.linkOnly == made.linkOnly);
    check(copy.targetProgramFolder == (made.linkOnly ? made.networkFolder : made.targetProgramFolder));
    check(copy.useStandardCircuitFolder == made.useStandardCircuitFolder);
    check(made.useStandardCircuitFolder || copy.circuitFolder == made.circuitFolder);
    check(copy.autoMode == made.autoMode);
    check(copy.installVideos == made.installVideos);
    check(copy.installPresentations == made.installPresentations);
    check(copy.allUsers == made.allUsers);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FakeSystem system;
    system.files[kPresets] = std::vector<unsigned char>(data, data + size);

    RunState fresh;
    offerEverything(fresh);
    const auto freshBefore = observed(fresh);
    const int result = readPresets(fresh, system, kPresets);
    check(result == 0 || result == -1 || result == -2);

    // The answer is the file's alone; a run that decided otherwise gets the same one.
    RunState decided;
    decideOtherwise(decided);
    const auto decidedBefore = observed(decided);
    check(readPresets(decided, system, kPresets) == result);

    // Reading changes no file.
    check(system.files.size() == 1 && system.deletedFiles.empty());

    if (result < 0) {
        check(observed(fresh) == freshBefore);
        check(observed(decided) == decidedBefore);
        return 0;
    }
    checkTaken(fresh);
    checkTaken(decided);
    check(decided.linkOnly == fresh.linkOnly && decided.targetProgramFolder == fresh.targetProgramFolder &&
          decided.circuitFolder == fresh.circuitFolder && decided.autoMode == fresh.autoMode &&
          decided.allUsers == fresh.allUsers);
    // Components not offered keep their state; an empty circuit folder keeps the choice made.
    check(!decided.installVideos && !decided.installPresentations);
    check(fresh.circuitFolder.empty() ? !decided.useStandardCircuitFolder && fresh.useStandardCircuitFolder
                                      : !decided.useStandardCircuitFolder);
    // What the file cannot name stays.
    check(decided.installDir == u"E:\\install before" && decided.networkFolder == u"\\\\before\\share" &&
          decided.msiUiOption == u"/qb ");

    checkRoundTrip(fresh);
    return 0;
}
