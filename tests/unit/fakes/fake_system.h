// In-memory Windows for unit tests: resources, registry strings, files and the answers
// of the system queries are plain maps the test fills; message boxes are recorded.
#pragma once

#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "config/scramble.h"
#include "platform/platform.h"

class FakeSystem : public platform::System {
public:
    // Resource bytes are stored as the launcher would carry them.
    std::map<std::u16string, std::vector<unsigned char>> resources;
    std::map<std::tuple<platform::RegRoot, std::u16string, std::u16string>, std::u16string> registryStrings;
    std::map<std::u16string, std::vector<unsigned char>> files;  // full path -> contents
    std::map<std::u16string, std::u16string> productVersions;    // path -> "ProductVersion"
    std::set<std::u16string> locallyInstalledFeatures;
    std::u16string exePath = u"D:\\setup.exe";
    std::u16string temp = u"C:\\Temp";
    std::u16string currentFolder;
    std::vector<std::u16string> deletedFiles;
    int osVersion = 61;
    int uiLocale = 0x0409;
    bool administrator = true;
    bool otherInstanceRunning = false;
    bool windows64 = true;
    int comInitCount = 0;
    bool commonControlsInitialised = false;

    void setSettings(const std::string& xml) {
        std::vector<unsigned char> bytes(xml.begin(), xml.end());
        scrambleBytes(bytes.data(), bytes.size());
        resources[u"SETTINGS"] = bytes;
    }
    void addFile(const std::u16string& path, const std::string& contents = "") {
        files[path] = std::vector<unsigned char>(contents.begin(), contents.end());
    }

    void initCommonControls() override { commonControlsInitialised = true; }
    void initCom() override { ++comInitCount; }
    void uninitCom() override { --comInitCount; }

    std::vector<unsigned char> loadCustomResource(const std::u16string& name, int& error) override {
        auto it = resources.find(name);
        if (it == resources.end()) { error = platform::kResourceNotFound; return {}; }
        if (it->second.empty()) { error = platform::kResourceEmpty; return {}; }
        error = platform::kResourceOk;
        return it->second;
    }

    int regReadString(platform::RegRoot root, const std::u16string& subkey, const std::u16string& name,
                      std::u16string& value, std::size_t maxBytes) override {
        if (root == platform::RegRoot::LocalMachine &&
            subkey == u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion") {
            if (name == u"ProgramFilesDir") { value = u"C:\\Program Files"; return 0; }
            if (name == u"ProgramFilesDir (x86)" && windows64) { value = u"C:\\Program Files (x86)"; return 0; }
        }
        auto it = registryStrings.find({root, subkey, name});
        if (it == registryStrings.end()) return platform::kRegNoKey;
        if ((it->second.size() + 1) * 2 > maxBytes) return platform::kRegNoValue;
        value = it->second;
        return platform::kRegOk;
    }

    bool readVersionString(const std::u16string& path, const std::u16string& name,
                           std::u16string& value) override {
        auto it = productVersions.find(path);
        if (name != u"ProductVersion" || it == productVersions.end()) return false;
        value = it->second;
        return true;
    }

    int osVersionNumber() override { return osVersion; }
    bool isAdministrator() override { return administrator; }
    int systemUiLocale() override { return uiLocale; }
    bool isFeatureInstalledLocally(const std::u16string& guid, const std::u16string& feature) override {
        return locallyInstalledFeatures.count(guid + u"/" + feature) != 0;
    }
    bool claimSingleInstance() override { return !otherInstanceRunning; }

    std::u16string launcherPath() override { return exePath; }
    std::u16string tempFolder() override { return temp; }
    bool setCurrentFolder(const std::u16string& path) override { currentFolder = path; return true; }
    bool fileExists(const std::u16string& path) override { return files.count(path) != 0; }
    bool readWholeFile(const std::u16string& path, std::vector<unsigned char>& bytes) override {
        auto it = files.find(path);
        if (it == files.end()) return false;
        bytes = it->second;
        return true;
    }
    bool deleteFile(const std::u16string& path) override {
        deletedFiles.push_back(path);
        return files.erase(path) != 0;
    }
    // Targets in folders listed here cannot be created.
    std::set<std::u16string> unwritableFolders;
    int copyFile(const std::u16string& source, const std::u16string& target) override {
        auto it = files.find(source);
        if (it == files.end()) return -1;
        const auto cut = target.rfind(u'\\');
        if (cut != std::u16string::npos && unwritableFolders.count(target.substr(0, cut))) return -2;
        files[target] = it->second;
        return 0;
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

    void showHtmlHelp(const std::u16string& url) override { helpTopicsShown.push_back(url); }

    platform::MessageAnswer messageBox(const std::u16string& text, const std::u16string& caption,
                                       platform::MessageKind kind) override {
        messages.push_back({text, caption, kind});
        return answer;
    }
};
