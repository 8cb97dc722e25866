// In-memory Windows for unit tests: resources, registry, files, processes and the answers
// of the system queries are plain containers the test fills; message boxes, help
// requests and folder dialogs are recorded or answered by script.
#pragma once

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "config/scramble.h"
#include "platform/platform.h"
#include "platform/strings.h"

class FakeSystem : public platform::System {
public:
    using Root = platform::RegRoot;
    struct RegValue {
        bool isDword = false;
        std::uint32_t dword = 0;
        std::u16string text;
    };
    using KeyName = std::pair<Root, std::u16string>;

    // ---- what the test sets up ----
    std::map<std::u16string, std::vector<unsigned char>> resources;  // as the launcher carries them
    std::map<KeyName, std::map<std::u16string, RegValue>> registry;  // one view: the fake has no WOW64
    std::map<std::u16string, std::vector<unsigned char>> files;      // full path -> contents
    std::set<std::u16string> folders;
    std::set<std::u16string> unwritableFolders;  // targets there cannot be created
    std::map<std::u16string, std::map<std::u16string, std::u16string>> versionStrings;  // path -> name -> text
    std::map<std::u16string, int> productStates;                                        // product guid -> state
    std::map<std::u16string, int> featureStates;                                        // guid + "/" + feature -> state
    std::map<std::u16string, std::u16string> componentPaths;  // product + "/" + component -> path
    std::map<std::u16string, std::u16string> environment;
    std::vector<platform::ProcessEntry> processes;
    // Authenticode signatures by path; a file not listed is unsigned.
    std::map<std::u16string, platform::FileSignature> signatures;
    // Answers runProcess; by default every command succeeds.
    std::function<std::uint32_t(const std::u16string&, std::uint32_t)> onRunProcess = [](const std::u16string&,
                                                                                         std::uint32_t) { return 0u; };
    bool startFails = false;  // runAndWait and startProcess cannot start anything
    std::u16string ownCommandLine = u"\"D:\\setup.exe\"";
    std::u16string exePath = u"D:\\setup.exe";
    std::u16string temp = u"C:\\Temp";
    std::u16string system32 = u"C:\\Windows\\system32";
    std::u16string windows = u"C:\\Windows";
    std::u16string commonStartMenu = u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu";
    std::u16string documents = u"C:\\Users\\u\\Documents";
    std::u16string desktop = u"C:\\Users\\u\\Desktop";
    std::u16string commonDesktop = u"C:\\Users\\Public\\Desktop";
    std::u16string programs = u"C:\\Users\\u\\Start Menu\\Programs";
    std::u16string commonPrograms = u"C:\\ProgramData\\Start Menu\\Programs";
    std::map<std::u16string, std::u16string> shortNames;  // long path -> its 8.3 form
    std::u16string appData = u"C:\\Users\\u\\AppData\\Roaming";
    std::u16string localAppData = u"C:\\Users\\u\\AppData\\Local";
    std::u16string programFiles = u"C:\\Program Files";
    std::u16string programFilesX86 = u"C:\\Program Files (x86)";
    int osVersion = 61;
    int uiLocale = 0x0409;
    bool administrator = true;
    bool process64 = false;  // the shipped launcher is a 32-bit program
    bool otherInstanceRunning = false;
    // Files: their attributes and time stamps, what fails, and the room on the volume.
    std::map<std::u16string, platform::FileStatus> fileStatus;
    std::set<std::u16string> unreadableFiles;           // cannot be opened for reading
    std::set<std::u16string> lockedFiles;               // in use: cannot be deleted or written
    std::map<std::u16string, std::size_t> writeLimits;  // path -> bytes it takes before writes fail
    std::set<std::u16string> failingCloses;             // close reports lost data
    std::optional<std::uint64_t> freeBytes;             // none: the volume cannot be asked
    std::uint64_t clock = 1000;                         // ms; moves only through sleepMs and runProcess
    platform::LocalTime now{2026, 12, 11, 8, 5, 9};
    std::uint32_t processRunMs = 0;  // how long each runProcess takes
    // HTTP: each request is answered by onHttp (by default a 404).
    struct HttpReply {
        int status = 200;
        std::optional<std::u16string> contentLength;  // none: the header is missing
        std::string body;
        bool openFails = false;
        bool stalls = false;                            // nothing comes: the request fails (time-out, or stopWaiting)
        std::size_t failReadAfter = std::string::npos;  // reads fail once this many bytes went
    };
    std::function<HttpReply(const std::u16string& url)> onHttp = [](const std::u16string&) {
        HttpReply reply;
        reply.status = 404;
        return reply;
    };
    bool httpSessionFails = false;

