// The one seam between the portable core and the operating system. Everything above
// this header is plain C++ that builds and is unit tested on Linux; platform/win32/ is
// the real implementation and tests/unit/fakes/ the in-memory one. The interface holds
// the primitive operations; the decisions built on them (which registry values make a
// runtime "installed", how a command line is quoted, what a log line means) are portable
// code in platform/*.cpp, so the unit tests check them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/page_model.h"

namespace platform {

enum class RegRoot { LocalMachine, CurrentUser, ClassesRoot, Users };

// Results of the registry helpers.
constexpr int kRegOk = 0;
constexpr int kRegNoKey = -1;
constexpr int kRegNoValue = -2;
constexpr int kRegWrongType = -3;  // reads: another value type; writes: no data given

// Results of loadCustomResource.
constexpr int kResourceOk = 0;
constexpr int kResourceNotFound = -1;
constexpr int kResourceLoadFailed = -2;
constexpr int kResourceLockFailed = -3;
constexpr int kResourceEmpty = -4;
constexpr int kResourceNoMemory = -5;

// Windows Installer states.
constexpr int kInstallStateUnknown = -1;
constexpr int kInstallStateAbsent = 2;
constexpr int kInstallStateLocal = 3;

// A command result: the child's exit code, kStillActive when it outlived its limit, or
// the Windows error of a failed start.
constexpr std::uint32_t kStillActive = 259;

struct FolderEntry {
    std::u16string name;
    bool isFolder = false;
    std::uint64_t size = 0;
};

struct ProcessEntry {
    std::uint32_t id = 0;
    std::u16string baseName;  // of the main module
};

// A shell shortcut; empty texts and negative numbers mean "not given".
struct ShellLink {
    std::u16string target;
    const std::u16string* arguments = nullptr;
    const std::u16string* description = nullptr;
    int showCommand = 0;
    const std::u16string* workingFolder = nullptr;
    const std::u16string* iconPath = nullptr;
    int iconIndex = -1;
};

// A resource of the launcher's own file as the loader mapped it: valid for the whole
// process, never copied, so a large payload can be written out without a second copy.
struct ResourceView {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
};

// Attributes and time stamps (100 ns since 1601, as Windows keeps them) of a file.
struct FileStatus {
    std::uint32_t attributes = 0;
    std::uint64_t created = 0, accessed = 0, written = 0;
};
constexpr std::uint32_t kAttributeReadOnly = 0x1;
constexpr std::uint32_t kAttributeNormal = 0x80;

// A file's Authenticode signature as Windows checks it. Intact: the file's bytes are the
// ones signed and the signer's own signature holds. Whether the certificate leads to a
// root this machine trusts is not part of it: a caller that compares certificates is its
// own trust anchor. Broken covers everything else that is not plainly unsigned, including
// a signature that cannot be checked at all.
enum class SignatureState { Unsigned, Broken, Intact };
struct FileSignature {
    SignatureState state = SignatureState::Unsigned;
    std::vector<unsigned char> signerCertificate;  // the signer's encoded certificate, when intact
};

// How a file is opened: for reading; for writing, created or emptied; for writing, created
// new and refused when a file of that name exists (a program the launcher then runs must
// be the one it wrote).
enum class FileOpen { Read, Replace, CreateNew };

// One open file. Every call reports failure; close() tells whether the data reached it.
class File {
public:
    virtual ~File() = default;
    // got is 0 at the end of the file.
    virtual bool read(unsigned char* buffer, std::size_t size, std::size_t& got) = 0;
    // All bytes or false.
    virtual bool write(const unsigned char* data, std::size_t size) = 0;
    virtual bool close() = 0;
};

// An HTTP GET being answered: always fetched anew, never stored in the cache, binary,
// with "Accept: */*".
class HttpResponse {
public:
    virtual ~HttpResponse() = default;
    // The status code of the reply (200 ...); 0 when unknown.
    virtual int statusCode() = 0;
    // The Content-Length header as sent; false when the reply has none.
    virtual bool contentLength(std::u16string& text) = 0;
    // false when the transfer failed; got is 0 at the end of the reply.
    virtual bool read(unsigned char* buffer, std::size_t size, std::size_t& got) = 0;
};

// A session with the system's proxy configuration; requests are made one at a time.
class HttpSession {
public:
    virtual ~HttpSession() = default;
    // Null when the request could not be made.
    virtual std::unique_ptr<HttpResponse> open(const std::u16string& url) = 0;
};

class RunLog;

// The local date and time, for names that say when a run began.
struct LocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// Windows, its registry, files, processes and the launcher's own file.
class System {
public:
    virtual ~System() = default;

    // ---- process set-up ----
    virtual void initCommonControls() = 0;  // all eight classes of mask 0xFF
    virtual void initCom() = 0;             // apartment-threaded
    virtual void uninitCom() = 0;
    // Claims the launcher's single-instance name for the rest of the process; false when
    // another launcher holds it already.
    virtual bool claimSingleInstance() = 0;

