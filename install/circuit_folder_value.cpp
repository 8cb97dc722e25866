#include "install/circuit_folder_value.h"

void deleteCircuitFolderValue(RunContext& app) {
    platform::System& system = app.system();
    system.regDeleteValue(platform::RegRoot::CurrentUser, app.product.installDirRegSubkey, u"CT_DIR");
    if (app.choices.allUsers)
        system.regDeleteValue(platform::RegRoot::Users, u".DEFAULT\\" + app.product.installDirRegSubkey, u"CT_DIR");
}
