// The flow's routing table: where each page state's step result leads. The one place that
// says so; the flow (app/setup_flow) runs the steps and writes the state it names.
#pragma once

#include <string>

#include "app/navigation.h"
#include "config/run_context.h"
#include "ui/page_steps.h"

// The state that follows the page state `state` once its step has reported `result`.
// Writes only navigation: where a state entered going forward returns on Back, the
// direction of travel (Back turns it backward, Cancel and None leave it, any other answer
// turns it forward), and the Individual Setup mode the start page's fourth command enters.
// Cancel leads to "cancel"; a state that is no page state leads to "start".
std::string routeStep(RunContext& app, Navigation& navigation, const std::string& state, const StepResult& result);
