// Shared by the platform tests: what the scenario prepared (passed on the command line),
// the test program's own folder and a scratch folder, and small raw Win32 helpers that
// check results independently of the code under test.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/wide.h"
#include "platform/win32/win32_system.h"

struct ScenarioOptions {
    std::u16string demoSetup;            // --demo-setup=: the demo product's setup.exe
    int mscoreeMajor = -1;               // --mscoree-major=: of the prefix's mscoree.dll, 0 unversioned
    bool msiInstalled = false;           // --msi-installed: the demo package is installed without videos
    std::u16string readOnlyFolder;       // --read-only-folder=: a folder nothing can be written to
    std::u16string readOnlyStaleFolder;  // --read-only-stale-folder=: the same, holding an old probe copy
    std::u16string deviceFolder;         // --device-folder=: links full-1, full-2 to a full disk,
                                         // unsized to a file longer than its size says
};
ScenarioOptions& scenario();
// Takes our options out of argv (after GoogleTest took its own); false on an unknown one.
bool parseScenarioOptions(int argc, wchar_t** argv);

// The folder of platform_tests.exe, where the helper programs and DLLs lie.
std::u16string programFolder();
// A fresh folder below the temporary folder, removed with everything in it at the end.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::u16string& name);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::u16string& path() const { return path_; }
    std::u16string operator/(const std::u16string& name) const { return path_ + u"\\" + name; }

private:
    std::u16string path_;
};

void removeTree(const std::u16string& path);
bool writeFileBytes(const std::u16string& path, const std::string& bytes);
std::string readFileBytes(const std::u16string& path);
bool isFolder(const std::u16string& path);
bool exists(const std::u16string& path);
bool makeFolders(const std::u16string& path);  // with missing parents
// Removes an HKEY_LOCAL_MACHINE key with its subkeys from both registry views, whichever
// the code under test wrote.
void deleteMachineKeyInBothViews(const std::wstring& key);

// Sets an environment variable for the test's lifetime, then restores it.
class EnvironmentOverride {
public:
    EnvironmentOverride(const wchar_t* name, const wchar_t* value);
    ~EnvironmentOverride();
    EnvironmentOverride(const EnvironmentOverride&) = delete;
    EnvironmentOverride& operator=(const EnvironmentOverride&) = delete;

private:
    std::wstring name_, old_;
    bool hadOld_;
};

// "platform_tests.exe --dll-probe=..." runs as this child instead of the tests.
int runDllProbe(const std::wstring& mode);
