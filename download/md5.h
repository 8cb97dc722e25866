// MD5 (RFC 1321), for checking downloaded segments against the digest the server computes
// for the same bytes. Not for anything that needs a secure hash.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

class Md5 {
public:
    Md5();
    // Adds bytes; may be called any number of times.
    void update(const unsigned char* data, std::size_t size);
    // The digest of everything added; the object is then spent (make a new one).
    std::array<unsigned char, 16> finish();
    // The digest as 32 lowercase hexadecimal characters.
    std::string finishHex();

private:
    void block(const unsigned char* p);

    std::uint32_t state_[4];
    std::uint64_t length_ = 0;  // bytes added
    unsigned char pending_[64];
    std::size_t pendingSize_ = 0;
};

// The digest of one buffer as 32 lowercase hexadecimal characters.
std::string md5Hex(const unsigned char* data, std::size_t size);
