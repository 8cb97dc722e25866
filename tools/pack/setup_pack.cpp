// setup-pack: turns a product's settings document into what the launcher embeds.
//   setup-pack <settings.xml> <product-folder> <output-folder> <version a.b.c.d> <default-icon>
//   setup-pack --check <settings.xml>     the launcher's verdict on the document (settings_check.h)
// writes into the output folder: settings.bin (the scrambled document); payload.rc, a
// resource script naming SETTINGS and every payload file the settings name (the
// installer package, the runtime installers and, for a product with the thumbnail
// extension, those of its five files that the folder holds), looked up in the product
// folder (a name that leads out of it is refused); and
// product_version.h with the version, the product name and the icon (the product
// folder's icon.ico, else the default).
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "config/product_settings.h"
#include "config/scramble.h"
#include "config/settings_reader.h"
#include "config/xml_document.h"
#include "tools/pack/settings_check.h"

namespace fs = std::filesystem;

namespace {

struct Payload {
    std::string resourceName;
    std::string fileName;
    std::string namedBy;  // what in the settings gives the name
};

const Payload kShellExtensionFiles[] = {
    {"RESTARTEXPLORER", "RestartExplorer.exe", "thumbex"},
    {"MVTHUMBEX", "MVThumbEx.dll", "thumbex"},
    {"LOGICNP", "LogicNP.EZShellExtensions.dll", "thumbex"},
    {"REGISTEREXTENSIONDOTNET20X64", "RegisterExtensionDotNet20x64.exe", "thumbex"},
    {"REGISTEREXTENSIONDOTNET20X32", "RegisterExtensionDotNet20x32.exe", "thumbex"},
};

std::string attributeValue(XmlDocument& doc, const XmlElement* element, const char* name) {
    const XmlAttribute* a = element ? element->findAttribute(doc.intern(name)) : nullptr;
    return a ? a->value : std::string();
}

const XmlElement* childOf(XmlDocument& doc, const XmlElement* parent, const char* name) {
    return parent ? parent->findChild(doc.intern(name)) : nullptr;
}

void addPayload(std::vector<Payload>& payloads, XmlDocument& doc, const XmlElement* element, const char* where,
                const char* idAttribute, const char* fileAttribute) {
    const std::string id = attributeValue(doc, element, idAttribute);
    const std::string file = attributeValue(doc, element, fileAttribute);
    if (!id.empty() && !file.empty()) payloads.push_back({id, file, std::string(where) + " " + fileAttribute});
}

// A payload name is taken relative to the product folder, so it must not name a drive, a
// root or a network path, nor climb out through "..", with either slash as separator.
bool staysInsideFolder(const std::string& name) {
    if (name.empty() || name[0] == '/' || name[0] == '\\') return false;
    if (name.size() > 1 && std::isalpha(static_cast<unsigned char>(name[0])) && name[1] == ':') return false;
    for (std::size_t start = 0;;) {
        const std::size_t end = name.find_first_of("/\\", start);
        if (name.compare(start, end == std::string::npos ? std::string::npos : end - start, "..") == 0) return false;
        if (end == std::string::npos) return true;
        start = end + 1;
    }
}

// Resource scripts and the preprocessor take C-style string literals. A quote, backslash or
// control character goes in as an octal escape, so no text can end the string or the line
// (non-ASCII bytes pass as they are).
std::string rcString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (c == '\\' || c == '"' || byte < 0x20 || byte == 0x7F) {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\%03o", byte);
            out += escape;
        } else {
            out.push_back(c);
        }
    }
    return out + "\"";
}

// An output is written whole or reported; one cut off (a full disk shows only when the file
// is closed) is removed so a later build cannot take it as finished.
bool writeOutput(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (out) {
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (out) return true;
        std::error_code ignored;
        fs::remove(path, ignored);
    }
    std::cerr << "setup-pack: cannot write " << path << "\n";
    return false;
}

bool isPlainResourceName(const std::string& name) {
    for (char c : name) {
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_')) return false;
    }
    return !name.empty();
}

}  // namespace