    // ---- the launcher's own file ----
    // A copy of a resource of type CUSTOM; error as kResource*.
    virtual std::vector<unsigned char> loadCustomResource(const std::u16string& name, int& error) = 0;
    // The same resource in place; error as kResource* (kResourceNoMemory never).
    virtual ResourceView customResourceView(const std::u16string& name, int& error) = 0;
    virtual std::u16string launcherPath() = 0;  // full path; empty on failure

    // ---- registry (kReg* results; keys are closed before returning) ----
    // Reads open the default view and retry in the 64-bit view.
    virtual int regReadDword(RegRoot root, const std::u16string& subkey, const std::u16string& name,
                             std::uint32_t& value) = 0;
    // maxBytes is the caller's buffer; the text is terminated within it.
    virtual int regReadString(RegRoot root, const std::u16string& subkey, const std::u16string& name,
                              std::u16string& value, std::size_t maxBytes) = 0;
    virtual int regReadString64(RegRoot root, const std::u16string& subkey, const std::u16string& name,
                                std::u16string& value, std::size_t maxBytes) = 0;
    // Writes create the key: in the 64-bit view, or the 32-bit view for regWriteString32.
    virtual int regWriteDword(RegRoot root, const std::u16string& subkey, const std::u16string& name,
                              std::uint32_t value) = 0;
    virtual int regWriteString(RegRoot root, const std::u16string& subkey, const std::u16string& name,
                               const std::u16string* text) = 0;
    virtual int regWriteString32(RegRoot root, const std::u16string& subkey, const std::u16string& name,
                                 const std::u16string* text) = 0;
    virtual int regDeleteValue(RegRoot root, const std::u16string& subkey, const std::u16string& name) = 0;
    virtual int regDeleteKeyTree(RegRoot root, const std::u16string& subkey) = 0;

    // ---- versions, Windows, rights, installer ----
    // A named string of a file's version resource ("FileVersion", "ProductVersion").
    virtual bool readVersionString(const std::u16string& path, const std::u16string& name, std::u16string& value) = 0;
    // Checks the signature offline: no revocation list or certificate is fetched.
    virtual FileSignature fileSignature(const std::u16string& path) = 0;
    virtual int osVersionNumber() = 0;  // major * 10 + minor
    virtual bool isAdministrator() = 0;
    // True only in a 64-bit build, which runs on 64-bit Windows alone.
    virtual bool is64BitProcess() = 0;
    virtual int systemUiLocale() = 0;
    virtual std::u16string systemFolder() = 0;
    virtual std::u16string windowsFolder() = 0;
    virtual std::u16string commonStartMenuFolder() = 0;  // empty when unknown
    // The desktop and the start menu's programs folder, the user's own or everybody's;
    // empty when unknown.
    virtual std::u16string desktopFolder(bool common) = 0;
    virtual std::u16string programsFolder(bool common) = 0;
    virtual std::u16string documentsFolder() = 0;     // the user's documents; empty when unknown
    virtual std::u16string appDataFolder() = 0;       // the user's roaming application data
    virtual std::u16string localAppDataFolder() = 0;  // the user's local application data
    // The program files folder; on 64-bit Windows the one for 32-bit programs when asked.
    // Empty when unknown.
    virtual std::u16string programFilesFolder(bool for32BitPrograms) = 0;
    virtual int msiProductState(const std::u16string& productGuid) = 0;
    virtual int msiFeatureState(const std::u16string& productGuid, const std::u16string& feature) = 0;
    virtual int msiComponentPath(const std::u16string& productGuid, const std::u16string& componentGuid,
                                 std::u16string& path) = 0;
    virtual bool createShellLink(const std::u16string& linkPath, const ShellLink& link) = 0;

    // ---- files and folders ----
    virtual std::u16string tempFolder() = 0;  // without a trailing backslash; empty if unknown
    virtual bool setCurrentFolder(const std::u16string& path) = 0;
    // FindFirstFile of the name as given (long-path forms are the caller's business).
    virtual bool findFirstFile(const std::u16string& searchName) = 0;
    virtual bool hasAttributes(const std::u16string& path) = 0;
    // The path with every short (8.3) name spelled out; the path itself when unknown.
    virtual std::u16string longPathName(const std::u16string& path) = 0;
    // The path in its short (8.3) form; the path itself when unknown.
    virtual std::u16string shortPathName(const std::u16string& path) = 0;
    // Creates one folder: true when it exists afterwards (also when it was there).
    virtual bool createFolder(const std::u16string& path) = 0;
    virtual long long fileSize(const std::u16string& path) = 0;  // -1 when unknown
    // All of the file or false (then bytes is empty): a short read is a failure.
    virtual bool readWholeFile(const std::u16string& path, std::vector<unsigned char>& bytes) = 0;
    // Raw copy that creates or replaces the target: 0, -1 (source unreadable) or -2
    // (target cannot be created or written). A copy that fails part way removes its target.
    virtual int copyFile(const std::u16string& source, const std::u16string& target) = 0;
    virtual bool createEmptyFile(const std::u16string& path) = 0;
    // Creates or replaces the file with exactly these bytes; on failure the file is removed.
    virtual bool writeWholeFile(const std::u16string& path, const std::vector<unsigned char>& bytes) = 0;
    // A value of a Windows INI file as GetPrivateProfileStringW reads it: section and key
    // in any letter case, at most maxChars - 1 characters, defaultValue when the file,
    // section or key is missing. A bare file name is looked for in the Windows folder.
    virtual std::u16string readIniString(const std::u16string& file, const std::u16string& section,
                                         const std::u16string& key, const std::u16string& defaultValue,
                                         std::size_t maxChars) = 0;
    virtual bool deleteFile(const std::u16string& path) = 0;
    // Null when the file cannot be opened that way.
    virtual std::unique_ptr<File> openFile(const std::u16string& path, FileOpen how) = 0;
    virtual bool readFileStatus(const std::u16string& path, FileStatus& status) = 0;
    virtual bool writeFileStatus(const std::u16string& path, const FileStatus& status) = 0;
    // Bytes the caller may still write on the volume of the folder; none when unknown.
    virtual std::optional<std::uint64_t> freeDiskBytes(const std::u16string& folder) = 0;
    // The entries of a wildcard search, in the order the file system returns them.
    virtual std::vector<FolderEntry> findFiles(const std::u16string& searchPattern) = 0;
    // 8-bit text in the machine's ANSI code page.
    virtual std::u16string ansiToWide(const std::string& bytes) = 0;
    virtual bool environmentVariable(const std::u16string& name, std::u16string& value) = 0;

