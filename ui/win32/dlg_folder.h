// The folder page: one folder in an edit field with a browse button.
#pragma once

#include "ui/win32/wizard_page.h"

class DlgFolder : public WizardPage {
public:
    DlgFolder(platform::PageModel& model, PageEnvironment& env);

private:
    void initialise() override;
    bool command(int id, int notification) override;
    int firstFocus() const override;
    void next() override;
    void browse();
};
