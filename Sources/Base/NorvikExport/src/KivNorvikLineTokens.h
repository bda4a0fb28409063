#pragma once

#include "KivNorvikToken.h"

#include <cstddef>
#include <vector>

// The tokens of one line as spans of its bytes. Refilled from line to line
// without allocating once it has held as many tokens as a line has.
class KivNorvikLineTokens
{
public:
    int getLength() const { return count_; }
    const KivNorvikToken& operator[](int index) const { return tokens_[static_cast<size_t>(index)]; }

    // The blank-separated tokens of `length` bytes, trimmed of white space
    // first; runs of blanks give no empty tokens, a tab is part of a token.
    // The bytes must outlive the tokens, and the 15 bytes after them must be
    // readable (the file's bytes are followed by KivNorvikFileBytes::kReadableAfter).
    void split(const char* text, size_t length);

private:
    // Room for at least `room` more tokens, and as many as there are; `out`
    // and `limit` follow the move.
    void grow(KivNorvikToken*& out, KivNorvikToken*& limit, size_t room);

    std::vector<KivNorvikToken> tokens_;
    int count_ = 0;
};
