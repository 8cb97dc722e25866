#include "text/languages.h"

namespace {
constexpr std::array<std::string_view, kLanguageCount> kCodes = {"de-de", "en-us", "es-es", "fr-fr", "it-it", "cs-cz"};
}

int languageCodeToIndex(std::string_view code) {
    for (int i = 0; i < kLanguageCount; ++i) {
        if (kCodes[i] == code) return i;
    }
    return -1;
}

std::string languageIndexToCode(int index) {
    if (index < 0 || index >= kLanguageCount) return {};
    return std::string(kCodes[index]);
}

int chooseStartLanguage(const std::array<bool, kLanguageCount>& enabled, int currentIndex, int systemLcid) {
    for (int i = 0; i < kLanguageCount; ++i) {
        if (enabled[i] && kLanguageLcids[i] == systemLcid) return i;
    }
    if (enabled[kEnglish]) return kEnglish;
    return currentIndex;
}
