#include "config/run_context.h"

#include "text/texts.h"

std::u16string RunContext::text(TextRow row) const { return getText(row, choices.languageIndex); }

platform::MessageAnswer RunContext::showMessage(const std::u16string& message, platform::MessageKind kind) {
    return ui_.messageBox(message, offer.applicationTitle, kind);
}

std::u16string productText(const RunContext& app, TextRow row) {
    return replaceAll(app.text(row), u"ProductX", app.product.productName);
}
