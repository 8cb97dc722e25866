// The install actions of a real run: the installation engine, the update search (which
// fetches the update program over HTTP and hands the run over to it), the Individual
// Setup and the start of the program on the medium.
#pragma once

#include "install/install_actions.h"

class SetupActions : public InstallEngine {
public:
    // Downloads the update program into the temporary folder behind the progress page and
    // starts it with APP="<launcher path>" LANG=<language parameter>. Download failures
    // show their message; a signed launcher refuses, deletes and names an update not
    // signed like itself (signatures.h).
    UpdateOutcome downloadAndStartUpdate(RunContext& app) override;
    int createIndividualSetup(RunContext& app) override;
    void startFromMedium(RunContext& app) override;
};
