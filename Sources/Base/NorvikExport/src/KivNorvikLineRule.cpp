#include "KivNorvikLineRule.h"

#include <cstring>

namespace {

// Number of words in a pattern ("" has none).
int patternWords(const char* pattern)
{
    int words = 0;
    bool inWord = false;
    for (const char* p = pattern; p != nullptr && (*p != 0); ++p) {
        if (*p == ' ') {
            inWord = false;
        } else if (!inWord) {
            inWord = true;
            ++words;
        }
    }
    return words;
}

// Whole-text equality of a token with an ASCII word, without building a string.
bool equals(const KivString& text, const char* word, size_t length)
{
    const wchar_t* t = text.getStringW();
    for (size_t i = 0; i < length; ++i) {
        if (t[i] != static_cast<wchar_t>(static_cast<unsigned char>(word[i]))) {
            return false;
        }
    }
    return t[length] == 0;
}

bool equals(const KivString& text, const char* word)
{
    const wchar_t* t = text.getStringW();
    for (; *word != 0; ++word, ++t) {
        if (*t != static_cast<wchar_t>(static_cast<unsigned char>(*word))) {
            return false;
        }
    }
    return *t == 0;
}

} // namespace

int KivNorvikLineRule::valueCount() const
{
    int count = 0;
    while (count < kMaxValues && values[count].field != nullptr) {
        ++count;
    }
    return count;
}

int KivNorvikLineRule::patternWordCount() const { return patternWords(pattern); }

int KivNorvikLineRule::valueTokens() const
{
    int tokens = 1 + patternWords(pattern);
    for (int i = 0; i < kMaxValues && values[i].field != nullptr; ++i) {
        if (values[i].kind != KivNorvikValueKind::Fixed && values[i].token + 1 > tokens) {
            tokens = values[i].token + 1;
        }
    }
    return tokens;
}

unsigned KivNorvikLineRule::numberValueMask() const
{
    unsigned mask = 0;
    for (int i = 0; i < kMaxValues && values[i].field != nullptr; ++i) {
        if (values[i].kind != KivNorvikValueKind::Fixed && values[i].kind != KivNorvikValueKind::Text) {
            mask |= 1u << i;
        }
    }
    return mask;
}

int KivNorvikLineRule::requiredTokens() const
{
    if (exactTokens > 0) {
        return exactTokens;
    }
    const int fromPattern = 1 + patternWords(pattern);
    return minTokens > fromPattern ? minTokens : fromPattern;
}

namespace {

bool equals(const KivNorvikToken& token, const char* word, size_t length)
{
    if (token.size() != length) {
        return false;
    }
    const char* text = token.data();
    for (size_t i = 0; i < length; ++i) { // words are short: no call
        if (text[i] != word[i]) {
            return false;
        }
    }
    return true;
}

bool equals(const KivNorvikToken& token, const char* word) { return token == word; }

// Whether the keyword and the pattern words match, for either kind of tokens.
template <class Tokens>
bool wordsMatch(const KivNorvikLineRule& rule, const Tokens& tokens)
{
    const int count = tokens.getLength();
    if (count < 1 || !equals(tokens[0], rule.keyword)) {
        return false;
    }
    // Compare each pattern word with its token; "*" takes any token.
    int index = 1;
    const char* p = rule.pattern != nullptr ? rule.pattern : "";
    for (;;) {
        while (*p == ' ') {
            ++p;
        }
        if (*p == 0) {
            return true;
        }
        if (index >= count) {
            return false;
        }
        const char* word = p;
        while (*p != ' ' && *p != 0) {
            ++p;
        }
        const size_t length = static_cast<size_t>(p - word);
        if (!(length == 1 && *word == '*') && !equals(tokens[index], word, length)) {
            return false;
        }
        ++index;
    }
}

// Whether the tokens select the row. The pattern's words being matched, the
// line has at least 1 + their count tokens, so only the row's own minimum is
// left to compare.
template <class Tokens>
bool rowMatches(const KivNorvikLineRule& rule, const Tokens& tokens)
{
    const int count = tokens.getLength();
    if (count < 1 || (rule.exactTokens > 0 ? count != rule.exactTokens : count < rule.minTokens)) {
        return false;
    }
    return wordsMatch(rule, tokens);
}

} // namespace