    // ---- what the code under test did ----
    std::u16string currentFolder;
    std::vector<std::u16string> deletedFiles;
    std::vector<std::u16string> commandLines;
    std::vector<std::u16string> runFolders;                          // runProcess: the working folder asked for
    std::vector<std::pair<std::u16string, std::u16string>> started;  // startProcess: command line, folder
    std::vector<std::uint32_t> terminated;
    // A shortcut as written; a part not given is none.
    struct RecordedLink {
        std::u16string target;
        std::optional<std::u16string> arguments, description, workingFolder;
    };
    std::map<std::u16string, RecordedLink> links;
    int comInitCount = 0;
    std::vector<std::uint32_t> sleeps;
    std::vector<std::pair<std::u16string, platform::FileOpen>> opened;
    std::vector<std::u16string> httpRequests;
    std::vector<std::string> httpStalls;  // how each stalled request ended
    std::u16string httpAgent;
    bool commonControlsInitialised = false;

    // ---- set-up helpers ----
    void setSettings(const std::string& xml) {
        std::vector<unsigned char> bytes(xml.begin(), xml.end());
        scrambleBytes(bytes.data(), bytes.size());
        resources[u"SETTINGS"] = bytes;
    }
    void addFile(const std::u16string& path, const std::string& contents = "") {
        files[path] = std::vector<unsigned char>(contents.begin(), contents.end());
    }
    void setString(Root root, const std::u16string& key, const std::u16string& name, const std::u16string& text) {
        registry[{root, key}][name] = RegValue{false, 0, text};
    }
    // A value as the code under test left it: its text, "dword:N", or "<none>".
    std::u16string value(Root root, const std::u16string& key, const std::u16string& name) const {
        const RegValue* v = nullptr;
        if (find(root, key, name, v) != platform::kRegOk) return u"<none>";
        return v->isDword ? u"dword:" + utf8ToWide(std::to_string(v->dword)) : v->text;
    }
    void setDword(Root root, const std::u16string& key, const std::u16string& name, std::uint32_t value) {
        registry[{root, key}][name] = RegValue{true, value, {}};
    }
    void setWindows64(bool on) {
        const std::u16string key = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
        setString(Root::LocalMachine, key, u"ProgramFilesDir", u"C:\\Program Files");
        if (on) setString(Root::LocalMachine, key, u"ProgramFilesDir (x86)", u"C:\\Program Files (x86)");
        else registry[{Root::LocalMachine, key}].erase(u"ProgramFilesDir (x86)");
    }
    FakeSystem() { setWindows64(true); }
    // Commands run as xcopy would: the file is copied into the target folder, which is
    // created on the way unless it is unwritable; exit code 4 when that fails.
    void copyLikeXcopy() {
        onRunProcess = [this](const std::u16string& line, std::uint32_t) -> std::uint32_t {
            const std::u16string tool = u"xcopy.exe\" \"";
            const auto from = line.find(tool);
            if (from == std::u16string::npos) return 0;
            const auto sourceStart = from + tool.size();
            const auto sourceEnd = line.find(u"\" \"", sourceStart);
            const auto targetEnd = line.find(u"\\\" /H", sourceEnd);
            if (sourceEnd == std::u16string::npos || targetEnd == std::u16string::npos) return 4;
            const std::u16string source = line.substr(sourceStart, sourceEnd - sourceStart);
            const std::u16string folder = line.substr(sourceEnd + 3, targetEnd - sourceEnd - 3);
            if (unwritableFolders.count(folder)) return 4;
            folders.insert(folder);
            return copyFile(source, folder + u"\\" + source.substr(source.rfind(u'\\') + 1)) == 0 ? 0 : 4;
        };
    }

