#include "KivNorvikLineRule.h"

#include <cstring>

namespace {

// Number of words in a pattern ("" has none).
int patternWords(const char* pattern)
{
    int words = 0;
    bool inWord = false;
    for (const char* p = pattern; p != nullptr && *p; ++p) {
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
        if (t[i] != static_cast<wchar_t>(static_cast<unsigned char>(word[i])))
            return false;
    }
    return t[length] == 0;
}

bool equals(const KivString& text, const char* word)
{
    return equals(text, word, std::strlen(word));
}

} // namespace

int KivNorvikLineRule::valueCount() const
{
    int count = 0;
    while (count < kMaxValues && values[count].field != nullptr)
        ++count;
    return count;
}

int KivNorvikLineRule::requiredTokens() const
{
    if (exactTokens > 0)
        return exactTokens;
    const int fromPattern = 1 + patternWords(pattern);
    return minTokens > fromPattern ? minTokens : fromPattern;
}

bool KivNorvikLineRule::matches(const KivNorvikTokens& tokens) const
{
    const int count = tokens.getLength();
    if (count < 1 || !equals(tokens[0], keyword))
        return false;
    if (exactTokens > 0 ? count != exactTokens : count < requiredTokens())
        return false;
    // Compare each pattern word with its token; "*" takes any token.
    int index = 1;
    const char* p = pattern;
    while (p != nullptr && *p) {
        while (*p == ' ')
            ++p;
        if (!*p)
            break;
        const char* end = std::strchr(p, ' ');
        const size_t length = end ? static_cast<size_t>(end - p) : std::strlen(p);
        const bool any = length == 1 && *p == '*';
        if (!any && !equals(tokens[index], p, length))
            return false;
        ++index;
        p += length;
    }
    return true;
}

void KivNorvikLineRule::apply(void* target, const KivNorvikTokens& tokens) const
{
    if (target == nullptr)
        return;
    const int count = tokens.getLength();
    for (int i = 0; i < kMaxValues && values[i].field != nullptr; ++i) {
        const KivNorvikValue& value = values[i];
        if (value.store == nullptr)
            continue;
        if (value.kind == KivNorvikValueKind::Fixed)
            value.store(target, KivString());
        else if (value.token < count)
            value.store(target, tokens[value.token]);
    }
    if (fill != nullptr)
        fill(target, tokens);
}

const KivNorvikLineRule* KivNorvikGroupLayout::find(const KivNorvikTokens& tokens) const
{
    for (int i = 0; i < ruleCount; ++i) {
        if (rules[i].matches(tokens))
            return &rules[i];
    }
    return nullptr;
}

const KivNorvikGroupLayout* KivNorvikKindLayout::findGroup(const KivString& line) const
{
    for (int i = 0; i < groupCount; ++i) {
        if (equals(line, groups[i].header))
            return &groups[i];
    }
    return nullptr;
}
