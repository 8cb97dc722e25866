// The choice page: two radio alternatives with explanations.
#pragma once

#include "ui/win32/wizard_page.h"

class DlgTwoOptions : public WizardPage {
public:
    DlgTwoOptions(platform::PageModel& model, PageEnvironment& env);

private:
    void initialise() override;
    void next() override;
    int firstFocus() const override;
    // A message longer than its two lines takes room from the frame below it.
    void fitMessage() const;
};
