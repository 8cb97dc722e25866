// The start page: language choice and up to three command buttons with explanations.
// Its first showing creates the run's title font.
#pragma once

#include "ui/win32/wizard_page.h"

class DlgStart : public WizardPage {
public:
    DlgStart(platform::PageModel& model, PageEnvironment& env);

private:
    void initialise() override;
    bool command(int id, int notification) override;
    int firstFocus() const override;
    bool takesPlacement(const platform::ScreenRect& r) const override;
    bool message(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;
    void createTitleFont() const;
    void applyTexts() const;
    void layOutCommands() const;
    void languageChanged();
    void paintMinimised() const;
};
