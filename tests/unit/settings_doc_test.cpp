// docs/settings.md, the vendors' description of the settings document, against the names
// the reader takes (config/settings_names.h): neither may name what the other lacks.
// The page's convention is described at its end.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>

#include "config/settings_names.h"

namespace {

// "installer/msi" for an element, "installer/msi@admin-required" for an attribute.
std::string key(const std::string& element, const char* attribute) {
    return attribute ? element + "@" + attribute : element;
}

// The text of the first `code span` in text, empty when there is none.
std::string firstCodeSpan(const std::string& text) {
    const std::size_t open = text.find('`');
    const std::size_t close = open == std::string::npos ? open : text.find('`', open + 1);
    return close == std::string::npos ? std::string() : text.substr(open + 1, close - open - 1);
}

// The code span a table row's first cell starts with: "| `subkey` | ..." gives "subkey",
// a header or separator row gives nothing.
std::string firstCellName(const std::string& row) {
    const std::size_t start = row.find_first_not_of(" ", 1);
    if (start == std::string::npos || row[start] != '`') return {};
    const std::size_t end = row.find('|', 1);
    return firstCodeSpan(row.substr(start, end == std::string::npos ? end : end - start));
}

struct DocumentedNames {
    std::set<std::string> elementsAndAttributes;
    std::set<std::string> defines;
};

DocumentedNames readDocumentedNames(std::istream& page) {
    enum class Section { Other, Element, Defines };
    DocumentedNames names;
    Section section = Section::Other;
    std::string element;
    bool inCodeBlock = false;
    for (std::string line; std::getline(page, line);) {
        if (line.rfind("```", 0) == 0) inCodeBlock = !inCodeBlock;
        if (inCodeBlock || line.empty()) continue;
        if (line[0] == '#') {
            const std::string span = firstCodeSpan(line);
            section = Section::Other;
            if (span == "installer" || span.rfind("installer/", 0) == 0) {
                section = Section::Element;
                element = span;
                names.elementsAndAttributes.insert(element);
            } else if (span == "var-name") {
                section = Section::Defines;
            }
            continue;
        }
        if (line[0] != '|' || section == Section::Other) continue;
        const std::string name = firstCellName(line);
        if (name.empty()) continue;
        if (section == Section::Element) names.elementsAndAttributes.insert(key(element, name.c_str()));
        else names.defines.insert(name);
    }
    return names;
}

void expectSameNames(const std::set<std::string>& taken, const std::set<std::string>& documented) {
    for (const std::string& name : taken) {
        EXPECT_TRUE(documented.count(name)) << name << ": the reader takes it, docs/settings.md does not list it";
    }
    for (const std::string& name : documented) {
        EXPECT_TRUE(taken.count(name)) << name << ": docs/settings.md lists it, the reader does not take it";
    }
}

TEST(SettingsDocument, ListsExactlyTheNamesTheReaderTakes) {
    std::ifstream page(SETTINGS_DOC_PATH);
    ASSERT_TRUE(page.is_open()) << SETTINGS_DOC_PATH;
    const DocumentedNames documented = readDocumentedNames(page);

    std::set<std::string> taken;
    for (const SettingsNameEntry& entry : kSettingsNames) taken.insert(key(entry.element, entry.attribute));
    std::set<std::string> defines;
    for (const SettingsDefine& define : kSettingsDefines) defines.insert(define.varName);

    expectSameNames(taken, documented.elementsAndAttributes);
    expectSameNames(defines, documented.defines);
}

}  // namespace