    // ---- platform::System ----
    void initCommonControls() override { commonControlsInitialised = true; }
    void initCom() override { ++comInitCount; }
    void uninitCom() override { --comInitCount; }
    bool claimSingleInstance() override { return !otherInstanceRunning; }

    std::vector<unsigned char> loadCustomResource(const std::u16string& name, int& error) override {
        auto it = resources.find(name);
        if (it == resources.end()) {
            error = platform::kResourceNotFound;
            return {};
        }
        if (it->second.empty()) {
            error = platform::kResourceEmpty;
            return {};
        }
        error = platform::kResourceOk;
        return it->second;
    }
    platform::ResourceView customResourceView(const std::u16string& name, int& error) override {
        auto it = resources.find(name);
        error = it == resources.end() ? platform::kResourceNotFound
                : it->second.empty()  ? platform::kResourceEmpty
                                      : platform::kResourceOk;
        if (error != platform::kResourceOk) return {};
        return {it->second.data(), it->second.size()};
    }
    std::u16string launcherPath() override { return exePath; }

    int regReadDword(Root root, const std::u16string& key, const std::u16string& name, std::uint32_t& value) override {
        const RegValue* v = nullptr;
        if (int r = find(root, key, name, v)) return r;
        if (!v->isDword) return platform::kRegWrongType;
        value = v->dword;
        return platform::kRegOk;
    }
    int regReadString(Root root, const std::u16string& key, const std::u16string& name, std::u16string& value,
                      std::size_t maxBytes) override {
        const RegValue* v = nullptr;
        if (int r = find(root, key, name, v)) return r;
        if (v->isDword) return platform::kRegWrongType;
        if ((v->text.size() + 1) * 2 > maxBytes) return platform::kRegNoValue;  // too big for the buffer
        value = v->text;
        return platform::kRegOk;
    }
    int regReadString64(Root root, const std::u16string& key, const std::u16string& name, std::u16string& value,
                        std::size_t maxBytes) override {
        return regReadString(root, key, name, value, maxBytes);
    }
    int regWriteDword(Root root, const std::u16string& key, const std::u16string& name, std::uint32_t value) override {
        setDword(root, key, name, value);
        return platform::kRegOk;
    }
    int regWriteString(Root root, const std::u16string& key, const std::u16string& name,
                       const std::u16string* text) override {
        if (!text) return platform::kRegWrongType;
        setString(root, key, name, *text);
        return platform::kRegOk;
    }
    int regWriteString32(Root root, const std::u16string& key, const std::u16string& name,
                         const std::u16string* text) override {
        return regWriteString(root, key, name, text);
    }
    int regDeleteValue(Root root, const std::u16string& key, const std::u16string& name) override {
        auto k = registry.find({root, key});
        if (k == registry.end()) return platform::kRegNoKey;
        return k->second.erase(name) ? platform::kRegOk : platform::kRegNoValue;
    }
    int regDeleteKeyTree(Root root, const std::u16string& key) override {
        bool found = false;
        for (auto it = registry.begin(); it != registry.end();) {
            const bool below =
                it->first.first == root && (it->first.second == key || it->first.second.rfind(key + u"\\", 0) == 0);
            if (below) {
                it = registry.erase(it);
                found = true;
            } else ++it;
        }
        return found ? platform::kRegOk : platform::kRegNoKey;
    }

