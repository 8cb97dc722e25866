// Where the setup flow stands: written by the flow alone (tools/check_layers.py holds the
// layers below it to that); the command line and the presets only choose the first state.
#pragma once

#include <map>
#include <string>

#include "app/flow_states.h"

struct Navigation {
    std::string flowState = state::kStart;
    // Where a state entered going forward returns on Back.
    std::map<std::string, std::string> backTarget;
    bool forwardDirection = true;
};
