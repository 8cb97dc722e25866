#include "config/tokenizer.h"

#include <cstring>

namespace {
constexpr unsigned char kWhitespace = 1;
constexpr unsigned char kSpecial = 2;
}  // namespace

Tokenizer::Tokenizer(const char* whitespace, const char* special, std::size_t initialCapacity)
    : buffer_(initialCapacity ? initialCapacity : 1, '\0'), whitespace_(whitespace ? whitespace : ""),
      special_(special ? special : "") {
    for (unsigned char c : whitespace_) byteClass_[c] |= kWhitespace;
    for (unsigned char c : special_) byteClass_[c] |= kSpecial;
}

void Tokenizer::restoreCutByte() {
    if (haveCut_) {
        buffer_[cutAt_] = cutByte_;
        haveCut_ = false;
    }
}

bool Tokenizer::addString(const char* text) {
    restoreCutByte();
    if (!text || cursor_ != 0) return false;
    const std::size_t length = std::strlen(text);
    const std::size_t needed = used_ + length + 1;
    if (needed > buffer_.size()) {
        const std::size_t doubled = buffer_.size() * 2;
        buffer_.resize(needed > doubled ? needed : doubled);
    }
    std::memcpy(buffer_.data() + used_, text, length);
    used_ += length;
    buffer_[used_] = '\0';
    return true;
}

char Tokenizer::nextChar() {
    restoreCutByte();
    if (cursor_ >= used_) return '\0';
    return buffer_[cursor_++];
}

void Tokenizer::ungetChar() {
    restoreCutByte();
    if (cursor_ > 0) --cursor_;
    haveToken_ = false;
}

const char* Tokenizer::nextToken() {
    restoreCutByte();
    const char* data = buffer_.data();
    while (cursor_ < used_ && (byteClass_[static_cast<unsigned char>(data[cursor_])] & kWhitespace)) ++cursor_;
    if (cursor_ >= used_) {
        haveToken_ = false;
        return nullptr;
    }
    tokenStart_ = cursor_;
    if (byteClass_[static_cast<unsigned char>(data[cursor_])] & kSpecial) {
        ++cursor_;
    } else {
        while (cursor_ < used_ && !byteClass_[static_cast<unsigned char>(data[cursor_])]) ++cursor_;
    }
    haveToken_ = true;
    // The stopping byte stays unread; it is hidden behind a zero only until the next call.
    if (cursor_ < used_) {
        cutAt_ = cursor_;
        cutByte_ = buffer_[cursor_];
        buffer_[cursor_] = '\0';
        haveCut_ = true;
    }
    return buffer_.data() + tokenStart_;
}

void Tokenizer::ungetToken() {
    restoreCutByte();
    if (haveToken_) cursor_ = tokenStart_;
    haveToken_ = false;
}
