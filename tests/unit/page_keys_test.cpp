// The pages by keyboard: every page the steps show, in every language, against its layout
// in res/pages.rc as the page classes pair texts and controls (ui/win32/page_captions.h).
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "fakes/wizard_pages.h"
#include "platform/strings.h"
#include "text/languages.h"
#include "ui/win32/page_captions.h"

namespace {

using platform::PageClass;
using platform::PageModel;

struct Control {
    std::string id, cls, style;
    bool button() const { return cls == "button" && style.find("BS_GROUPBOX") == std::string::npos; }
    bool textStatic() const { return cls == "static" && style.find("SS_LEFT") != std::string::npos; }
    bool has(const char* flag) const { return std::regex_search(style, std::regex(std::string("\\b") + flag + "\\b")); }
    bool radio() const { return has("BS_AUTORADIOBUTTON"); }
};

std::string read(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Fields split at commas outside quotes, trimmed.
std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> out(1);
    bool quoted = false;
    for (char c : line) {
        if (c == '"') quoted = !quoted;
        if (c == ',' && !quoted) out.emplace_back();
        else out.back() += c;
    }
    for (auto& f : out) f = std::regex_replace(f, std::regex("^\\s+|\\s+$"), "");
    return out;
}

// Each layout's controls in template order, the one-line macros of the file expanded.
std::map<std::string, std::vector<Control>> layouts() {
    std::map<std::string, std::string> macros;
    std::map<std::string, std::vector<Control>> result;
    std::vector<Control>* layout = nullptr;
    std::istringstream rc(read(PAGES_RC_PATH));
    const std::regex define("#define (\\w+) (.*)"), dialog("(\\w+) DIALOGEX.*"), statement("(\\w+) (.*)");
    for (std::string line; std::getline(rc, line);) {
        std::smatch m;
        if (std::regex_match(line, m, define)) macros[m[1]] = m[2];
        if (std::regex_match(line, m, dialog)) layout = &result[m[1]];
        if (line == "END") layout = nullptr;
        for (int pass = 0; pass < 3; ++pass) {
            for (const auto& [name, body] : macros)
                line = std::regex_replace(line, std::regex("\\b" + name + "\\b"), body);
        }
        line = std::regex_replace(line, std::regex("^\\s+"), "");
        if (!layout || !std::regex_match(line, m, statement)) continue;
        const std::string kind = m[1];
        const std::vector<std::string> f = fields(m[2]);
        if (kind == "CONTROL") {
            layout->push_back({f[1], std::regex_replace(f[2], std::regex("\""), ""), f[3]});
            for (auto& c : layout->back().cls) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        } else if (kind == "PUSHBUTTON" || kind == "DEFPUSHBUTTON" || kind == "GROUPBOX") {
            const std::string extra = f.size() > 6 ? f[6] : "";
            layout->push_back({f[1], "button", kind == "GROUPBOX" ? "BS_GROUPBOX " + extra : "WS_TABSTOP " + extra});
        } else if (kind == "COMBOBOX" || kind == "EDITTEXT") {
            layout->push_back({f[0], kind == "COMBOBOX" ? "combobox" : "edit", "WS_TABSTOP " + f[5]});
        }
    }
    return result;
}

std::map<int, std::string> controlNames() {
    std::map<int, std::string> names;
    std::istringstream ids(read(PAGES_IDS_PATH));
    const std::regex define("#define (IDC_\\w+) (\\d+).*");
    for (std::string line; std::getline(ids, line);) {
        std::smatch m;
        if (std::regex_match(line, m, define)) names.emplace(std::stoi(m[2]), m[1]);  // no caption shares an id
    }
    return names;
}

const char* layoutOf(PageClass c) {
    switch (c) {
    case PageClass::Start: return "IDD_PAGE_START";
    case PageClass::TwoOptions: return "IDD_PAGE_TWO_OPTIONS";
    case PageClass::Info: return "IDD_PAGE_INFO";
    case PageClass::Folder: return "IDD_PAGE_FOLDER";
    case PageClass::CircuitFolder: return "IDD_PAGE_CIRCUIT_FOLDER";
    case PageClass::Progress: return "IDD_PAGE_PROGRESS";
    }
    return "";
}

const Control* find(const std::vector<Control>& layout, int id, const std::map<int, std::string>& names) {
    for (const Control& c : layout) {
        if (c.id == names.at(id)) return &c;
    }
    return nullptr;
}

// The caption's Alt letters: each '&' before a character that is not a second '&'.
std::u16string altLetters(const std::u16string& caption) {
    std::u16string letters;
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&') continue;
        if (caption[i + 1] != u'&') letters += caption[i + 1];
        ++i;
    }
    return letters;
}

