// The real platform: Windows, its registry and the launcher's own file.
#pragma once

#include "platform/platform.h"
#include "platform/win32/unique_handle.h"

class Win32System : public platform::System {
public:
    void initCommonControls() override;
    void initCom() override;
    void uninitCom() override;

    std::vector<unsigned char> loadCustomResource(const std::u16string& name, int& error) override;
    int regReadString(platform::RegRoot root, const std::u16string& subkey,
                      const std::u16string& valueName, std::u16string& value,
                      std::size_t maxBytes) override;
    bool readVersionString(const std::u16string& path, const std::u16string& name,
                           std::u16string& value) override;

    int osVersionNumber() override;
    bool isAdministrator() override;
    int systemUiLocale() override;
    bool isFeatureInstalledLocally(const std::u16string& productGuid,
                                   const std::u16string& feature) override;
    bool claimSingleInstance() override;

    std::u16string launcherPath() override;
    std::u16string tempFolder() override;
    bool setCurrentFolder(const std::u16string& path) override;
    bool fileExists(const std::u16string& path) override;
    bool readWholeFile(const std::u16string& path, std::vector<unsigned char>& bytes) override;
    bool deleteFile(const std::u16string& path) override;
    int copyFile(const std::u16string& source, const std::u16string& target) override;

private:
    // Held open for the whole process so the single-instance name stays registered.
    KernelHandle instanceMutex_;
    bool comInitialised_ = false;
};

// The system folder's copy of a DLL, never one from the launcher's folder.
ModuleHandle loadSystemLibrary(const wchar_t* name);

// Restricts DLL loading to the system folder before anything else loads a library, so
// a DLL planted beside setup.exe in a download folder is never picked up.
void hardenDllSearchPath();
