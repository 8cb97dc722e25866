// One page object per showing, of the class the model names.
#include "ui/win32/dlg_ct_folder.h"
#include "ui/win32/dlg_folder.h"
#include "ui/win32/dlg_info.h"
#include "ui/win32/dlg_install_software.h"
#include "ui/win32/dlg_start.h"
#include "ui/win32/dlg_two_options.h"

std::string showWizardPage(platform::PageModel& model, PageEnvironment& env) {
    using platform::PageClass;
    switch (model.pageClass) {
    case PageClass::Start: return DlgStart(model, env).run();
    case PageClass::TwoOptions: return DlgTwoOptions(model, env).run();
    case PageClass::Info: return DlgInfo(model, env).run();
    case PageClass::Folder: return DlgFolder(model, env).run();
    case PageClass::CircuitFolder: return DlgCtFolder(model, env).run();
    case PageClass::Progress: return DlgInstallSoftware(model, env).run();
    }
    return {};
}
