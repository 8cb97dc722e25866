#include "download/md5.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::uint32_t rotl(std::uint32_t x, int s) { return (x << s) | (x >> (32 - s)); }

inline std::uint32_t load32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// The four rounds' functions; F and G in the forms that need one operation less.
inline std::uint32_t F(std::uint32_t x, std::uint32_t y, std::uint32_t z) { return z ^ (x & (y ^ z)); }
inline std::uint32_t G(std::uint32_t x, std::uint32_t y, std::uint32_t z) { return y ^ (z & (x ^ y)); }
inline std::uint32_t H(std::uint32_t x, std::uint32_t y, std::uint32_t z) { return x ^ y ^ z; }
inline std::uint32_t I(std::uint32_t x, std::uint32_t y, std::uint32_t z) { return y ^ (x | ~z); }

}  // namespace

#define MD5_STEP(f, a, b, c, d, k, s, t) a = b + rotl(a + f(b, c, d) + x[k] + (t), s)

Md5::Md5() : state_{0x67452301u, 0xefcdab89u, 0x98badcfeu, 0x10325476u}, pending_{} {}

void Md5::block(const unsigned char* p) {
    std::uint32_t x[16];
    for (int i = 0; i < 16; ++i) x[i] = load32(p + 4 * i);
    std::uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3];

    MD5_STEP(F, a, b, c, d, 0, 7, 0xd76aa478u);
    MD5_STEP(F, d, a, b, c, 1, 12, 0xe8c7b756u);
    MD5_STEP(F, c, d, a, b, 2, 17, 0x242070dbu);
    MD5_STEP(F, b, c, d, a, 3, 22, 0xc1bdceeeu);
    MD5_STEP(F, a, b, c, d, 4, 7, 0xf57c0fafu);
    MD5_STEP(F, d, a, b, c, 5, 12, 0x4787c62au);
    MD5_STEP(F, c, d, a, b, 6, 17, 0xa8304613u);
    MD5_STEP(F, b, c, d, a, 7, 22, 0xfd469501u);
    MD5_STEP(F, a, b, c, d, 8, 7, 0x698098d8u);
    MD5_STEP(F, d, a, b, c, 9, 12, 0x8b44f7afu);
    MD5_STEP(F, c, d, a, b, 10, 17, 0xffff5bb1u);
    MD5_STEP(F, b, c, d, a, 11, 22, 0x895cd7beu);
    MD5_STEP(F, a, b, c, d, 12, 7, 0x6b901122u);
    MD5_STEP(F, d, a, b, c, 13, 12, 0xfd987193u);
    MD5_STEP(F, c, d, a, b, 14, 17, 0xa679438eu);
    MD5_STEP(F, b, c, d, a, 15, 22, 0x49b40821u);

    MD5_STEP(G, a, b, c, d, 1, 5, 0xf61e2562u);
    MD5_STEP(G, d, a, b, c, 6, 9, 0xc040b340u);
    MD5_STEP(G, c, d, a, b, 11, 14, 0x265e5a51u);
    MD5_STEP(G, b, c, d, a, 0, 20, 0xe9b6c7aau);
    MD5_STEP(G, a, b, c, d, 5, 5, 0xd62f105du);
    MD5_STEP(G, d, a, b, c, 10, 9, 0x02441453u);
    MD5_STEP(G, c, d, a, b, 15, 14, 0xd8a1e681u);
    MD5_STEP(G, b, c, d, a, 4, 20, 0xe7d3fbc8u);
    MD5_STEP(G, a, b, c, d, 9, 5, 0x21e1cde6u);
    MD5_STEP(G, d, a, b, c, 14, 9, 0xc33707d6u);
    MD5_STEP(G, c, d, a, b, 3, 14, 0xf4d50d87u);
    MD5_STEP(G, b, c, d, a, 8, 20, 0x455a14edu);
    MD5_STEP(G, a, b, c, d, 13, 5, 0xa9e3e905u);
    MD5_STEP(G, d, a, b, c, 2, 9, 0xfcefa3f8u);
    MD5_STEP(G, c, d, a, b, 7, 14, 0x676f02d9u);
    MD5_STEP(G, b, c, d, a, 12, 20, 0x8d2a4c8au);

    MD5_STEP(H, a, b, c, d, 5, 4, 0xfffa3942u);
    MD5_STEP(H, d, a, b, c, 8, 11, 0x8771f681u);
    MD5_STEP(H, c, d, a, b, 11, 16, 0x6d9d6122u);
    MD5_STEP(H, b, c, d, a, 14, 23, 0xfde5380cu);
    MD5_STEP(H, a, b, c, d, 1, 4, 0xa4beea44u);
    MD5_STEP(H, d, a, b, c, 4, 11, 0x4bdecfa9u);
    MD5_STEP(H, c, d, a, b, 7, 16, 0xf6bb4b60u);
    MD5_STEP(H, b, c, d, a, 10, 23, 0xbebfbc70u);
    MD5_STEP(H, a, b, c, d, 13, 4, 0x289b7ec6u);
    MD5_STEP(H, d, a, b, c, 0, 11, 0xeaa127fau);
    MD5_STEP(H, c, d, a, b, 3, 16, 0xd4ef3085u);
    MD5_STEP(H, b, c, d, a, 6, 23, 0x04881d05u);
    MD5_STEP(H, a, b, c, d, 9, 4, 0xd9d4d039u);
    MD5_STEP(H, d, a, b, c, 12, 11, 0xe6db99e5u);
    MD5_STEP(H, c, d, a, b, 15, 16, 0x1fa27cf8u);
    MD5_STEP(H, b, c, d, a, 2, 23, 0xc4ac5665u);

    MD5_STEP(I, a, b, c, d, 0, 6, 0xf4292244u);
    MD5_STEP(I, d, a, b, c, 7, 10, 0x432aff97u);
    MD5_STEP(I, c, d, a, b, 14, 15, 0xab9423a7u);
    MD5_STEP(I, b, c, d, a, 5, 21, 0xfc93a039u);
    MD5_STEP(I, a, b, c, d, 12, 6, 0x655b59c3u);
    MD5_STEP(I, d, a, b, c, 3, 10, 0x8f0ccc92u);
    MD5_STEP(I, c, d, a, b, 10, 15, 0xffeff47du);
    MD5_STEP(I, b, c, d, a, 1, 21, 0x85845dd1u);
    MD5_STEP(I, a, b, c, d, 8, 6, 0x6fa87e4fu);
    MD5_STEP(I, d, a, b, c, 15, 10, 0xfe2ce6e0u);
    MD5_STEP(I, c, d, a, b, 6, 15, 0xa3014314u);
    MD5_STEP(I, b, c, d, a, 13, 21, 0x4e0811a1u);
    MD5_STEP(I, a, b, c, d, 4, 6, 0xf7537e82u);
    MD5_STEP(I, d, a, b, c, 11, 10, 0xbd3af235u);
    MD5_STEP(I, c, d, a, b, 2, 15, 0x2ad7d2bbu);
    MD5_STEP(I, b, c, d, a, 9, 21, 0xeb86d391u);

    state_[0] += a;
    state_[1] += b;
    state_[2] += c;
    state_[3] += d;
}