    // ---- processes ----
    // Every program the launcher starts goes through these three, and each run is written
    // to the attached run log: command line, folder, exit code and duration.
    // Starts a command line hidden in a new console, in that folder (the current one when
    // empty), and waits up to the limit; a child still running then is left alone.
    std::uint32_t runProcess(const std::u16string& commandLine, std::uint32_t limitMs, const std::u16string& folder);
    // Starts a program with its windows shown as it asks and waits for its end, however
    // long: false when it could not be started, otherwise its exit code.
    bool runAndWait(const std::u16string& commandLine, std::uint32_t& exitCode);
    // Starts a program in that folder (the current one when empty) and does not wait:
    // whether the process was created.
    bool startProcess(const std::u16string& commandLine, const std::u16string& folder);
    // The launcher's own command line, program path first.
    virtual std::u16string commandLine() = 0;
    virtual std::vector<ProcessEntry> listProcesses() = 0;
    virtual void terminateProcess(std::uint32_t processId) = 0;
    // ---- network ----
    // Null when no session can be opened. A request or read that waits for the server fails
    // when the server has sent nothing for the session's time-out (30 seconds), and within a
    // tenth of a second once stopWaiting() (asked while it waits) is true.
    virtual std::unique_ptr<HttpSession> openHttpSession(const std::u16string& agent,
                                                         std::function<bool()> stopWaiting) = 0;

    // Milliseconds of a clock that only moves forward, and a pause of the calling thread.
    virtual std::uint64_t clockMs() = 0;
    virtual void sleepMs(std::uint32_t ms) = 0;
    virtual LocalTime localTime() = 0;

    // ---- the run log ----
    // The log the program runs and logLine() write to; none (nullptr) drops the lines. The
    // log must outlive its attachment.
    void attachLog(RunLog* log) { log_ = log; }
    RunLog* log() const { return log_; }
    void logLine(std::u16string_view line);
    void logLine(std::string_view line);

protected:
    // What the three process calls above do, without the log.
    virtual std::uint32_t doRunProcess(const std::u16string& commandLine, std::uint32_t limitMs,
                                       const std::u16string& folder) = 0;
    virtual bool doRunAndWait(const std::u16string& commandLine, std::uint32_t& exitCode) = 0;
    virtual bool doStartProcess(const std::u16string& commandLine, const std::u16string& folder) = 0;

private:
    RunLog* log_ = nullptr;
};

// The launcher's user interface: message boxes, the help viewer, the folder browser and
// the wizard pages.
enum class MessageKind { Error, Warning, Question, Information, Plain };
enum class MessageAnswer { Ok, Yes, No, Cancel };

constexpr unsigned kBrowseDefaultFlags = 0x41;  // BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE
constexpr unsigned kBrowseNoNewFolder = 0x200;  // BIF_NONEWFOLDERBUTTON

class Ui {
public:
    virtual ~Ui() = default;
    virtual MessageAnswer messageBox(const std::u16string& text, const std::u16string& caption, MessageKind kind) = 0;
    // Opens "file.chm::/page.htm" in the HTML Help viewer; silently nothing when the
    // viewer is missing.
    virtual void showHtmlHelp(const std::u16string& topicUrl) = 0;
    // The folder-selection dialog; false with an empty path when cancelled or when the
    // choice is not a file-system folder. owner is a window handle or 0.
    virtual bool browseForFolder(std::uintptr_t owner, const std::u16string* initialFolder, const std::u16string& title,
                                 unsigned flags, bool initialiseCom, std::u16string& path) = 0;
    // Shows a wizard page modally. Returns its result word ("next", "back", "cancel",
    // "button1", "button2", "button4", "option1", "option2"), or an empty word when the
    // page ended without one (Enter on a page without a default button).
    virtual std::string showPage(PageModel& page) = 0;
};

}  // namespace platform
