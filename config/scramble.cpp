#include "config/scramble.h"

void scrambleBytes(unsigned char* bytes, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) bytes[i] ^= kSettingsScrambleKey;
}

std::vector<unsigned char> loadCustomResource(platform::System& system, const std::u16string& name, int& error,
                                              bool unscramble) {
    std::vector<unsigned char> bytes = system.loadCustomResource(name, error);
    if (error != 0) return {};
    if (unscramble) scrambleBytes(bytes.data(), bytes.size());
    return bytes;
}