    bool readVersionString(const std::u16string& path, const std::u16string& name, std::u16string& value) override {
        auto file = versionStrings.find(path);
        if (file == versionStrings.end()) return false;
        auto it = file->second.find(name);
        if (it == file->second.end()) return false;
        value = it->second;
        return true;
    }
    platform::FileSignature fileSignature(const std::u16string& path) override {
        auto it = signatures.find(path);
        return it == signatures.end() ? platform::FileSignature{} : it->second;
    }
    int osVersionNumber() override { return osVersion; }
    bool isAdministrator() override { return administrator; }
    bool is64BitProcess() override { return process64; }
    int systemUiLocale() override { return uiLocale; }
    std::u16string systemFolder() override { return system32; }
    std::u16string windowsFolder() override { return windows; }
    std::u16string commonStartMenuFolder() override { return commonStartMenu; }
    std::u16string desktopFolder(bool common) override { return common ? commonDesktop : desktop; }
    std::u16string programsFolder(bool common) override { return common ? commonPrograms : programs; }
    std::u16string documentsFolder() override { return documents; }
    std::u16string appDataFolder() override { return appData; }
    std::u16string localAppDataFolder() override { return localAppData; }
    std::u16string programFilesFolder(bool for32BitPrograms) override {
        return for32BitPrograms ? programFilesX86 : programFiles;
    }
    int msiProductState(const std::u16string& guid) override {
        auto it = productStates.find(guid);
        return it == productStates.end() ? platform::kInstallStateUnknown : it->second;
    }
    int msiFeatureState(const std::u16string& guid, const std::u16string& feature) override {
        auto it = featureStates.find(guid + u"/" + feature);
        return it == featureStates.end() ? platform::kInstallStateUnknown : it->second;
    }
    int msiComponentPath(const std::u16string& product, const std::u16string& component,
                         std::u16string& path) override {
        auto it = componentPaths.find(product + u"/" + component);
        if (it == componentPaths.end()) return platform::kInstallStateUnknown;
        path = it->second;
        return platform::kInstallStateLocal;
    }
    bool createShellLink(const std::u16string& linkPath, const platform::ShellLink& link) override {
        auto given = [](const std::u16string* text) {
            return text ? std::optional<std::u16string>(*text) : std::nullopt;
        };
        links[linkPath] = {link.target, given(link.arguments), given(link.description), given(link.workingFolder)};
        addFile(linkPath, "link");
        return true;
    }

