// The one seam between the portable core and the operating system. Everything above
// this header is plain C++ that builds and is unit tested on Linux; platform/win32/ is
// the real implementation and tests/unit/fakes/ the in-memory one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

enum class RegRoot { LocalMachine, CurrentUser, ClassesRoot, Users };

// Results of the registry helpers.
constexpr int kRegOk = 0;
constexpr int kRegNoKey = -1;
constexpr int kRegNoValue = -2;
constexpr int kRegWrongType = -3;

// Results of loadCustomResource.
constexpr int kResourceOk = 0;
constexpr int kResourceNotFound = -1;
constexpr int kResourceLoadFailed = -2;
constexpr int kResourceLockFailed = -3;
constexpr int kResourceEmpty = -4;
constexpr int kResourceNoMemory = -5;

// Windows, its registry and the launcher's own file, as the core needs them.
class System {
public:
    virtual ~System() = default;

    // Registers the common-control classes and initialises COM for this thread.
    virtual void initCommonControls() = 0;
    virtual void initCom() = 0;
    virtual void uninitCom() = 0;

    // A copy of a resource of type CUSTOM of the launcher's own file; error as kResource*.
    virtual std::vector<unsigned char> loadCustomResource(const std::u16string& name,
                                                          int& error) = 0;

    // String value of the default view with a retry in the 64-bit view; kReg* result.
    // maxBytes bounds the value the caller accepts, as the Win32 buffer size would.
    virtual int regReadString(RegRoot root, const std::u16string& subkey,
                              const std::u16string& valueName, std::u16string& value,
                              std::size_t maxBytes) = 0;

    // A named string of a file's version resource ("FileVersion", "ProductVersion").
    virtual bool readVersionString(const std::u16string& path, const std::u16string& name,
                                   std::u16string& value) = 0;

    // Windows version as major * 10 + minor.
    virtual int osVersionNumber() = 0;
    virtual bool isAdministrator() = 0;
    virtual int systemUiLocale() = 0;

    // Windows Installer feature state of an installed product is "local".
    virtual bool isFeatureInstalledLocally(const std::u16string& productGuid,
                                           const std::u16string& feature) = 0;

    // Claims the launcher's single-instance name for the rest of the process; false when
    // another launcher holds it already.
    virtual bool claimSingleInstance() = 0;

    // Paths and files.
    virtual std::u16string launcherPath() = 0;
    virtual std::u16string tempFolder() = 0;
    virtual bool setCurrentFolder(const std::u16string& path) = 0;
    virtual bool fileExists(const std::u16string& path) = 0;
    virtual bool readWholeFile(const std::u16string& path, std::vector<unsigned char>& bytes) = 0;
    virtual bool deleteFile(const std::u16string& path) = 0;
    // Raw copy that creates or replaces the target: 0, -1 (source unreadable) or -2
    // (target cannot be created).
    virtual int copyFile(const std::u16string& source, const std::u16string& target) = 0;
};

// Message boxes: the launcher's only feedback outside the wizard pages.
enum class MessageKind { Error, Warning, Question, Information };
enum class MessageAnswer { Ok, Yes, No, Cancel };

class Ui {
public:
    virtual ~Ui() = default;
    virtual MessageAnswer messageBox(const std::u16string& text, const std::u16string& caption,
                                     MessageKind kind) = 0;
    // Opens "file.chm::/page.htm" in the HTML Help viewer; silently nothing when the
    // viewer is missing.
    virtual void showHtmlHelp(const std::u16string& topicUrl) = 0;
};

}  // namespace platform
