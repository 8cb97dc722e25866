#include "config/name_table.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The random table rebuilt with 64-bit arithmetic, (s * 16807) mod (2^31 - 1), which is
// what the wrapping 32-bit step computes.
std::vector<std::uint32_t> referenceTable() {
    std::vector<std::uint32_t> words(400 * 256);
    std::uint64_t s = 13;
    for (auto& word : words) {
        const std::uint64_t a = s = s * 16807 % 2147483647;
        s = s * 16807 % 2147483647;
        word = static_cast<std::uint32_t>((a << 16) | s);
    }
    return words;
}

std::uint32_t hashOf(const std::string& keyWithZero) {
    return tabulationHash(reinterpret_cast<const unsigned char*>(keyWithZero.data()), keyWithZero.size());
}

// Test hashes that put keys where a test wants them.
std::uint32_t constantHash(const unsigned char*, std::size_t) { return 42; }
std::uint32_t decimalHash(const unsigned char* key, std::size_t) {
    return static_cast<std::uint32_t>(std::strtoll(reinterpret_cast<const char*>(key), nullptr, 10));
}

std::vector<std::string> visitOrder(const NameTable& table) {
    std::vector<std::string> keys;
    table.forEachEntry([&](NameTable::Entry& e) { keys.emplace_back(e.key); });
    return keys;
}

std::string numbered(int i) { return "key" + std::to_string(i); }

}  // namespace

TEST(NameTableHash, MatchesGeneratorAndRowLayout) {
    NameTable table(0);  // the first table fills the process-wide random table
    const std::vector<std::uint32_t> words = referenceTable();
    EXPECT_EQ(words[0], (218491u << 16) | 1524694590u);  // the first two steps from 13
    for (int b = 0; b < 256; ++b) {
        const unsigned char key = static_cast<unsigned char>(b);
        ASSERT_EQ(tabulationHash(&key, 1), words[b]) << "byte " << b;
    }
    // Byte i uses row i mod 400; the terminating zero takes part.
    EXPECT_EQ(hashOf(std::string("ab", 3)), words['a'] ^ words[256 + 'b'] ^ words[512]);
    const std::string zeros(400, '\0');
    EXPECT_EQ(hashOf(zeros + "\xff") ^ hashOf(zeros), words[0xff]);  // byte 400: row 0
}

TEST(NameTableSize, FirstListValueAboveRequest) {
    EXPECT_EQ(nameTableSizeFor(250), 251u);
    EXPECT_EQ(nameTableSizeFor(251), 509u);
    EXPECT_EQ(nameTableSizeFor(509), 2039u);  // no 1021 in the list
    EXPECT_EQ(nameTableSizeFor(1000), 2039u);
    EXPECT_EQ(nameTableSizeFor(1073741789), 2147483647u);
    EXPECT_EQ(nameTableSizeFor(static_cast<std::size_t>(-1)), 2147483647u);
}

TEST(NameTableGrowth, GrowsBeforeThe1530thInsertionOrUpdate) {
    NameTable table(1000);
    const char* first = table.insertOrSet(numbered(0).c_str(), 1)->key;
    for (int i = 1; i < 1529; ++i) table.insertOrSet(numbered(i).c_str(), 1);
    EXPECT_EQ(table.bucketCount(), 2039u);
    table.insertOrSet("one more", 1);
    EXPECT_EQ(table.bucketCount(), 4093u);
    EXPECT_EQ(table.size(), 1530u);
    EXPECT_EQ(table.find(numbered(0).c_str())->key, first);  // relinked, not copied

    NameTable updated(1000);
    for (int i = 0; i < 1529; ++i) updated.insertOrSet(numbered(i).c_str(), 1);
    updated.insertOrSet(numbered(7).c_str(), 99);  // present already, grows all the same
    EXPECT_EQ(updated.bucketCount(), 4093u);
    EXPECT_EQ(updated.size(), 1529u);
}

TEST(NameTableOrder, ChainsRunNewestFirstAndGrowthReversesThem) {
    NameTable table(0, constantHash);  // 251 buckets, grows at 188 entries
    std::vector<std::string> expected;
    for (int i = 0; i < 188; ++i) {
        table.insertOrSet(numbered(i).c_str(), 1);
        expected.insert(expected.begin(), numbered(i));
    }
    EXPECT_EQ(visitOrder(table), expected);

    // The old chain is moved head first onto the front of the new one, so it now runs
    // oldest first; the new entry then goes on the head.
    table.insertOrSet(numbered(188).c_str(), 1);
    EXPECT_EQ(table.bucketCount(), 509u);
    expected.assign(1, numbered(188));
    for (int i = 0; i < 188; ++i) expected.push_back(numbered(i));
    EXPECT_EQ(visitOrder(table), expected);
}

TEST(NameTableOrder, GrowthMovesOldBucketsInAscendingOrder) {
    NameTable table(0, decimalHash);
    // 509 and 0 share bucket 0 only after the growth to 509 buckets; before it, 509
    // sits in bucket 7. Bucket 0 moves first, so 509 ends up in front of 0.
    table.insertOrSet("509", 1);
    table.insertOrSet("0", 1);
    for (int i = 1; i <= 186; ++i) table.insertOrSet(std::to_string(i).c_str(), 1);
    table.insertOrSet("1000", 1);
    ASSERT_EQ(table.bucketCount(), 509u);
    const std::vector<std::string> order = visitOrder(table);
    EXPECT_EQ(std::vector<std::string>(order.begin(), order.begin() + 3), (std::vector<std::string>{"509", "0", "1"}));
}

TEST(NameTableOrder, BucketIsAbsoluteSignedRemainder) {
    NameTable table(0, decimalHash);  // 251 buckets
    for (const char* key : {"7", "-1", "-130", "0", "-2", "130", "-2147483648"}) table.insertOrSet(key, 1);
    // Buckets 0, 1, 2, 7, 130 (newest first), 187. An unsigned remainder would put -1
    // into bucket 122 and -130 into 244.
    EXPECT_EQ(visitOrder(table), (std::vector<std::string>{"0", "-1", "-2", "7", "130", "-130", "-2147483648"}));
}

TEST(NameTableEntries, InsertUpdateAndFind) {
    NameTable table(10, constantHash);  // one chain: only the key comparison tells keys apart
    char source[] = "name";
    NameTable::Entry* first = table.insertOrSet(source, 5, 1);
    source[0] = 'x';
    EXPECT_STREQ(first->key, "name");  // an owned copy
    EXPECT_EQ(table.insertOrSet("name", 7), first);
    EXPECT_EQ(first->value, 7u);

    std::uintptr_t value = 123;
    EXPECT_EQ(table.find("missing", 8, &value), nullptr);
    EXPECT_EQ(value, 0u);

    // Keys compare over their full length, not as C strings.
    table.insertOrSet("a\0b", 4, 1);
    table.insertOrSet("a\0c", 4, 2);
    table.insertOrSet("a", 1, 3);
    EXPECT_EQ(table.size(), 4u);
    EXPECT_EQ(table.find("a\0c", 4, &value)->value, 2u);
    EXPECT_EQ(table.find("a", 2), nullptr);
    EXPECT_EQ(table.find("a", 1)->value, 3u);
}
