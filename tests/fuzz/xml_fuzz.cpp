// libFuzzer target for the XML reader: any byte sequence must parse or fail cleanly.
// Built by tests/fuzz/build.sh; not part of the CMake build or of CI.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "config/xml_document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<char> text(size + 1, '\0');
    if (size) std::memcpy(text.data(), data, size);

    XmlDocument document;
    std::string error;
    document.parse(text.data(), error);

    // Walk the partial tree so that dangling links would show up under ASan.
    std::vector<const XmlElement*> pending{&document.root()};
    while (!pending.empty()) {
        const XmlElement* element = pending.back();
        pending.pop_back();
        for (const auto& attribute : element->attributes) {
            if (attribute->owner != element || !attribute->name) __builtin_trap();
            (void)element->findAttribute(attribute->name);
        }
        for (const auto& child : element->children) {
            if (child->parent != element || !child->name) __builtin_trap();
            pending.push_back(child.get());
        }
    }
    return 0;
}
