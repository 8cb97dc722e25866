// The setup flow: one state machine over named states (app/flow_states.h) held in
// the Navigation's flowState, which the flow alone writes. A page state runs its page step and follows the
// routing table (app/flow_routes.h) from the step's result; an action state runs install
// actions and names the state that follows from what they report.
#pragma once

#include "app/navigation.h"
#include "config/run_context.h"
#include "install/install_actions.h"
#include "ui/page_steps.h"

// Runs from navigation.flowState until "cancel" or the end of an end action.
void runSetupFlow(RunContext& app, Navigation& navigation, PageSteps& pages, InstallActions& actions);
