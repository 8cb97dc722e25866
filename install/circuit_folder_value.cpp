#include "install/circuit_folder_value.h"

void deleteCircuitFolderValue(RunContext& app) {
    platform::System& system = app.system();
    system.regDeleteValue(platform::RegRoot::CurrentUser, app.installDirRegSubkey, u"CT_DIR");
    if (app.allUsers)
        system.regDeleteValue(platform::RegRoot::Users, u".DEFAULT\\" + app.installDirRegSubkey, u"CT_DIR");
}
