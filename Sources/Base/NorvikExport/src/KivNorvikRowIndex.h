#pragma once

#include "KivNorvikLineRule.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Finds the row of a group that a line selects without trying every row.
// A row is chained by a hash of its keyword and of its first pattern word; a
// line tries the rows of its own chain and those that take any second token,
// in table order, so the row found is the one the group's find() gives.
// Words are compared by their first 16 bytes held as two integers, worked
// out once when the index is built. Used by the reader only.
class KivNorvikRowIndex
{
public:
    KivNorvikRowIndex() = default;
    explicit KivNorvikRowIndex(const KivNorvikGroupLayout& group) { build(group); }

    // Indexes the rows of `group`, in place of what was indexed. Throws std::bad_alloc.
    void build(const KivNorvikGroupLayout& group);
    // The index of the first row that the tokens select, or -1. The tokens'
    // bytes must be followed by 16 readable bytes, as split() asks.
    int find(const KivNorvikLineTokens& tokens) const;
    // The number of rows indexed.
    size_t size() const { return rows_.size(); }

private:
    // The first 16 bytes of a word, zero past its end.
    struct Key
    {
        std::uint64_t low = 0;
        std::uint64_t high = 0;
        bool operator==(const Key& other) const { return low == other.low && high == other.high; }
    };
    struct Word
    {
        const char* text;
        size_t length;
        Key key;
        bool any; // "*": any token
    };
    struct Row
    {
        const char* keyword;
        size_t length;
        Key key;
        int minTokens;
        int exactTokens;
        unsigned firstWord; // its pattern words in words_
        unsigned wordCount;
        bool leads; // its first pattern word is a word, not "*"
        unsigned char bucket;
        unsigned next; // 1 + the next row of its chain; 0: none
    };
    static Key keyOfWord(const char* text, size_t length);
    static Key keyOfToken(const KivNorvikToken& token);
    static unsigned char bucketOf(const Key& keyword, size_t length, const Key& lead, size_t leadLength);
    bool selects(const Row& row, const KivNorvikLineTokens& tokens, int count, const Key& second) const;

    std::vector<Row> rows_;
    std::vector<Word> words_;
    unsigned head_[256] = {}; // 1 + the first row of each chain; 0: none
};
