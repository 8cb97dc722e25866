// The folder page: one folder in an edit field with a browse button.
#pragma once

#include "ui/win32/wizard_page.h"

class DlgFolder : public WizardPage {
public:
    DlgFolder(platform::PageModel& model, PageEnvironment& env);

private:
    void initialise() override;
    bool command(int id, int notification) override;
    void next() override;
    void browse();
};

// A browsed folder with the sub-folder appended once: D:\Apps + Sub gives D:\Apps\Sub,
// D:\Apps\Sub stays, E:\ gives E:\Sub.
std::u16string withSubFolder(std::u16string picked, const std::u16string& subFolder);