int main(int argc, char** argv) {
    const bool check = argc > 1 && std::string(argv[1]) == "--check";
    if (check ? argc != 3 : argc != 6) {
        std::cerr << "usage: setup-pack <settings.xml> <product-folder> <output-folder> <version> <default-icon>\n"
                  << "       setup-pack --check <settings.xml>\n";
        return 2;
    }
    if (check) return checkSettingsFile(argv[2], std::cout, std::cerr);
    const fs::path settingsPath = argv[1], productDir = argv[2], outDir = argv[3];
    const std::string version = argv[4];
    fs::path icon = productDir / "icon.ico";
    if (!fs::is_regular_file(icon)) icon = argv[5];
    unsigned versionParts[4];
    char trailing;
    if (std::sscanf(version.c_str(), "%u.%u.%u.%u%c", &versionParts[0], &versionParts[1], &versionParts[2],
                    &versionParts[3], &trailing) != 4) {
        std::cerr << "setup-pack: version \"" << version << "\" must be four numbers a.b.c.d\n";
        return 1;
    }

    std::ifstream in(settingsPath, std::ios::binary);
    if (!in) {
        std::cerr << "setup-pack: cannot read " << settingsPath << "\n";
        return 1;
    }
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (text.find('\0') != std::string::npos) {
        std::cerr << "setup-pack: " << settingsPath << " contains a zero byte; the launcher would stop reading there\n";
        return 1;
    }

    XmlDocument doc;
    std::string error;
    if (doc.parse(text.c_str(), error) != 0) {
        std::cerr << "setup-pack: " << settingsPath << ": " << error << "\n";
        return 1;
    }
    // Refuse what the launcher would refuse at start-up, on either kind of Windows:
    // which runtime installer it needs depends on the machine.
    for (const bool windows64 : {false, true}) {
        ProductSettings state;
        const int result = readSettingsDocument(state, text, windows64);
        if (result != kSettingsOk) {
            std::cerr << "setup-pack: " << settingsPath << ": " << result << ": " << settingsResultText(result)
                      << (windows64 ? " (on 64-bit Windows)" : "") << "\n";
            return 1;
        }
    }
    const XmlElement* installer = childOf(doc, &doc.root(), "installer");
    const XmlElement* msi = childOf(doc, installer, "msi");
    std::vector<Payload> payloads;
    addPayload(payloads, doc, childOf(doc, msi, "output"), "msi/output", "resource-id", "file");
    const XmlElement* dotNet20 = childOf(doc, childOf(doc, installer, "dot-net20-framework"), "resource");
    addPayload(payloads, doc, childOf(doc, dotNet20, "Bit32"), "dot-net20-framework/resource/Bit32", "id",
               "source-file");
    addPayload(payloads, doc, childOf(doc, dotNet20, "Bit64"), "dot-net20-framework/resource/Bit64", "id",
               "source-file");
    addPayload(payloads, doc, childOf(doc, childOf(doc, installer, "dot-net40-client-framework"), "resource"),
               "dot-net40-client-framework/resource", "id", "source-file");
    if (payloads.empty()) {
        std::cerr << "setup-pack: " << settingsPath << " names no installer package (msi/output)\n";
        return 1;
    }
    // The thumbnail extension's files have fixed names; a product folder without them
    // makes a launcher that registers the extension without installing files.
    if (childOf(doc, installer, "thumbex")) {
        for (const Payload& p : kShellExtensionFiles) {
            if (fs::is_regular_file(productDir / p.fileName)) payloads.push_back(p);
        }
    }

    std::error_code ec;
    fs::create_directories(outDir, ec);
    std::string scrambled = text;
    scrambleBytes(reinterpret_cast<unsigned char*>(&scrambled[0]), scrambled.size());
    const fs::path settingsBin = fs::absolute(outDir / "settings.bin");
    if (!writeOutput(settingsBin, scrambled)) return 1;

    std::string rc = "// Generated by setup-pack from " + rcString(settingsPath.string()) + "\n";
    // Language-neutral, so a later resource update (tests, re-branding) replaces it in place.
    rc += "LANGUAGE 0, 0\n";
    rc += "SETTINGS CUSTOM " + rcString(settingsBin.generic_string()) + "\n";
    for (const Payload& p : payloads) {
        if (!staysInsideFolder(p.fileName)) {
            std::cerr << "setup-pack: " << settingsPath << ": " << p.namedBy << " \"" << p.fileName
                      << "\" must name a file inside the product folder\n";
            return 1;
        }
        const fs::path file = fs::absolute(productDir / p.fileName);
        if (!isPlainResourceName(p.resourceName)) {
            std::cerr << "setup-pack: resource name \"" << p.resourceName << "\" must be letters, digits and _\n";
            return 1;
        }
        if (!fs::is_regular_file(file)) {
            std::cerr << "setup-pack: " << file << " (named by the settings as " << p.resourceName << ") is missing\n";
            return 1;
        }
        rc += p.resourceName + " CUSTOM " + rcString(file.generic_string()) + "\n";
    }
    const XmlElement* name = childOf(doc, childOf(doc, installer, "product"), "name");
    std::string productName = name ? name->text : std::string("Product");
    while (!productName.empty() && std::isspace(static_cast<unsigned char>(productName.back()))) productName.pop_back();
    char commas[64];
    std::snprintf(commas, sizeof commas, "%u,%u,%u,%u", versionParts[0], versionParts[1], versionParts[2],
                  versionParts[3]);
    std::ostringstream header;
    header << "// Generated by setup-pack.\n"
           << "#define SETUP_VERSION_COMMAS " << commas << "\n"
           << "#define SETUP_VERSION_TEXT " << rcString(version) << "\n"
           << "#define SETUP_PRODUCT_NAME " << rcString(productName) << "\n"
           << "#define SETUP_ICON_FILE " << rcString(fs::absolute(icon).generic_string()) << "\n";
    if (!writeOutput(outDir / "product_version.h", header.str())) return 1;
    return writeOutput(outDir / "payload.rc", rc) ? 0 : 1;
}
