#include "config/scramble.h"

void scrambleBytes(unsigned char* bytes, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) bytes[i] ^= kSettingsScrambleKey;
}
