#include "config/help_topics.h"

#include <cstring>

namespace {

struct Topic {
    const char* name;
    int number;
};

constexpr Topic kTopics[] = {
    {"welcome", 1},       {"program-access", 49}, {"user-group", 51},
    {"setup-folder", 52}, {"program-folder", 53}, {"working-folder", 54},
    {"copy-films", 55},   {"client-options", 56}, {"setup-options", 57},
};

}  // namespace

void fillHelpTopics(NameTable& topics) {
    for (const Topic& t : kTopics)
        topics.insertOrSet(t.name, std::strlen(t.name) + 1, static_cast<std::uintptr_t>(t.number));
}

int helpTopic(const NameTable& topics, const char* name) {
    std::uintptr_t number = 0;
    if (!topics.find(name, std::strlen(name) + 1, &number)) return -1;
    return static_cast<int>(number);
}
