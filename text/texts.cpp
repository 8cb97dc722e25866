#include "text/texts.h"

#include "platform/strings.h"
#include "text/languages.h"
#include "text/text_table.h"

const TextColumn& textColumn(int languageIndex) {
    static const std::array<const TextColumn*, kLanguageCount> columns = {&kGermanTexts, &kEnglishTexts, &kSpanishTexts,
                                                                          &kFrenchTexts, &kItalianTexts, &kCzechTexts};
    return *columns[languageIndex];
}

std::u16string getText(int row, int languageIndex) {
    if (row < 0 || row >= kTextRowCount) return {};
    if (languageIndex < 0 || languageIndex >= kLanguageCount) languageIndex = kEnglish;
    if (*textColumn(languageIndex)[row]) return utf8ToWide(textColumn(languageIndex)[row]);
    if (*kEnglishTexts[row]) return utf8ToWide(kEnglishTexts[row]);
    return utf8ToWide(kGermanTexts[row]);
}

std::u16string replaceAll(std::u16string_view text, std::u16string_view placeholder, std::u16string_view value) {
    if (placeholder.empty()) return std::u16string(text);
    std::u16string out;
    std::size_t pos = 0;
    for (;;) {
        const std::size_t match = text.find(placeholder, pos);
        if (match == std::u16string_view::npos) break;
        out.append(text.substr(pos, match - pos));
        out.append(value);
        pos = match + placeholder.size();
    }
    out.append(text.substr(pos));
    return out;
}

std::u16string literalInCaption(std::u16string_view value) { return replaceAll(value, u"&", u"&&"); }

std::u16string withoutMnemonic(std::u16string_view caption) {
    std::u16string out;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size()) ++i;
        out += caption[i];
    }
    return out;
}
