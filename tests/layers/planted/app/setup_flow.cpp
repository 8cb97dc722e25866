// Planted: the flow itself writes the navigation, as it should.
#include "config/run_context.h"

void plantedFlow(RunContext& app) {
    app.flowState = "start";
    app.backTarget["Dialog: all users"] = "start";
    app.forwardDirection = true;
}
