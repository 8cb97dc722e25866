#include "config/name_table.h"

#include <cstring>

namespace {

constexpr std::size_t kHashRows = 400;
constexpr std::size_t kHashWords = kHashRows * 256;

// One table for the whole process; every NameTable hashes with it, so the visiting
// order of a table depends only on its keys and their insertion order.
std::uint32_t g_randomTable[kHashWords];
bool g_randomTableFilled = false;

// Minimal-standard generator step, written as 32-bit wrapping arithmetic. Unsigned
// types do the wrapping so the result is well defined; the final value always lies in
// the positive int32 range after the correction.
std::int32_t nextRandom(std::int32_t s) {
    const std::uint32_t product = static_cast<std::uint32_t>(s) * 16807u;
    const std::uint32_t correction = static_cast<std::uint32_t>(s / 127773) * 2147483647u;
    const std::uint32_t wrapped = product - correction;
    std::int64_t value =
        wrapped < 0x80000000u ? static_cast<std::int64_t>(wrapped) : static_cast<std::int64_t>(wrapped) - 0x100000000LL;
    if (value < 0) value += 2147483647;
    return static_cast<std::int32_t>(value);
}

void fillRandomTable() {
    if (g_randomTableFilled) return;
    std::int32_t s = 13;
    for (std::size_t i = 0; i < kHashWords; ++i) {
        s = nextRandom(s);
        const std::uint32_t a = static_cast<std::uint32_t>(s);
        s = nextRandom(s);
        const std::uint32_t b = static_cast<std::uint32_t>(s);
        g_randomTable[i] = (a << 16) | b;  // the halves overlap on purpose
    }
    g_randomTableFilled = true;
}

// The hash is read as a signed 32-bit number and the remainder keeps its sign, so the
// bucket is |h mod n| rather than the unsigned remainder.
std::size_t bucketIndex(std::uint32_t hash, std::size_t bucketCount) {
    const std::int64_t signedHash =
        hash < 0x80000000u ? static_cast<std::int64_t>(hash) : static_cast<std::int64_t>(hash) - 0x100000000LL;
    const std::int64_t rest = signedHash % static_cast<std::int64_t>(bucketCount);
    return static_cast<std::size_t>(rest < 0 ? -rest : rest);
}

std::size_t thresholdFor(std::size_t bucketCount) {
    return static_cast<std::size_t>(static_cast<double>(bucketCount) * 0.75);
}

}  // namespace

std::uint32_t tabulationHash(const unsigned char* key, std::size_t length) {
    fillRandomTable();  // normally done by the first NameTable; cheap when already filled
    std::uint32_t h = 0;
    std::size_t row = 0;
    for (std::size_t i = 0; i < length; ++i) {
        h ^= g_randomTable[row * 256 + key[i]];
        if (++row == kHashRows) row = 0;
    }
    return h;
}

std::size_t nameTableSizeFor(std::size_t request) {
    static const std::size_t sizes[] = {
        251,     509,     2039,    4093,    8191,     16381,    32749,    65521,     131071,    262139,    524287,
        1048573, 2097143, 4194301, 8388593, 16777213, 33554393, 67108859, 134217689, 268435399, 536870909, 1073741789};
    for (std::size_t size : sizes)
        if (size > request) return size;
    return 2147483647;
}

NameTable::NameTable(std::size_t sizeRequest, NameHashFunction hash) : hash_(hash ? hash : tabulationHash) {
    fillRandomTable();
    bucketCount_ = nameTableSizeFor(sizeRequest);
    buckets_ = new Entry*[bucketCount_]();
    threshold_ = thresholdFor(bucketCount_);
}

NameTable::~NameTable() {
    for (std::size_t b = 0; b < bucketCount_; ++b) {
        Entry* e = buckets_[b];
        while (e) {
            Entry* next = e->next;
            delete[] e->key;
            delete e;
            e = next;
        }
    }
    delete[] buckets_;
}

void NameTable::grow() {
    const std::size_t newCount = nameTableSizeFor(static_cast<std::size_t>(static_cast<double>(bucketCount_) * 2.0));
    Entry** newBuckets = new Entry*[newCount]();
    // Pushing onto the front reverses entries that meet in one new bucket; forEach
    // callers see that order, so it must stay this way.
    for (std::size_t b = 0; b < bucketCount_; ++b) {
        Entry* e = buckets_[b];
        while (e) {
            Entry* next = e->next;
            Entry*& head = newBuckets[bucketIndex(e->hash, newCount)];
            e->next = head;
            head = e;
            e = next;
        }
    }
    delete[] buckets_;
    buckets_ = newBuckets;
    bucketCount_ = newCount;
    threshold_ = thresholdFor(newCount);
}

NameTable::Entry* NameTable::insertOrSet(const char* key, std::size_t length, std::uintptr_t value) {
    if (count_ >= threshold_) grow();  // even when the key turns out to be present
    const std::uint32_t h = hash_(reinterpret_cast<const unsigned char*>(key), length);
    Entry*& head = buckets_[bucketIndex(h, bucketCount_)];
    for (Entry* e = head; e; e = e->next) {
        if (e->hash == h && e->length == length && std::memcmp(e->key, key, length) == 0) {
            e->value = value;
            return e;
        }
    }
    // One spare zero keeps the copy a C string even for a key passed without its zero.
    char* copy = new char[length + 1];
    if (length) std::memcpy(copy, key, length);
    copy[length] = '\0';
    head = new Entry{h, copy, length, value, head};
    ++count_;
    return head;
}

NameTable::Entry* NameTable::find(const char* key, std::size_t length, std::uintptr_t* value) const {
    const std::uint32_t h = hash_(reinterpret_cast<const unsigned char*>(key), length);
    for (Entry* e = buckets_[bucketIndex(h, bucketCount_)]; e; e = e->next) {
        if (e->hash == h && e->length == length && std::memcmp(e->key, key, length) == 0) {
            if (value) *value = e->value;
            return e;
        }
    }
    if (value) *value = 0;
    return nullptr;
}

NameTable::Entry* NameTable::insertOrSet(const char* key, std::uintptr_t value) {
    return insertOrSet(key, std::strlen(key) + 1, value);
}

NameTable::Entry* NameTable::find(const char* key) const { return find(key, std::strlen(key) + 1); }

void NameTable::forEach(void (*visitor)(Entry*, void*), void* context) const {
    for (std::size_t b = 0; b < bucketCount_; ++b) {
        for (Entry* e = buckets_[b]; e; e = e->next) visitor(e, context);
    }
}
