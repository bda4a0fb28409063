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

unsigned char KivNorvikRowIndex::bucketOf(const Key& keyword, size_t length, const Key& lead,
                                          size_t leadLength)
{
    const std::uint64_t mixed =
        (keyword.low ^ keyword.high * 31 ^ lead.low * 7 ^ lead.high * 13) + length + (leadLength << 8);
    return static_cast<unsigned char>((mixed * 0x9E3779B97F4A7C15ull) >> 56);
}

void KivNorvikRowIndex::build(const KivNorvikGroupLayout& group)
{
    for (const Row& row : rows_) {
        head_[row.bucket] = 0;
    }
    rows_.clear();
    words_.clear();
    const int count = group.ruleCount > 0 ? group.ruleCount : 0;
    rows_.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const KivNorvikLineRule& rule = group.rules[i];
        Row& row = rows_[static_cast<size_t>(i)];
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
            words_.push_back(Word{word, length, keyOfWord(word, length), length == 1 && *word == '*'});
        }
        row.wordCount = static_cast<unsigned>(words_.size()) - row.firstWord;
        row.leads = row.wordCount > 0 && !words_[row.firstWord].any;
        const Word none{"", 0, Key(), true};
        const Word& lead = row.leads ? words_[row.firstWord] : none;
        row.bucket = bucketOf(row.key, row.length, lead.key, lead.length);
    }
    for (size_t i = rows_.size(); i-- > 0;) {
        Row& row = rows_[i];
        row.next = head_[row.bucket];
        head_[row.bucket] = static_cast<unsigned>(i + 1);
    }
}

bool KivNorvikRowIndex::selects(const Row& row, const KivNorvikLineTokens& tokens, int count,
                                const Key& second) const
{
    // The keyword's length and first 16 bytes are the line's.
    if (row.exactTokens > 0 ? count != row.exactTokens : count < row.minTokens) {
        return false;
    }
    if (!sameTail(tokens[0].data(), row.keyword, row.length)) {
        return false;
    }
    for (unsigned w = 0; w < row.wordCount; ++w) {
        const int index = 1 + static_cast<int>(w);
        if (index >= count) {
            return false;
        }
        const Word& word = words_[row.firstWord + w];
        const KivNorvikToken& token = tokens[index];
        if (word.any) {
            continue;
        }
        const Key key = w == 0 ? second : keyOfToken(token);
        if (token.size() != word.length || !(key == word.key) ||
            !sameTail(token.data(), word.text, word.length)) {
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
    const size_t length = tokens[0].size();
    const Key keyword = keyOfToken(tokens[0]);
    const Key second = count > 1 ? keyOfToken(tokens[1]) : Key();
    const size_t secondLength = count > 1 ? tokens[1].size() : 0;
    const unsigned char own = bucketOf(keyword, length, second, secondLength);
    const unsigned char any = bucketOf(keyword, length, Key(), 0);
    // The two chains, merged in table order.
    unsigned a = head_[own];
    unsigned b = any != own ? head_[any] : 0;
    while (a != 0 || b != 0) {
        unsigned i;
        if (b == 0 || (a != 0 && a < b)) {
            i = a;
            a = rows_[a - 1].next;
        } else {
            i = b;
            b = rows_[b - 1].next;
        }
        const Row& row = rows_[i - 1];
        if (row.length == length && row.key == keyword && selects(row, tokens, count, second)) {
            return static_cast<int>(i - 1);
        }
    }
    return -1;
}
