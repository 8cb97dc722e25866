#include "install/msi_properties.h"

#include "platform/strings.h"

namespace {

// One argument for msiexec: a word, or a text enclosed in quotes that holds none itself.
bool isSingleArgument(const std::u16string& value) {
    const bool enclosed = value.size() >= 2 && value.front() == u'"' && value.back() == u'"';
    const std::size_t from = enclosed ? 1 : 0;
    const std::size_t to = enclosed ? value.size() - 1 : value.size();
    for (std::size_t i = from; i < to; ++i) {
        const char16_t c = value[i];
        if (c < 0x20 || c == u'"' || (!enclosed && c == u' ')) return false;
    }
    return true;
}

}  // namespace

bool SetMsiProperty(Choices& run, const std::string& name, const std::u16string& value) {
    if (!isSingleArgument(value)) return false;
    std::uintptr_t index = 0;
    if (run.msiProperties.find(name.c_str(), name.size() + 1, &index)) {
        run.msiPropertyValues[index] = value;
        return true;
    }
    run.msiPropertyValues.push_back(value);
    run.msiProperties.insertOrSet(name.c_str(), name.size() + 1, run.msiPropertyValues.size() - 1);
    return true;
}

std::u16string BuildPropertyString(const Choices& run) {
    std::u16string joined;
    run.msiProperties.forEachEntry([&](const NameTable::Entry& entry) {
        if (!joined.empty()) joined += u' ';
        joined += utf8ToWide(entry.key) + u"=" + run.msiPropertyValues[entry.value];
    });
    return joined;
}

const std::u16string* msiProperty(const Choices& run, const std::string& name) {
    std::uintptr_t index = 0;
    if (!run.msiProperties.find(name.c_str(), name.size() + 1, &index)) return nullptr;
    return &run.msiPropertyValues[index];
}
