// Cursor over an in-memory byte buffer handing out single bytes or tokens split at a
// whitespace set and a special-character set. Tokens are cut out in place: a zero is
// written behind each token and the byte it replaced is put back on the next call.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class Tokenizer {
public:
    Tokenizer(const char* whitespace, const char* special, std::size_t initialCapacity);

    // Appends text; refused (false, nothing changed) once reading has begun.
    bool addString(const char* text);

    // The byte at the cursor, then advance; 0 at the end (cursor stays).
    char nextChar();
    void ungetChar();

    // Next token, or nullptr at the end. Valid until the next call on the tokenizer.
    const char* nextToken();
    void ungetToken();

private:
    void restoreCutByte();

    std::vector<char> buffer_;  // text plus terminating zero; grows to max(needed, 2 x size)
    std::size_t used_ = 0;
    std::string whitespace_;
    std::string special_;
    std::size_t cursor_ = 0;
    std::size_t tokenStart_ = 0;
    bool haveToken_ = false;
    std::size_t cutAt_ = 0;  // where a token's terminating zero was written
    char cutByte_ = 0;
    bool haveCut_ = false;
    unsigned char byteClass_[256] = {};  // whitespace / special lookup, one read per byte
};