    std::u16string tempFolder() override { return temp; }
    bool setCurrentFolder(const std::u16string& path) override {
        currentFolder = path;
        return true;
    }
    // Search names arrive with their long-path prefix; the fake stores plain paths.
    bool findFirstFile(const std::u16string& searchName) override { return exists(plain(searchName)); }
    bool hasAttributes(const std::u16string& path) override { return exists(plain(path)); }
    long long fileSize(const std::u16string& path) override {
        auto it = files.find(path);
        return it == files.end() ? -1 : static_cast<long long>(it->second.size());
    }
    bool readWholeFile(const std::u16string& path, std::vector<unsigned char>& bytes) override {
        auto it = files.find(path);
        if (it == files.end()) return false;
        bytes = it->second;
        return true;
    }
    int copyFile(const std::u16string& source, const std::u16string& target) override {
        auto it = files.find(source);
        if (it == files.end()) return -1;
        if (!writable(target)) return -2;
        files[target] = it->second;
        return 0;
    }
    bool createEmptyFile(const std::u16string& path) override {
        if (!writable(path)) return false;
        files[path] = {};
        return true;
    }
    bool writeWholeFile(const std::u16string& path, const std::vector<unsigned char>& bytes) override {
        if (!writable(path)) return false;
        files[path] = bytes;
        return true;
    }
    // The Windows INI reader's rules: first matching section and key in any letter case,
    // blanks around names and values dropped, one pair of enclosing quotes removed, ANSI
    // text or UTF-16LE after a byte-order mark.
    std::u16string readIniString(const std::u16string& file, const std::u16string& section, const std::u16string& key,
                                 const std::u16string& defaultValue, std::size_t maxChars) override {
        const std::u16string path = file.find(u'\\') == std::u16string::npos ? windows + u"\\" + file : file;
        auto cut = [maxChars](std::u16string text) {
            if (maxChars == 0) return std::u16string();
            if (text.size() > maxChars - 1) text.resize(maxChars - 1);
            return text;
        };
        auto it = files.find(path);
        if (it == files.end()) return cut(defaultValue);
        const std::u16string text = iniText(it->second);
        bool inSection = false;
        std::size_t at = 0;
        while (at < text.size()) {
            std::size_t end = text.find_first_of(u"\r\n", at);
            if (end == std::u16string::npos) end = text.size();
            const std::u16string line = trimmed(text.substr(at, end - at));
            at = end + 1;
            if (!line.empty() && line.front() == u'[') {
                const auto close = line.find(u']');
                inSection = close != std::u16string::npos &&
                            equalsIgnoringAsciiCase(trimmed(line.substr(1, close - 1)), section);
                continue;
            }
            const auto equals = line.find(u'=');
            if (!inSection || equals == std::u16string::npos ||
                !equalsIgnoringAsciiCase(trimmed(line.substr(0, equals)), key))
                continue;
            std::u16string value = trimmed(line.substr(equals + 1));
            if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
                value = value.substr(1, value.size() - 2);
            return cut(value);
        }
        return cut(defaultValue);
    }
    bool deleteFile(const std::u16string& path) override {
        deletedFiles.push_back(path);
        if (!writable(path) || lockedFiles.count(path)) return false;
        fileStatus.erase(path);
        return files.erase(path) != 0;
    }
    std::unique_ptr<platform::File> openFile(const std::u16string& path, platform::FileOpen how) override {
        opened.emplace_back(path, how);
        if (how == platform::FileOpen::Read) {
            if (!files.count(path) || unreadableFiles.count(path)) return nullptr;
            return std::make_unique<FakeFile>(*this, path, false);
        }
        if (!writable(path) || lockedFiles.count(path) || (how == platform::FileOpen::CreateNew && files.count(path)))
            return nullptr;
        auto status = fileStatus.find(path);
        if (status != fileStatus.end() && (status->second.attributes & platform::kAttributeReadOnly)) return nullptr;
        files[path].clear();
        return std::make_unique<FakeFile>(*this, path, true);
    }
    bool readFileStatus(const std::u16string& path, platform::FileStatus& status) override {
        if (!files.count(path)) return false;
        auto it = fileStatus.find(path);
        status = it == fileStatus.end() ? platform::FileStatus{platform::kAttributeNormal, 0, 0, 0} : it->second;
        return true;
    }
    bool writeFileStatus(const std::u16string& path, const platform::FileStatus& status) override {
        if (!files.count(path)) return false;
        fileStatus[path] = status;
        return true;
    }
    std::optional<std::uint64_t> freeDiskBytes(const std::u16string&) override { return freeBytes; }
    // Supports the patterns the launcher uses: "*", "*.ext" and exact names.
    std::vector<platform::FolderEntry> findFiles(const std::u16string& pattern) override {
        const auto cut = pattern.rfind(u'\\');
        const std::u16string folder = pattern.substr(0, cut), mask = pattern.substr(cut + 1);
        std::vector<platform::FolderEntry> found;
        auto matches = [&](const std::u16string& name) {
            if (mask == u"*" || mask == u"*.*") return true;
            if (mask.size() > 1 && mask[0] == u'*')
                return name.size() >= mask.size() - 1 &&
                       name.compare(name.size() - (mask.size() - 1), mask.size() - 1, mask.substr(1)) == 0;
            return name == mask;
        };
        for (const auto& [path, bytes] : files) {
            if (path.size() > folder.size() + 1 && path.compare(0, folder.size() + 1, folder + u"\\") == 0 &&
                path.find(u'\\', folder.size() + 1) == std::u16string::npos && matches(path.substr(folder.size() + 1)))
                found.push_back({path.substr(folder.size() + 1), false, bytes.size()});
        }
        for (const auto& path : folders) {
            if (path.size() > folder.size() + 1 && path.compare(0, folder.size() + 1, folder + u"\\") == 0 &&
                path.find(u'\\', folder.size() + 1) == std::u16string::npos && matches(path.substr(folder.size() + 1)))
                found.push_back({path.substr(folder.size() + 1), true, 0});
        }
        return found;
    }
    // Tests use ASCII and Latin-1 logs.
    std::u16string ansiToWide(const std::string& bytes) override {
        std::u16string out;
        for (unsigned char c : bytes) out.push_back(c);
        return out;
    }
    bool environmentVariable(const std::u16string& name, std::u16string& value) override {
        auto it = environment.find(name);
        if (it == environment.end()) return false;
        value = it->second;
        return true;
    }

