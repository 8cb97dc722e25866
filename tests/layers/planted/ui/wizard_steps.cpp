// Planted: a page step navigating by itself, in each form of a write.
#include "config/run_context.h"

struct Planted {
    std::string flowState = "start";  // a declaration with its first value is no write
};

void plantedStep(RunContext& app) {
    if (app.flowState == "next") app.flowState = "Dialog: videos";
    app.backTarget["Dialog: videos"] = app.flowState;
    app.forwardDirection &= app.flowState != "back";
    app.flowState.assign("next");
    app.showMessage(u"flowState = quoted text is no write");  // flowState = nor is a comment
}

void plantedProductWrites(RunContext& run) {
    if (run.product.productName == u"x") run.product.helpFile[1].append(u"y");
    run.product.askForVideos = run.offer.askForVideos;
}

void plantedAlias(RunContext& run) {
    run.backTarget.clear();
    flowState += "x";
}