class PageKeys : public WizardPages {
protected:
    // Every page class with each set of captions its steps give it, as shown.
    std::vector<PageModel> everyPage() {
        app.choices.preconfigMode = true;  // the Individual Setup pages show too
        app.product.circuitFolderDialog = true;
        app.offer.askForVideos = app.offer.askForPresentations = app.product.askForMaterialDownload = true;
        app.product.updateConfigured = true;
        app.product.videosSize = u"35";
        system.addFile(app.offer.stickAppPath);
        const std::vector<std::function<void()>> shows = {
            [&] { steps.showStartPage(app); },
            [&] { app.product.preconfigSetup = true, steps.showStartPage(app), app.product.preconfigSetup = false; },
            [&] { steps.askAlreadyInstalled(app); },
            [&] { steps.askInstallationType(app); },
            [&] { steps.askNetworkFolder(app); },
            [&] { steps.askUserGroup(app); },
            [&] { steps.askSetupFolder(app); },
            [&] { steps.askProgramFolder(app); },
            [&] { steps.askCircuitFolder(app); },
            [&] { app.offer.videosAsDownload = true, steps.askCopyVideos(app), app.offer.videosAsDownload = false; },
            [&] { app.offer.isPelaxo4 = true, steps.askCopyVideos(app), app.offer.isPelaxo4 = false; },
            [&] { steps.askCopyVideos(app); },
            [&] { steps.askMaterialDownload(app); },
            [&] { steps.askPresentations(app); },
            [&] { steps.askAutoMode(app); },
            [&] { steps.showPresetsSummary(app); },
            [&] { steps.showFinishPage(app, u"Done", u"Installed.", u""); },
            [&] {
                app.progress().run(platform::WorkKind::RunProgram, {app.text(TextRow::DotNetFramework), u"", u"", u""},
                                   {});
            },
        };
        for (const auto& show : shows) show();
        EXPECT_EQ(ui.pagesShown.size(), shows.size());
        return ui.pagesShown;
    }
};

TEST_F(PageKeys, EveryButtonAndOptionHasItsOwnAltLetterInEveryLanguage) {
    const auto rc = layouts();
    const auto names = controlNames();
    // A name with '&' of its own: it reaches captions as a character, not as a letter.
    app.product.productName = u"Circuita 5 (A&B)";
    app.product.productShortName = u"Circuita A&B";
    for (int language = 0; language < kLanguageCount; ++language) {
        app.choices.languageIndex = language;
        ui.pagesShown.clear();
        for (const PageModel& page : everyPage()) {
            const std::vector<Control>& layout = rc.at(layoutOf(page.pageClass));
            std::set<std::string> captioned;
            std::map<char16_t, std::u16string> taken;
            for (const ControlCaption& caption : pageCaptions(page)) {
                const Control* control = find(layout, caption.control, names);
                ASSERT_TRUE(control) << caption.control;
                captioned.insert(control->id);
                if (caption.text.empty()) continue;  // that button is hidden
                const std::string where = "language " + std::to_string(language) + ", " + layoutOf(page.pageClass) +
                                          ", " + control->id + ": " + wideToUtf8(caption.text);
                EXPECT_TRUE(control->button() || (control->textStatic() && !control->has("SS_NOPREFIX"))) << where;
                const std::u16string letters = altLetters(caption.text);
                ASSERT_EQ(letters.size(), 1u) << where;
                char16_t letter = letters[0];
                EXPECT_TRUE(letter < 0x80 && std::isalnum(letter)) << where;  // one every keyboard has
                if (letter >= u'A' && letter <= u'Z') letter = static_cast<char16_t>(letter - u'A' + u'a');
                EXPECT_TRUE(taken.emplace(letter, caption.text).second)
                    << where << " shares its letter with " << wideToUtf8(taken[letter]);
            }
            // Every button the layout shows takes its caption (and letter) from the model;
            // the progress page's check box never shows.
            for (const Control& c : layout) {
                if (c.button() && c.id != "IDC_PROGRESS_OPTION") {
                    EXPECT_TRUE(captioned.count(c.id)) << layoutOf(page.pageClass) << " " << c.id;
                }
            }
        }
    }
}

TEST(PageLayouts, KeysMoveAlongThePageAndDataShowsAsWritten) {
    for (const auto& [name, layout] : layouts()) {
        for (std::size_t i = 0; i < layout.size(); ++i) {
            const Control& c = layout[i];
            const std::string where = name + " " + c.id;
            // A static that reads '&' as a mark is a label: the control after it takes the focus.
            if (c.textStatic() && !c.has("SS_NOPREFIX")) {
                EXPECT_EQ(c.id, "IDC_USER_FOLDER_LABEL") << where << " shows prose or data: SS_NOPREFIX";
                ASSERT_LT(i + 1, layout.size());
                EXPECT_TRUE(layout[i + 1].has("WS_TABSTOP")) << where;
            }
            if (c.button() && !c.radio()) {
                EXPECT_TRUE(c.has("WS_TABSTOP")) << where;
            }
            if (!c.radio()) continue;
            // A radio group: the first one a group and a tab stop, the others neither, and
            // the control after the last starts a group of its own, so arrows stay inside.
            const bool first = i == 0 || !layout[i - 1].radio();
            EXPECT_EQ(c.has("WS_GROUP"), first) << where;
            EXPECT_EQ(c.has("WS_TABSTOP"), first) << where;
            if (i + 1 < layout.size() && !layout[i + 1].radio()) {
                EXPECT_TRUE(layout[i + 1].has("WS_GROUP")) << where;
            }
        }
    }
}

}  // namespace