bool KivNorvikLineRule::matches(const KivNorvikTokens& tokens) const { return rowMatches(*this, tokens); }

bool KivNorvikLineRule::matches(const KivNorvikLineTokens& tokens) const { return rowMatches(*this, tokens); }

bool KivNorvikLineRule::matchesWords(const KivNorvikTokens& tokens) const
{
    return wordsMatch(*this, tokens);
}

bool KivNorvikLineRule::matchesWords(const KivNorvikLineTokens& tokens) const
{
    return wordsMatch(*this, tokens);
}

KivNorvikFillResult KivNorvikLineRule::apply(const KivNorvikTarget& target,
                                             const KivNorvikLineTokens& tokens) const
{
    if (target.isNull()) {
        return KivNorvikFillResult::Done;
    }
    static const KivNorvikToken none;
    const int count = tokens.getLength();
    for (int i = 0; i < kMaxValues && values[i].field != nullptr; ++i) {
        const KivNorvikValue& value = values[i];
        if (!value.store) {
            continue;
        }
        if (value.kind == KivNorvikValueKind::Fixed) {
            value.store(target, none);
        } else if (value.token < count) {
            value.store(target, tokens[value.token]);
        }
    }
    return fill ? fill(target, tokens) : KivNorvikFillResult::Done;
}

bool KivNorvikGroupLayout::isHeader(const KivString& line) const
{
    if (!numbered) {
        return equals(line, header);
    }
    // The prefix, then an integer as "%d" writes it.
    const wchar_t* t = line.getStringW();
    const size_t length = std::strlen(header);
    for (size_t i = 0; i < length; ++i) {
        if (t[i] != static_cast<wchar_t>(static_cast<unsigned char>(header[i]))) {
            return false;
        }
    }
    const wchar_t* p = t + length;
    if (*p == L'-') {
        ++p;
    }
    if (*p < L'0' || *p > L'9') {
        return false;
    }
    while (*p >= L'0' && *p <= L'9') {
        ++p;
    }
    return *p == 0;
}

bool KivNorvikGroupLayout::isHeader(const char* line, size_t length) const
{
    if (length == 0 || line[0] != header[0]) {
        return false;
    }
    const size_t prefix = std::strlen(header);
    if (length < prefix || std::memcmp(line, header, prefix) != 0) {
        return false;
    }
    if (!numbered) {
        return length == prefix;
    }
    size_t i = prefix;
    if (i < length && line[i] == '-') {
        ++i;
    }
    if (i == length || line[i] < '0' || line[i] > '9') {
        return false;
    }
    while (i < length && line[i] >= '0' && line[i] <= '9') {
        ++i;
    }
    return i == length;
}

const KivNorvikLineRule* KivNorvikGroupLayout::find(const KivNorvikTokens& tokens) const
{
    for (int i = 0; i < ruleCount; ++i) {
        if (rules[i].matches(tokens)) {
            return &rules[i];
        }
    }
    return nullptr;
}

const KivNorvikLineRule* KivNorvikGroupLayout::find(const KivNorvikLineTokens& tokens) const
{
    if (tokens.getLength() == 0) {
        return nullptr;
    }
    // Most rows differ from the line in the keyword's first byte.
    const char first = tokens[0].data()[0];
    for (int i = 0; i < ruleCount; ++i) {
        if (rules[i].keyword[0] == first && rules[i].matches(tokens)) {
            return &rules[i];
        }
    }
    return nullptr;
}

const KivNorvikGroupLayout* KivNorvikKindLayout::findGroup(const KivString& line) const
{
    for (int i = 0; i < groupCount; ++i) {
        if (groups[i].isHeader(line)) {
            return &groups[i];
        }
    }
    return nullptr;
}

const KivNorvikGroupLayout* KivNorvikKindLayout::findGroup(const char* line, size_t length) const
{
    if (length == 0) {
        return nullptr;
    }
    for (int i = 0; i < groupCount; ++i) {
        if (groups[i].header[0] == line[0] && groups[i].isHeader(line, length)) {
            return &groups[i];
        }
    }
    return nullptr;
}