    std::uint32_t doRunProcess(const std::u16string& commandLine, std::uint32_t limitMs,
                               const std::u16string& folder) override {
        commandLines.push_back(commandLine);
        runFolders.push_back(folder);
        clock += processRunMs;
        return onRunProcess(commandLine, limitMs);
    }
    bool doRunAndWait(const std::u16string& commandLine, std::uint32_t& exitCode) override {
        if (startFails) return false;
        exitCode = doRunProcess(commandLine, 0xFFFFFFFFu, u"");
        return true;
    }
    bool doStartProcess(const std::u16string& commandLine, const std::u16string& folder) override {
        if (startFails) return false;
        started.push_back({commandLine, folder});
        return true;
    }
    std::u16string commandLine() override { return ownCommandLine; }
    std::u16string longPathName(const std::u16string& path) override { return path; }
    std::u16string shortPathName(const std::u16string& path) override {
        auto it = shortNames.find(path);
        return it == shortNames.end() ? path : it->second;
    }
    bool createFolder(const std::u16string& path) override {
        if (!writable(path)) return folders.count(path) > 0;
        folders.insert(path);
        return true;
    }
    std::vector<platform::ProcessEntry> listProcesses() override { return processes; }
    void terminateProcess(std::uint32_t id) override { terminated.push_back(id); }
    std::unique_ptr<platform::HttpSession> openHttpSession(const std::u16string& agent,
                                                           std::function<bool()> stopWaiting) override {
        httpAgent = agent;
        if (httpSessionFails) return nullptr;
        return std::make_unique<FakeHttpSession>(*this, std::move(stopWaiting));
    }
    std::uint64_t clockMs() override { return clock; }
    platform::LocalTime localTime() override { return now; }
    void sleepMs(std::uint32_t ms) override {
        sleeps.push_back(ms);
        clock += ms;
    }

private:
    // Reads and writes the fake's file contents in place, so a test sees what a failed
    // write left behind.
    class FakeFile : public platform::File {
    public:
        FakeFile(FakeSystem& system, std::u16string path, bool writing)
            : system_(system), path_(std::move(path)), writing_(writing) {}
        bool read(unsigned char* buffer, std::size_t size, std::size_t& got) override {
            const std::vector<unsigned char>& bytes = system_.files[path_];
            got = writing_ ? 0 : std::min(size, bytes.size() - position_);
            std::copy(bytes.begin() + static_cast<std::ptrdiff_t>(position_),
                      bytes.begin() + static_cast<std::ptrdiff_t>(position_ + got), buffer);
            position_ += got;
            return !writing_;
        }
        bool write(const unsigned char* data, std::size_t size) override {
            std::vector<unsigned char>& bytes = system_.files[path_];
            auto limit = system_.writeLimits.find(path_);
            if (!writing_ || (limit != system_.writeLimits.end() && bytes.size() + size > limit->second)) return false;
            bytes.insert(bytes.end(), data, data + size);
            return true;
        }
        bool close() override { return !system_.failingCloses.count(path_); }

    private:
        FakeSystem& system_;
        std::u16string path_;
        bool writing_;
        std::size_t position_ = 0;
    };

    class FakeHttpResponse : public platform::HttpResponse {
    public:
        explicit FakeHttpResponse(HttpReply reply) : reply_(std::move(reply)) {}
        int statusCode() override { return reply_.status; }
        bool contentLength(std::u16string& text) override {
            if (!reply_.contentLength) return false;
            text = *reply_.contentLength;
            return true;
        }
        bool read(unsigned char* buffer, std::size_t size, std::size_t& got) override {
            got = 0;
            if (position_ >= reply_.failReadAfter) return false;
            got = std::min({size, reply_.body.size() - position_, reply_.failReadAfter - position_});
            std::copy(reply_.body.begin() + static_cast<std::ptrdiff_t>(position_),
                      reply_.body.begin() + static_cast<std::ptrdiff_t>(position_ + got), buffer);
            position_ += got;
            return true;
        }

