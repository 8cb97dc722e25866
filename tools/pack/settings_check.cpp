#include "tools/pack/settings_check.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "config/product_settings.h"
#include "config/settings_reader.h"
#include "config/xml_document.h"

namespace {

// After a successful read the launcher stops by itself when the document enables no
// language ("Installation error. Error code: 51", in CBootstrapperApp::initInstance); the
// reader does not give that code, so the rule is repeated here.
constexpr int kNoLanguageEnabled = -51;

int launcherResult(const std::vector<unsigned char>& bytes, bool windows64) {
    ProductSettings state;
    const int result = readSettingsResource(state, bytes, windows64);
    return result == kSettingsOk && state.firstLanguage < 0 ? kNoLanguageEnabled : result;
}

void refusal(std::ostream& out, const std::string& path, int result, const char* machine) {
    const char* words = result == kNoLanguageEnabled ? "languages has no language" : settingsResultText(result);
    // The launcher's message shows the code's magnitude ("Error code (readXML_Options): 4").
    out << path << ": refused (error " << -result << "): " << words << machine << "\n";
}

// The launcher reads past a syntax error and stops at a zero byte; the packer refuses
// both, so a vendor learns it here before a build fails.
void packingNotes(std::ostream& err, const std::string& path, const std::vector<unsigned char>& bytes) {
    const auto zero = std::find(bytes.begin(), bytes.end(), 0);
    if (zero != bytes.end()) {
        err << "setup-pack: note: " << path << " contains a zero byte; the launcher reads only what comes before it,"
            << " and setup-pack will not pack it\n";
    }
    const std::string text(bytes.begin(), zero);
    XmlDocument doc;
    std::string error;
    if (doc.parse(text.c_str(), error) != 0) {
        err << "setup-pack: note: " << path << ": " << error << " The launcher reads on, but setup-pack will not pack"
            << " it\n";
    }
}

}  // namespace

int checkSettingsFile(const std::string& path, std::ostream& out, std::ostream& err) {
    // A folder opens like a file on some systems and reads as empty.
    std::error_code ec;
    std::ifstream in;
    if (std::filesystem::is_regular_file(path, ec)) in.open(path, std::ios::binary);
    if (!in.is_open()) {
        err << "setup-pack: cannot read " << path << "\n";
        return 2;
    }
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        err << "setup-pack: cannot read " << path << "\n";
        return 2;
    }
    packingNotes(err, path, bytes);

    // Which runtime installer the launcher requires depends on the machine, so the
    // document is read for both widths; 32-bit first, the shipped launcher's.
    const int result32 = launcherResult(bytes, false);
    const int result64 = launcherResult(bytes, true);
    if (result32 == kSettingsOk && result64 == kSettingsOk) {
        out << path << ": accepted\n";
        return 0;
    }
    if (result32 == result64) {
        refusal(out, path, result32, "");
    } else {
        if (result32 != kSettingsOk) refusal(out, path, result32, " (on 32-bit Windows)");
        if (result64 != kSettingsOk) refusal(out, path, result64, " (on 64-bit Windows)");
    }
    return 1;
}
