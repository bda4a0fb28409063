#include "KivNorvikRowIndex.h"

#include <cstring>

namespace {

constexpr size_t kKeyBytes = 16;

// Whether the `n` bytes at `a` and `b` are the same; words are short: no call.
bool same(const char* a, const char* b, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        if (a[i] != b[i]) {
            return false;
        }
    }
    return true;
}

// The bytes of `value` that come first in memory, `n` of them (n < 8), the others zero.
std::uint64_t firstBytes(std::uint64_t value, size_t n)
{
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    return n == 0 ? 0 : value & (~std::uint64_t{0} << (8 * (8 - n)));
#else
    return value & ((std::uint64_t{1} << (8 * n)) - 1);
#endif
}

// Whether the bytes past the first 16 are the same.
bool sameTail(const char* a, const char* b, size_t n)
{
    return n <= kKeyBytes || same(a + kKeyBytes, b + kKeyBytes, n - kKeyBytes);
}

} // namespace

KivNorvikRowIndex::Key KivNorvikRowIndex::keyOfWord(const char* text, size_t length)
{
    char padded[kKeyBytes] = {};
    std::memcpy(padded, text, length < kKeyBytes ? length : kKeyBytes);
    Key key;
    std::memcpy(&key.low, padded, 8);
    std::memcpy(&key.high, padded + 8, 8);
    return key;
}

KivNorvikRowIndex::Key KivNorvikRowIndex::keyOfToken(const KivNorvikToken& token)
{
    // Reads 16 bytes whatever the token's length: the bytes after it are readable.
    const size_t length = token.size();
    Key key;
    std::memcpy(&key.low, token.data(), 8);
    std::memcpy(&key.high, token.data() + 8, 8);
    if (length < 8) {
        key.low = firstBytes(key.low, length);
        key.high = 0;
    } else if (length < kKeyBytes) {
        key.high = firstBytes(key.high, length - 8);
    }
    return key;
}

unsigned char KivNorvikRowIndex::bucketOf(char first, size_t length)
{
    return static_cast<unsigned char>(static_cast<unsigned char>(first) + 8 * length);
}

void KivNorvikRowIndex::build(const KivNorvikGroupLayout& group)
{
    for (const Row& row : rows_) {
        if (row.reads) {
            head_[row.bucket] = 0;
        }
    }
    rows_.clear();
    words_.clear();
    const int count = group.ruleCount > 0 ? group.ruleCount : 0;
    rows_.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const KivNorvikLineRule& rule = group.rules[i];
        Row& row = rows_[static_cast<size_t>(i)];
        row.reads = rule.reads();
        if (!row.reads) {
            continue; // its line is read by other rows: it is in no chain
        }
        row.keyword = rule.keyword;
        row.length = std::strlen(rule.keyword);
        row.key = keyOfWord(rule.keyword, row.length);
        row.minTokens = rule.minTokens;
        row.exactTokens = rule.exactTokens;
        row.firstWord = static_cast<unsigned>(words_.size());
        for (const char* p = rule.pattern != nullptr ? rule.pattern : "";;) {
            while (*p == ' ') {
                ++p;
            }
            if (*p == 0) {
                break;
            }
            const char* word = p;
            while (*p != ' ' && *p != 0) {
                ++p;
            }
            const size_t length = static_cast<size_t>(p - word);
            // "*" and a word in parentheses take any token.
            const bool any = (length == 1 && *word == '*') || (length >= 2 && *word == '(');
            words_.push_back(Word{word, length, keyOfWord(word, length), any});
        }
        row.wordCount = static_cast<unsigned>(words_.size()) - row.firstWord;
        const bool leads = row.wordCount > 0 && !words_[row.firstWord].any;
        row.lead = leads ? words_[row.firstWord].key : Key();
        row.leadLength = leads ? words_[row.firstWord].length : 0;
        row.bucket = bucketOf(rule.keyword[0], row.length);
        row.realTokens = 0;
        row.integerTokens = 0;
        row.plainNumbers = true;
        row.needed = rule.readTokens;
        row.moreAllowed = rule.exactTokens != 0 || (rule.flags & kNorvikRowAnyTokens) != 0u;
        row.repeats = (rule.flags & kNorvikRowRepeats) != 0u;
        for (int v = 0; v < rule.valueCount; ++v) {
            const KivNorvikValue& value = rule.values[v];
            if ((rule.numberValues & (1u << v)) == 0u) {
                continue;
            }
            if (value.token < 0 || value.token >= 64) {
                row.plainNumbers = false;
            } else {
                (value.kind == KivNorvikValueKind::Real ? row.realTokens : row.integerTokens) |=
                    std::uint64_t{1} << value.token;
            }
        }
    }
    for (size_t i = rows_.size(); i-- > 0;) {
        Row& row = rows_[i];
        if (!row.reads) {
            continue;
        }
        row.next = head_[row.bucket];
        head_[row.bucket] = static_cast<unsigned>(i + 1);
    }
}

bool KivNorvikRowIndex::wordsMatch(const Row& row, const KivNorvikLineTokens& tokens, int count) const
{
    if (static_cast<int>(row.wordCount) >= count) {
        return false;
    }
    for (unsigned w = 0; w < row.wordCount; ++w) {
        const Word& word = words_[row.firstWord + w];
        const KivNorvikToken& token = tokens[1 + static_cast<int>(w)];
        if (!word.any && (token.size() != word.length || !(keyOfToken(token) == word.key) ||
                          !sameTail(token.data(), word.text, word.length))) {
            return false;
        }
    }
    return true;
}

int KivNorvikRowIndex::find(const KivNorvikLineTokens& tokens) const
{
    const int count = tokens.getLength();
    if (count < 1) {
        return -1;
    }
    const KivNorvikToken& head = tokens[0];
    const size_t length = head.size();
    unsigned i = head_[bucketOf(head.data()[0], length)];
    if (i == 0) {
        return -1;
    }
    const Key keyword = keyOfToken(head);
    const size_t secondLength = count > 1 ? tokens[1].size() : 0;
    Key second; // made when a row first needs it (a token's key is never zero)
    for (; i != 0; i = rows_[i - 1].next) {
        const Row& row = rows_[i - 1];
        if (row.length != length || !(row.key == keyword)) {
            continue;
        }
        if (row.leadLength != 0) {
            if (row.leadLength != secondLength) {
                continue;
            }
            if (second.low == 0) {
                second = keyOfToken(tokens[1]);
            }
            if (!(second == row.lead)) {
                continue;
            }
        }
        if ((row.exactTokens > 0 ? count == row.exactTokens : count >= row.minTokens) &&
            sameTail(head.data(), row.keyword, length) &&
            (row.wordCount == 0 || wordsMatch(row, tokens, count))) {
            return static_cast<int>(i - 1);
        }
    }
    return -1;
}