    private:
        HttpReply reply_;
        std::size_t position_ = 0;
    };
    class FakeHttpSession : public platform::HttpSession {
    public:
        FakeHttpSession(FakeSystem& system, std::function<bool()> stopWaiting)
            : system_(system), stopWaiting_(std::move(stopWaiting)) {}
        std::unique_ptr<platform::HttpResponse> open(const std::u16string& url) override {
            system_.httpRequests.push_back(url);
            HttpReply reply = system_.onHttp(url);
            if (reply.stalls) {
                system_.httpStalls.push_back(stopWaiting_ && stopWaiting_() ? "stopped waiting" : "timed out");
                return nullptr;
            }
            if (reply.openFails) return nullptr;
            return std::make_unique<FakeHttpResponse>(std::move(reply));
        }

    private:
        FakeSystem& system_;
        std::function<bool()> stopWaiting_;
    };

    int find(Root root, const std::u16string& key, const std::u16string& name, const RegValue*& value) const {
        auto k = registry.find({root, key});
        if (k == registry.end()) return platform::kRegNoKey;
        auto v = k->second.find(name);
        if (v == k->second.end()) return platform::kRegNoValue;
        value = &v->second;
        return platform::kRegOk;
    }
    static std::u16string plain(const std::u16string& name) {
        if (name.rfind(u"\\\\?\\UNC", 0) == 0) return u"\\" + name.substr(7);
        if (name.rfind(u"\\\\?\\", 0) == 0) return name.substr(4);
        return name;
    }
    static std::u16string trimmed(const std::u16string& text) {
        const auto first = text.find_first_not_of(u" \t");
        if (first == std::u16string::npos) return {};
        return text.substr(first, text.find_last_not_of(u" \t") - first + 1);
    }
    std::u16string iniText(const std::vector<unsigned char>& bytes) {
        if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
            std::u16string text;
            for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
                text.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
            return text;
        }
        return ansiToWide(std::string(bytes.begin(), bytes.end()));
    }
    bool exists(const std::u16string& path) const { return files.count(path) || folders.count(path); }
    bool writable(const std::u16string& path) const {
        const auto cut = path.rfind(u'\\');
        return cut == std::u16string::npos || !unwritableFolders.count(path.substr(0, cut));
    }
};

struct RecordedMessage {
    std::u16string text;
    std::u16string caption;
    platform::MessageKind kind;
};

class FakeUi : public platform::Ui {
public:
    std::vector<RecordedMessage> messages;
    std::vector<std::u16string> helpTopicsShown;
    platform::MessageAnswer answer = platform::MessageAnswer::Ok;
    // The folder the user picks in the folder browser; empty means Cancel.
    std::u16string browseAnswer;

    platform::MessageAnswer messageBox(const std::u16string& text, const std::u16string& caption,
                                       platform::MessageKind kind) override {
        messages.push_back({text, caption, kind});
        return answer;
    }
    void showHtmlHelp(const std::u16string& url) override { helpTopicsShown.push_back(url); }
    bool browseForFolder(std::uintptr_t, const std::u16string*, const std::u16string&, unsigned, bool,
                         std::u16string& path) override {
        path = browseAnswer;
        return !path.empty();
    }

    // Pages shown, and the user's answers: each answer may change the page's outputs and
    // returns the result word. Without a scripted answer a page is cancelled.
    std::vector<platform::PageModel> pagesShown;
    std::deque<std::function<std::string(platform::PageModel&)>> pageAnswers;
    void answerPage(const std::string& word) {
        pageAnswers.push_back([word](platform::PageModel&) { return word; });
    }
    // pagesShown holds each page as it was handed over, before the user's answer.
    std::string showPage(platform::PageModel& page) override {
        pagesShown.push_back(page);
        if (pageAnswers.empty()) return "cancel";
        const std::string word = pageAnswers.front()(page);
        pageAnswers.pop_front();
        return word;
    }
};