#undef MD5_STEP

void Md5::update(const unsigned char* data, std::size_t size) {
    if (size == 0) return;  // data may then be null, which memcpy must never see
    length_ += size;
    if (pendingSize_ > 0) {
        const std::size_t take = std::min(size, sizeof pending_ - pendingSize_);
        std::memcpy(pending_ + pendingSize_, data, take);
        pendingSize_ += take;
        data += take;
        size -= take;
        if (pendingSize_ < sizeof pending_) return;
        block(pending_);
        pendingSize_ = 0;
    }
    for (; size >= 64; data += 64, size -= 64) block(data);
    std::memcpy(pending_, data, size);
    pendingSize_ = size;
}

std::array<unsigned char, 16> Md5::finish() {
    const std::uint64_t bits = length_ * 8;
    // A one bit, zeros up to 56 bytes into a block, then the bit length, low byte first.
    unsigned char tail[72] = {0x80};
    const std::size_t padding = (pendingSize_ < 56 ? 56 : 120) - pendingSize_;
    for (int i = 0; i < 8; ++i) tail[padding + i] = static_cast<unsigned char>(bits >> (8 * i));
    update(tail, padding + 8);
    std::array<unsigned char, 16> digest{};
    for (int i = 0; i < 16; ++i) digest[i] = static_cast<unsigned char>(state_[i / 4] >> (8 * (i % 4)));
    return digest;
}

std::string Md5::finishHex() {
    static const char kHex[] = "0123456789abcdef";
    std::string text;
    for (unsigned char byte : finish()) {
        text += kHex[byte >> 4];
        text += kHex[byte & 15];
    }
    return text;
}

std::string md5Hex(const unsigned char* data, std::size_t size) {
    Md5 md5;
    md5.update(data, size);
    return md5.finishHex();
}
