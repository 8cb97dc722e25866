// MD5 against the test suite of RFC 1321, against itself fed in pieces, and (natively)
// against md5sum on random inputs of the lengths where the padding changes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "download/md5.h"

namespace {

std::string md5Of(const std::string& text) {
    return md5Hex(reinterpret_cast<const unsigned char*>(text.data()), text.size());
}

TEST(Md5, MatchesTheSuiteOfTheRfc) {
    EXPECT_EQ(md5Of(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(md5Of("a"), "0cc175b9c0f1b6a831c399e269772661");
    EXPECT_EQ(md5Of("abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(md5Of("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
    EXPECT_EQ(md5Of("abcdefghijklmnopqrstuvwxyz"), "c3fcd3d76192e4007dfb496cca67e13b");
    EXPECT_EQ(md5Of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
              "d174ab98d277d9f5a5611c2c9f419d9f");
    EXPECT_EQ(md5Of("12345678901234567890123456789012345678901234567890123456789012345678901234567890"),
              "57edf4a22be3c955ac49da2e2107b67a");
}

std::vector<unsigned char> randomBytes(std::size_t n, unsigned seed) {
    std::mt19937 generator(seed);
    std::vector<unsigned char> bytes(n);
    for (auto& b : bytes) b = static_cast<unsigned char>(generator());
    return bytes;
}

TEST(Md5, PiecesOfAnySizeGiveTheDigestOfTheWhole) {
    const std::vector<unsigned char> data = randomBytes(1000, 7);
    const std::string whole = md5Hex(data.data(), data.size());
    for (std::size_t piece : {1u, 3u, 55u, 56u, 63u, 64u, 65u, 127u, 999u}) {
        Md5 md5;
        for (std::size_t at = 0; at < data.size(); at += piece)
            md5.update(data.data() + at, std::min(piece, data.size() - at));
        EXPECT_EQ(md5.finishHex(), whole) << piece;
    }
}

#ifndef _WIN32
// What md5sum says of the bytes, through a temporary file.
std::string md5sumOf(const std::vector<unsigned char>& data) {
    char path[] = "/tmp/md5-test-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) return "no temporary file";
    FILE* file = fdopen(fd, "wb");
    if (!data.empty()) std::fwrite(data.data(), 1, data.size(), file);
    std::fclose(file);
    FILE* pipe = popen((std::string("md5sum ") + path).c_str(), "r");
    char line[64] = {};
    const bool read = pipe && std::fgets(line, sizeof line, pipe);
    if (pipe) pclose(pipe);
    std::remove(path);
    return read ? std::string(line, 32) : "md5sum failed";
}

TEST(Md5, AgreesWithMd5sumAroundEveryPaddingBoundaryAndOnLargeInputs) {
    unsigned seed = 1;
    for (std::size_t size : {0u, 1u, 55u, 56u, 57u, 63u, 64u, 65u, 119u, 120u, 128u, 1048589u, 8388608u + 7u}) {
        const std::vector<unsigned char> data = randomBytes(size, seed++);
        EXPECT_EQ(md5Hex(data.data(), data.size()), md5sumOf(data)) << size;
    }
}
#endif

}  // namespace
