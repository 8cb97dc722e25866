// libFuzzer target: any SETTINGS resource (scrambled bytes) through the whole settings
// reader. The reader must answer 0 or a negative code, never crash or hang.
#include <cstddef>
#include <cstdint>

#include "config/settings_reader.h"
#include "fakes/fake_system.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FakeSystem system;
    system.resources[u"SETTINGS"] = std::vector<unsigned char>(data, data + size);
    system.resources[u"MSI_FILE"] = {'M', 'S', 'I'};
    system.addFile(u"D:\\Support\\MSI\\media2.cab");
    ProductSettings product;
    Offer offer;
    Choices choices;
    const int result = readSettings(product, offer, choices, system);
    if (result > 0) __builtin_trap();
    return 0;
}
