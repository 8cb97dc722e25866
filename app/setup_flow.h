// The setup flow: one state machine over named states held in flowState. A page state
// runs its page step, which leaves a result word or a state name in flowState; the flow
// turns the word into the next state and records where each page's Back returns to. An
// action state runs an install action. The vocabulary is platform/flow_words.h.
#pragma once

#include "config/run_context.h"
#include "install/install_actions.h"
#include "ui/page_steps.h"

// Runs from app.flowState until "cancel" or the end of an end action.
void runSetupFlow(RunContext& app, PageSteps& pages, InstallActions& actions);
