// The circuit-file folder page: use the standard folder, or a user folder with browse.
#pragma once

#include "ui/win32/wizard_page.h"

class DlgCtFolder : public WizardPage {
public:
    DlgCtFolder(platform::PageModel& model, PageEnvironment& env);

private:
    void initialise() override;
    bool command(int id, int notification) override;
    int firstFocus() const override;
    void next() override;
    bool transparent(int id) const override;
    void enableUserFolder(bool enabled) const;
    void toggled();
    void browse();
};
