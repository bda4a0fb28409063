#pragma once

#include "KivNorvikGroupLayout.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Finds the row of a group that a line selects without trying every row.
// Rows are chained by their keyword's first byte and length, in table order,
// so a line tries only the rows whose keyword could be its own, and the row
// found is the one the group's find() gives. Words are compared by their
// first 16 bytes held as two integers, worked out once when the index is
// built. Used by the reader only.
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
    // What a quick look says of a line that row `index` filled.
    enum class Look {
        Clean,        // the tokens its values read, no more unless the row allows
                      // more, and each number value's token converted whole by the row
        WrongCount,   // too few tokens, or more than the row allows
        CheckNumbers, // the count is right; a number needs a closer look
    };
    Look look(int index, const KivNorvikLineTokens& tokens) const
    {
        const Row& row = rows_[static_cast<size_t>(index)];
        const int count = tokens.getLength();
        if (count != row.needed && (count < row.needed || !row.moreAllowed)) {
            return Look::WrongCount;
        }
        for (std::uint64_t mask = row.realTokens; mask != 0u; mask &= mask - 1) {
            if (!tokens[lowestBit(mask)].wholly(KivNorvikToken::Real)) {
                return Look::CheckNumbers;
            }
        }
        for (std::uint64_t mask = row.integerTokens; mask != 0u; mask &= mask - 1) {
            if (!tokens[lowestBit(mask)].wholly(KivNorvikToken::Integer)) {
                return Look::CheckNumbers;
            }
        }
        return row.plainNumbers ? Look::Clean : Look::CheckNumbers;
    }
    // Whether row `index` expects several lines (kNorvikRowRepeats).
    bool repeats(int index) const { return rows_[static_cast<size_t>(index)].repeats; }

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
        size_t length = 0;
        Key key;
        bool any; // "*" or "(word)": any token
    };
    struct Row
    {
        const char* keyword = nullptr;
        size_t length = 0;
        Key key;
        int minTokens = 0;
        int exactTokens = 0;
        Key lead; // its first pattern word's key; zero for none, or "*"
        size_t leadLength = 0;
        unsigned firstWord = 0; // its pattern words in words_
        unsigned wordCount = 0;
        std::uint64_t realTokens = 0;    // bit t: a real value reads token t
        std::uint64_t integerTokens = 0; // bit t: an integer value reads token t
        bool plainNumbers = true;        // the masks hold every number value
        int needed = 0;                  // the tokens its values read
        bool moreAllowed = false;        // more tokens are no finding
        bool repeats = false;
        unsigned char bucket = 0;
        unsigned next = 0;  // 1 + the next row of its chain; 0: none
        bool reads = false; // a row that reads lines; others are in no chain
    };
    // The index of the lowest bit set in a nonzero mask.
    static int lowestBit(std::uint64_t mask)
    {
#if defined(__GNUC__)
        return __builtin_ctzll(mask);
#else
        int bit = 0;
        for (; (mask & 1u) == 0u; mask >>= 1) {
            ++bit;
        }
        return bit;
#endif
    }
    static Key keyOfWord(const char* text, size_t length);
    static Key keyOfToken(const KivNorvikToken& token);
    static unsigned char bucketOf(char first, size_t length);
    // Whether tokens 1, 2, ... are the row's pattern words.
    bool wordsMatch(const Row& row, const KivNorvikLineTokens& tokens, int count) const;

    std::vector<Row> rows_;
    std::vector<Word> words_;
    unsigned head_[256] = {}; // 1 + the first row of each chain; 0: none
};
