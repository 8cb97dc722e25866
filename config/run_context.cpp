#include "config/run_context.h"

#include "text/texts.h"

std::u16string RunContext::text(TextRow row) const { return getText(row, choices.languageIndex); }

platform::MessageAnswer RunContext::showMessage(const std::u16string& message, platform::MessageKind kind) {
    system_.logLine(u"message: " + message);
    const platform::MessageAnswer answer = ui_.messageBox(message, offer.applicationTitle, kind);
    if (kind == platform::MessageKind::Question)
        system_.logLine(answer == platform::MessageAnswer::Yes ? "answer: Yes" : "answer: No");
    return answer;
}

std::u16string productText(const RunContext& app, TextRow row) {
    return replaceAll(app.text(row), u"ProductX", app.product.productName);
}
