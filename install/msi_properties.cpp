#include "install/msi_properties.h"

#include "platform/strings.h"

void SetMsiProperty(RunState& run, const std::string& name, const std::u16string& value) {
    std::uintptr_t index = 0;
    if (run.msiProperties.find(name.c_str(), name.size() + 1, &index)) {
        run.msiPropertyValues[index] = value;
        return;
    }
    run.msiPropertyValues.push_back(value);
    run.msiProperties.insertOrSet(name.c_str(), name.size() + 1, run.msiPropertyValues.size() - 1);
}

std::u16string BuildPropertyString(const RunState& run) {
    std::u16string joined;
    run.msiProperties.forEachEntry([&](const NameTable::Entry& entry) {
        if (!joined.empty()) joined += u' ';
        joined += utf8ToWide(entry.key) + u"=" + run.msiPropertyValues[entry.value];
    });
    return joined;
}

const std::u16string* msiProperty(const RunState& run, const std::string& name) {
    std::uintptr_t index = 0;
    if (!run.msiProperties.find(name.c_str(), name.size() + 1, &index)) return nullptr;
    return &run.msiPropertyValues[index];
}
