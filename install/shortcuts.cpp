#include "install/shortcuts.h"

#include "install/circuit_folder_value.h"

namespace {

using platform::RegRoot;

std::u16string technologyArgument(const std::string& domain) {
    if (domain == "pneu") return u"TECH=P";
    if (domain == "hyd") return u"TECH=H";
    if (domain == "et") return u"TECH=E";
    return {};
}

// The folders of the network installation, in the forms the version-5 programs read.
void writeInstallationFolders(RunContext& app) {
    platform::System& system = app.system();
    const std::u16string shortFolder = system.shortPathName(app.choices.networkFolder);
    const std::u16string exeFolder = shortFolder + u"\\BIN";
    auto write = [&](const char16_t* name, const std::u16string& value) {
        system.regWriteString32(RegRoot::LocalMachine, app.product.installDirRegSubkey, name, &value);
    };
    write(u"INST_NDIR", shortFolder);
    write(u"INST_DIR_LFN", app.choices.networkFolder);
    write(u"INST_DIR", shortFolder);
    write(u"EXE_DIR", exeFolder);
}

void link(platform::System& system, const std::u16string& path, const std::u16string& target,
          const std::u16string* arguments, const std::u16string& description, const std::u16string* workingFolder) {
    platform::ShellLink shellLink;
    shellLink.target = target;
    shellLink.arguments = arguments;
    shellLink.description = &description;
    shellLink.workingFolder = workingFolder;
    system.createShellLink(path, shellLink);
}

}  // namespace

void CreateShortcutsAndRegistry(RunContext& app) {
    platform::System& system = app.system();
    const int language = app.choices.languageIndex;
    const bool pelaxo = app.offer.isPelaxo5 || app.offer.isPelaxo4;
    const std::u16string binFolder = app.choices.networkFolder + u"\\" + app.product.binDir;
    const std::u16string program = binFolder + u"\\" + app.product.startApplicationOnStick;

    if (pelaxo) {
        if (app.choices.useStandardCircuitFolder) deleteCircuitFolderValue(app);
        else
            system.regWriteString(RegRoot::CurrentUser, app.product.installDirRegSubkey, u"CT_DIR",
                                  &app.choices.circuitFolder);
    }
    // The program path is quoted: a share or folder with blanks must open the document,
    // not a truncated path.
    const std::u16string icon = program + u",0";
    const std::u16string open = u"\"" + program + u"\" \"%1\"";
    system.regWriteString(RegRoot::ClassesRoot, app.product.iconRegSubkey, u"", &icon);
    system.regWriteString(RegRoot::ClassesRoot, app.product.openRegSubkey, u"", &open);

    const std::u16string technology = app.offer.isPelaxo5 ? technologyArgument(app.product.technologyDomain) : u"";
    if (app.offer.isPelaxo5) writeInstallationFolders(app);

    const bool common = system.isAdministrator() && app.choices.allUsers;
    if (!pelaxo)
        link(system, system.desktopFolder(common) + u"\\" + app.product.productName + u".lnk", program, nullptr,
             app.product.productName, &binFolder);

    std::u16string menu = system.programsFolder(common) + u"\\" + app.product.programDir;
    system.createFolder(menu);
    if (app.offer.isPelaxo4 && !app.product.productShortName.empty()) {
        menu += u"\\" + app.product.productShortName;
        system.createFolder(menu);
    } else if (app.offer.isPelaxo5) {
        menu += u"\\" + app.product.startMenuDir[language];
        system.createFolder(menu);
    }
    const std::u16string& appName = app.product.shortcutNameApp[language];
    link(system, menu + u"\\" + appName + u".lnk", program, technology.empty() ? nullptr : &technology, appName,
         &binFolder);
    const std::u16string& techSelect = app.product.shortcutNameAppTechSelect[language];
    if (app.offer.isPelaxo5 && !techSelect.empty())
        link(system, menu + u"\\" + techSelect + u".lnk", program, nullptr, techSelect, nullptr);
    const std::u16string& pdfName = app.product.shortcutNamePdf[language];
    if (!pdfName.empty())
        link(system, menu + u"\\" + pdfName + u".lnk",
             app.choices.networkFolder + u"\\doc\\" + app.product.shortcutTargetPdf[language], nullptr, pdfName,
             nullptr);

    if (!app.choices.useStandardCircuitFolder && !app.choices.circuitFolder.empty()) {
        if (common)
            system.regWriteString(RegRoot::Users, u".DEFAULT\\" + app.product.installDirRegSubkey, u"CT_DIR",
                                  &app.choices.circuitFolder);
        else
            system.regWriteString(RegRoot::CurrentUser, app.product.installDirRegSubkey, u"CT_DIR",
                                  &app.choices.circuitFolder);
    }
}
