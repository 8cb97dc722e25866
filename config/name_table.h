// Hash table from byte-string keys to one word-sized value. Keys are copied once and
// never move, so a table doubles as an intern pool: equal names give equal pointers.
// The hash, the bucket sizes and the growth rule decide the visiting order of forEach,
// which callers (the installer property list) rely on; keep them as they are.
#pragma once

#include <cstddef>
#include <cstdint>

using NameHashFunction = std::uint32_t (*)(const unsigned char* key, std::size_t length);

// Tabulation hash over the process-wide random table (filled on first use).
std::uint32_t tabulationHash(const unsigned char* key, std::size_t length);

// First value of the bucket size list greater than the request.
std::size_t nameTableSizeFor(std::size_t request);

class NameTable {
public:
    struct Entry {
        std::uint32_t hash;
        char* key;           // owned, zero-terminated copy; the interned form of the key
        std::size_t length;  // includes the terminating zero
        std::uintptr_t value;
        Entry* next;
    };

    explicit NameTable(std::size_t sizeRequest, NameHashFunction hash = tabulationHash);
    ~NameTable();
    NameTable(const NameTable&) = delete;
    NameTable& operator=(const NameTable&) = delete;

    // length counts the terminating zero byte, as in strlen(key) + 1.
    Entry* insertOrSet(const char* key, std::size_t length, std::uintptr_t value);
    Entry* find(const char* key, std::size_t length, std::uintptr_t* value = nullptr) const;

    // Convenience forms for zero-terminated keys.
    Entry* insertOrSet(const char* key, std::uintptr_t value);
    Entry* find(const char* key) const;

    // Bucket 0 first, then ascending; each chain from head to tail.
    void forEach(void (*visitor)(Entry*, void*), void* context) const;
    template <typename F>
    void forEachEntry(F&& f) const {
        forEach([](Entry* e, void* c) { (*static_cast<F*>(c))(*e); }, &f);
    }

    std::size_t bucketCount() const { return bucketCount_; }
    std::size_t size() const { return count_; }

private:
    void grow();

    NameHashFunction hash_;
    Entry** buckets_ = nullptr;
    std::size_t bucketCount_ = 0;
    std::size_t count_ = 0;
    std::size_t threshold_ = 0;
};
