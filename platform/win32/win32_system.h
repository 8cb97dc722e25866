// The real platform: Windows, its registry, files, processes and the launcher's own file.
// One class, its members implemented per area: win32_system.cpp (process set-up, Windows
// and folders), win32_registry.cpp, win32_resources.cpp, win32_versions.cpp,
// win32_installer.cpp, win32_shell.cpp, win32_files.cpp, win32_file_streams.cpp,
// win32_processes.cpp, win32_http.cpp and win32_signatures.cpp.
#pragma once

#include "platform/platform.h"
#include "platform/win32/system_library.h"
#include "platform/win32/unique_handle.h"

class Win32System : public platform::System {
public:
    void initCommonControls() override;
    void initCom() override;
    void uninitCom() override;
    bool claimSingleInstance() override;

    std::vector<unsigned char> loadCustomResource(const std::u16string& name, int& error) override;
    platform::ResourceView customResourceView(const std::u16string& name, int& error) override;
    std::u16string launcherPath() override;

    int regReadDword(platform::RegRoot root, const std::u16string& subkey, const std::u16string& name,
                     std::uint32_t& value) override;
    int regReadString(platform::RegRoot root, const std::u16string& subkey, const std::u16string& name,
                      std::u16string& value, std::size_t maxBytes) override;
    int regReadString64(platform::RegRoot root, const std::u16string& subkey, const std::u16string& name,
                        std::u16string& value, std::size_t maxBytes) override;
    int regWriteDword(platform::RegRoot root, const std::u16string& subkey, const std::u16string& name,
                      std::uint32_t value) override;
    int regWriteString(platform::RegRoot root, const std::u16string& subkey, const std::u16string& name,
                       const std::u16string* text) override;
    int regWriteString32(platform::RegRoot root, const std::u16string& subkey, const std::u16string& name,
                         const std::u16string* text) override;
    int regDeleteValue(platform::RegRoot root, const std::u16string& subkey, const std::u16string& name) override;
    int regDeleteKeyTree(platform::RegRoot root, const std::u16string& subkey) override;

    bool readVersionString(const std::u16string& path, const std::u16string& name, std::u16string& value) override;
    platform::FileSignature fileSignature(const std::u16string& path) override;
    int osVersionNumber() override;
    bool isAdministrator() override;
    bool is64BitProcess() override { return sizeof(void*) == 8; }
    int systemUiLocale() override;
    std::u16string systemFolder() override;
    std::u16string windowsFolder() override;
    std::u16string commonStartMenuFolder() override;
    std::u16string desktopFolder(bool common) override;
    std::u16string programsFolder(bool common) override;
    std::u16string documentsFolder() override;
    std::u16string appDataFolder() override;
    std::u16string localAppDataFolder() override;
    std::u16string programFilesFolder(bool for32BitPrograms) override;
    int msiProductState(const std::u16string& productGuid) override;
    int msiFeatureState(const std::u16string& productGuid, const std::u16string& feature) override;
    int msiComponentPath(const std::u16string& productGuid, const std::u16string& componentGuid,
                         std::u16string& path) override;
    bool createShellLink(const std::u16string& linkPath, const platform::ShellLink& link) override;

    std::u16string tempFolder() override;
    bool setCurrentFolder(const std::u16string& path) override;
    bool findFirstFile(const std::u16string& searchName) override;
    bool hasAttributes(const std::u16string& path) override;
    long long fileSize(const std::u16string& path) override;
    bool readWholeFile(const std::u16string& path, std::vector<unsigned char>& bytes) override;
    int copyFile(const std::u16string& source, const std::u16string& target) override;
    bool createEmptyFile(const std::u16string& path) override;
    bool writeWholeFile(const std::u16string& path, const std::vector<unsigned char>& bytes) override;
    std::u16string readIniString(const std::u16string& file, const std::u16string& section, const std::u16string& key,
                                 const std::u16string& defaultValue, std::size_t maxChars) override;
    bool deleteFile(const std::u16string& path) override;
    std::unique_ptr<platform::File> openFile(const std::u16string& path, platform::FileOpen how) override;
    bool readFileStatus(const std::u16string& path, platform::FileStatus& status) override;
    bool writeFileStatus(const std::u16string& path, const platform::FileStatus& status) override;
    std::optional<std::uint64_t> freeDiskBytes(const std::u16string& folder) override;
    std::vector<platform::FolderEntry> findFiles(const std::u16string& searchPattern) override;
    std::u16string ansiToWide(const std::string& bytes) override;
    bool environmentVariable(const std::u16string& name, std::u16string& value) override;

    std::u16string commandLine() override;
    std::u16string longPathName(const std::u16string& path) override;
    std::u16string shortPathName(const std::u16string& path) override;
    bool createFolder(const std::u16string& path) override;
    std::vector<platform::ProcessEntry> listProcesses() override;
    void terminateProcess(std::uint32_t processId) override;
    std::unique_ptr<platform::HttpSession> openHttpSession(const std::u16string& agent,
                                                           std::function<bool()> stopWaiting) override;
    std::uint64_t clockMs() override { return GetTickCount64(); }
    void sleepMs(std::uint32_t ms) override { Sleep(ms); }
    platform::LocalTime localTime() override;

    // The connect, send and receive time-out of the sessions opened afterwards. Only test
    // tools change it, so that a stall outlasts it in a test's time.
    void setHttpTimeout(std::uint32_t ms) { httpTimeoutMs_ = ms; }

protected:
    std::uint32_t doRunProcess(const std::u16string& commandLine, std::uint32_t limitMs,
                               const std::u16string& folder) override;
    bool doRunAndWait(const std::u16string& commandLine, std::uint32_t& exitCode) override;
    bool doStartProcess(const std::u16string& commandLine, const std::u16string& folder) override;

private:
    std::uint32_t httpTimeoutMs_ = 30000;
    // Held open for the whole process so the single-instance name stays registered.
    KernelHandle instanceMutex_;
    bool comInitialised_ = false;
};
