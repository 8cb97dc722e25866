#include "ui/win32/page_captions.h"

#include "res/pages_ids.h"

std::vector<ControlCaption> pageCaptions(const platform::PageModel& page) {
    using platform::PageClass;
    std::vector<ControlCaption> captions;
    switch (page.pageClass) {
    case PageClass::Start:
        captions = {{IDC_START_COMMAND1, page.commands[0].caption},
                    {IDC_START_COMMAND2, page.commands[1].caption},
                    {IDC_START_COMMAND3, page.commands[2].caption},
                    {IDC_PAGE_HELP, page.helpCaption},
                    {IDC_PAGE_CANCEL, page.cancelCaption}};
        return captions;
    case PageClass::TwoOptions: captions = {{IDC_OPTION1, page.option1}, {IDC_OPTION2, page.option2}}; break;
    case PageClass::Folder: captions = {{IDC_FOLDER_BROWSE, page.browseCaption}}; break;
    case PageClass::CircuitFolder:
        captions = {{IDC_STANDARD_FOLDER_CHECK, page.checkBoxText},
                    {IDC_USER_FOLDER_LABEL, page.userFolderLabel},
                    {IDC_FOLDER_BROWSE, page.browseCaption}};
        break;
    case PageClass::Info:
    case PageClass::Progress: break;
    }
    captions.insert(captions.end(), {{IDC_PAGE_HELP, page.helpCaption},
                                     {IDC_PAGE_BACK, page.backCaption},
                                     {IDC_PAGE_NEXT, page.nextCaption},
                                     {IDC_PAGE_CANCEL, page.cancelCaption}});
    return captions;
}
