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
#include "config/choices.h"
#include "config/offer.h"
#include "fakes/fake_system.h"
#include "platform/folder_names.h"

namespace {

const std::u16string kPresets = u"D:\\setup.ini";

// What a presets file reads from and writes to.
struct RunState {
    Offer offer;
    Choices choices;
};

void check(bool rule) {
    if (!rule) __builtin_trap();
}

// Every field a presets file could reach, and some it must not.
auto observed(const RunState& run) {
    return std::make_tuple(run.choices.linkOnly, run.choices.targetProgramFolder, run.choices.circuitFolder,
                           run.choices.useStandardCircuitFolder, run.choices.autoMode, run.choices.installVideos,
                           run.choices.installPresentations, run.choices.allUsers, run.offer.askForVideos,
                           run.offer.askForPresentations, run.choices.installDir, run.choices.networkFolder,
                           run.choices.msiUiOption, run.choices.setupIniText, run.choices.individualSetupFolder);
}

// Both optional components offered and chosen, nothing else decided: a fresh run.
void offerEverything(RunState& run) {
    run.offer.askForVideos = run.choices.installVideos = true;
    run.offer.askForPresentations = run.choices.installPresentations = true;
}

// A run that has already decided otherwise on every point, and offers no components.
void decideOtherwise(RunState& run) {
    run.choices.linkOnly = true;
    run.choices.allUsers = false;
    run.choices.autoMode = 2;
    run.choices.targetProgramFolder = u"E:\\before";
    run.choices.circuitFolder = u"E:\\circuits before";
    run.choices.useStandardCircuitFolder = false;
    run.choices.installVideos = run.choices.installPresentations = false;
    run.choices.installDir = u"E:\\install before";
    run.choices.networkFolder = u"\\\\before\\share";
    run.choices.msiUiOption = u"/qb ";
}

// What readPresets leaves after an answer of 0, whatever the run was before.
void checkTaken(const RunState& run) {
    check(acceptableFolderName(run.choices.targetProgramFolder));
    check(run.choices.circuitFolder.empty() || acceptableFolderName(run.choices.circuitFolder));
    check(run.choices.circuitFolder.empty() || !run.choices.useStandardCircuitFolder);
    check(run.choices.autoMode >= 0 && run.choices.autoMode <= 2);
}

// The choices of a taken file, composed and written as an Individual Setup writes them,
// must be read back by its copy as they were.
void checkRoundTrip(RunState& made) {
    // As the start-up hands the presets on: the folder becomes the installation folder,
    // which a link-only installation links to.
    made.choices.networkFolder = made.choices.targetProgramFolder;
    composePresets(made.choices, made.offer);

    FakeSystem target;
    target.files[kPresets] = presetsFileBytes(made.choices.setupIniText);
    RunState copy;
    offerEverything(copy);
    check(readPresets(copy.choices, copy.offer, target, kPresets) == 0);
    check(copy.choices.linkOnly == made.choices.linkOnly);
    check(copy.choices.targetProgramFolder ==
          (made.choices.linkOnly ? made.choices.networkFolder : made.choices.targetProgramFolder));
    check(copy.choices.useStandardCircuitFolder == made.choices.useStandardCircuitFolder);
    check(made.choices.useStandardCircuitFolder || copy.choices.circuitFolder == made.choices.circuitFolder);
    check(copy.choices.autoMode == made.choices.autoMode);
    check(copy.choices.installVideos == made.choices.installVideos);
    check(copy.choices.installPresentations == made.choices.installPresentations);
    check(copy.choices.allUsers == made.choices.allUsers);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FakeSystem system;
    system.files[kPresets] = std::vector<unsigned char>(data, data + size);

    RunState fresh;
    offerEverything(fresh);
    const auto freshBefore = observed(fresh);
    const int result = readPresets(fresh.choices, fresh.offer, system, kPresets);
    check(result == 0 || result == -1 || result == -2);

    // The answer is the file's alone; a run that decided otherwise gets the same one.
    RunState decided;
    decideOtherwise(decided);
    const auto decidedBefore = observed(decided);
    check(readPresets(decided.choices, decided.offer, system, kPresets) == result);

    // Reading changes no file.
    check(system.files.size() == 1 && system.deletedFiles.empty());

    if (result < 0) {
        check(observed(fresh) == freshBefore);
        check(observed(decided) == decidedBefore);
        return 0;
    }
    checkTaken(fresh);
    checkTaken(decided);
    check(decided.choices.linkOnly == fresh.choices.linkOnly &&
          decided.choices.targetProgramFolder == fresh.choices.targetProgramFolder &&
          decided.choices.circuitFolder == fresh.choices.circuitFolder &&
          decided.choices.autoMode == fresh.choices.autoMode && decided.choices.allUsers == fresh.choices.allUsers);
    // Components not offered keep their state; an empty circuit folder keeps the choice made.
    check(!decided.choices.installVideos && !decided.choices.installPresentations);
    check(fresh.choices.circuitFolder.empty()
              ? !decided.choices.useStandardCircuitFolder && fresh.choices.useStandardCircuitFolder
              : !decided.choices.useStandardCircuitFolder);
    // What the file cannot name stays.
    check(decided.choices.installDir == u"E:\\install before" &&
          decided.choices.networkFolder == u"\\\\before\\share" && decided.choices.msiUiOption == u"/qb ");

    checkRoundTrip(fresh);
    return 0;
}
