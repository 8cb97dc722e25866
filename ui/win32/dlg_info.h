// The information page: title, message, a longer text and caller-captioned buttons.
#pragma once

#include "ui/win32/wizard_page.h"

class DlgInfo : public WizardPage {
public:
    DlgInfo(platform::PageModel& model, PageEnvironment& env);

private:
    void initialise() override;
    int firstFocus() const override;
};
