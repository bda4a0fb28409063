#include "KivNorvikLineRule.h"

#include <cstring>
#include <string>

namespace {

// Calls `visit(word, length, compared)` for each word of a pattern; "*" is
// an uncompared word that is not written.
template <class Visit>
void eachPatternWord(const char* pattern, Visit visit)
{
    const char* p = pattern != nullptr ? pattern : "";
    for (;;) {
        while (*p == ' ') {
            ++p;
        }
        if (*p == 0) {
            return;
        }
        const char* word = p;
        while (*p != ' ' && *p != 0) {
            ++p;
        }
        const size_t length = static_cast<size_t>(p - word);
        if (length >= 2 && word[0] == '(' && word[length - 1] == ')') {
            visit(word + 1, length - 2, false);
        } else {
            visit(word, length, !(length == 1 && *word == '*'));
        }
    }
}

int patternWords(const char* pattern)
{
    int words = 0;
    eachPatternWord(pattern, [&words](const char*, size_t, bool) { ++words; });
    return words;
}

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

} // namespace

KivNorvikFormat::KivNorvikFormat(const char* format) : text(format)
{
    const char* p = format;
    if (*p == '%') {
        ++p;
    }
    for (; *p >= '0' && *p <= '9'; ++p) {
        width = width * 10 + (*p - '0');
    }
    if (*p == '.') {
        precision = 0;
        for (++p; *p >= '0' && *p <= '9'; ++p) {
            precision = precision * 10 + (*p - '0');
        }
    }
    conversion = *p != 0 ? *p : 's';
    comma = conversion != 0 && p[1] == ',';
}

const char* KivNorvikWords::wordOf(int code) const
{
    if (code >= 0 && code < count) {
        return words[code];
    }
    return writtenOther >= 0 ? words[writtenOther] : nullptr;
}

int KivNorvikWords::codeOf(const KivNorvikToken& token) const
{
    for (int i = 0; i < count; ++i) {
        if (token == words[i]) {
            return i;
        }
    }
    return -1;
}

void KivNorvikLineRule::makePrefix()
{
    textValues = 0;
    writtenCount = 0;
    for (int i = 0; i < valueCount; ++i) {
        KivNorvikValue& v = values[i];
        const bool writes = v.kind != KivNorvikValueKind::Fixed && v.kind != KivNorvikValueKind::Sets;
        v.gap = !writes ? 0 : v.token < 32 && (wideGaps & (1u << v.token)) != 0u ? 2 : 1;
        textValues += writes && v.kind == KivNorvikValueKind::Text ? 1 : 0;
        if (writes) {
            writtenValues[writtenCount++] =
                Written{v.kind,
                        v.gap,
                        static_cast<unsigned char>(v.format.width),
                        static_cast<signed char>(v.format.precision < 0 ? 6 : v.format.precision),
                        v.format.comma,
                        i,
                        v.offset};
        }
    }
    // Each value's blanks and widest number (64), each text up to kShortText,
    // the words (the prefix block, or the pattern written with its blanks).
    writeBound = static_cast<size_t>(writtenCount) * (66 + kShortText) + sizeof prefix +
                 static_cast<size_t>(indent) + 2 * std::strlen(pattern) + 8;
    prefixLength = 0;
    if (keyword == nullptr || choice.words != nullptr) {
        return;
    }
    std::string text(static_cast<size_t>(indent), ' ');
    text += keyword;
    int token = 1;
    eachPatternWord(pattern, [&](const char* word, size_t length, bool compared) {
        if (!compared && length == 1 && *word == '*') {
            ++token;
            return; // "*" is not written
        }
        text += (wideGaps & (1u << token)) != 0u ? "  " : " ";
        text.append(word, length);
        ++token;
    });
    if (text.size() <= static_cast<size_t>(kPrefixBytes)) {
        std::memcpy(prefix, text.data(), text.size());
        prefixLength = static_cast<int>(text.size());
    }
}

KivNorvikLineRule& KivNorvikLineRule::words(const char* words)
{
    pattern = words;
    readTokens = valueTokens();
    makePrefix();
    return *this;
}

KivNorvikLineRule& KivNorvikLineRule::holding(std::initializer_list<KivNorvikValue> list)
{
    KIV_ASSERT(list.size() <= static_cast<size_t>(kMaxValues));
    valueCount = 0;
    for (const KivNorvikValue& value : list) {
        if (valueCount < kMaxValues) {
            values[valueCount++] = value;
        }
    }
    readTokens = valueTokens();
    numberValues = numberValueMask();
    makePrefix();
    plainCount = 0;
    otherValues = false;
    for (int i = 0; i < valueCount; ++i) {
        const KivNorvikValue& v = values[i];
        if (v.store != nullptr && v.allowed == nullptr) {
            plain[plainCount++] = Plain{v.token, v.store};
        } else if (v.set != nullptr || v.store != nullptr) {
            otherValues = true;
        }
    }
    return *this;
}

KivNorvikLineRule& KivNorvikLineRule::written(const KivNorvikCondition& condition)
{
    when = condition;
    return *this;
}

KivNorvikLineRule& KivNorvikLineRule::leftOutAs(const char* reasonCode)
{
    reason = reasonCode;
    return *this;
}

KivNorvikLineRule& KivNorvikLineRule::tokens(int minimum)
{
    minTokens = minimum;
    return *this;
}

KivNorvikLineRule& KivNorvikLineRule::exactly(int count)
{
    exactTokens = count;
    return *this;
}

KivNorvikLineRule& KivNorvikLineRule::reading(KivNorvikFillFn function)
{
    fill = function;
    numberValues = numberValueMask(); // the values that the reading names
    return *this;
}

KivNorvikLineRule& KivNorvikLineRule::with(unsigned rowFlags)
{
    flags |= rowFlags;
    return *this;
}

KivNorvikLineRule& KivNorvikLineRule::indented(int blanks)
{
    indent = blanks;
    makePrefix();
    return *this;
}

KivNorvikLineRule& KivNorvikLineRule::wideBefore(int token)
{
    wideGaps |= 1u << token;
    makePrefix();
    return *this;
}

KivNorvikLineRule& KivNorvikLineRule::chosen(const KivNorvikChoice& wordChoice)
{
    choice = wordChoice;
    makePrefix();
    return *this;
}

KivNorvikLineRule& KivNorvikLineRule::each(const KivNorvikElements& array)
{
    elements = array;
    return *this;
}

KivNorvikLineRule& KivNorvikLineRule::inTurn(const char* const* members, int count, KivNorvikCodeFn lines)
{
    turns = members;
    turnCount = count;
    turn = lines;
    return *this;
}

KivNorvikLineRule& KivNorvikLineRule::noting(const char* field, const char* code, const char* message)
{
    note = KivNorvikNote{field, code, message};
    return *this;
}

KivNorvikLineRule& KivNorvikLineRule::outside(const KivNorvikOutside& codeOutside)
{
    range = codeOutside;
    return *this;
}

KivNorvikLineRule& KivNorvikLineRule::selectedBy(KivNorvikWhenFn test)
{
    selected = test;
    return *this;
}

int KivNorvikLineRule::patternWordCount() const { return patternWords(pattern); }

int KivNorvikLineRule::valueTokens() const
{
    int tokens = 1 + patternWords(pattern);
    for (int i = 0; i < valueCount; ++i) {
        const KivNorvikValue& v = values[i];
        if (v.token > 0 && v.kind != KivNorvikValueKind::Fixed && v.kind != KivNorvikValueKind::Sets &&
            v.token + 1 > tokens) {
            tokens = v.token + 1;
        }
    }
    return tokens;
}

unsigned KivNorvikLineRule::numberValueMask() const
{
    unsigned mask = 0;
    for (int i = 0; i < valueCount; ++i) {
        if (values[i].isNumber() && (values[i].reads() || fill != nullptr)) {
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

bool KivNorvikLineRule::matchesWords(const KivNorvikLineTokens& tokens) const
{
    const int count = tokens.getLength();
    if (count < 1 || keyword == nullptr || !(tokens[0] == keyword)) {
        return false;
    }
    int index = 1;
    bool match = true;
    eachPatternWord(pattern, [&](const char* word, size_t length, bool compared) {
        if (!match) {
            return;
        }
        match = index < count && (!compared || equals(tokens[index], word, length));
        ++index;
    });
    return match;
}

bool KivNorvikLineRule::matches(const KivNorvikLineTokens& tokens) const
{
    // The pattern's words being matched, the line has at least 1 + their
    // count tokens, so only the row's own minimum is left to compare.
    const int count = tokens.getLength();
    if (!reads() || count < 1 || (exactTokens > 0 ? count != exactTokens : count < minTokens)) {
        return false;
    }
    return matchesWords(tokens);
}

namespace {

bool oneOf(int value, const int* list, int count)
{
    for (int i = 0; i < count; ++i) {
        if (list[i] == value) {
            return true;
        }
    }
    return false;
}

} // namespace

KivNorvikFillResult KivNorvikLineRule::apply(const KivNorvikTarget& target,
                                             const KivNorvikLineTokens& tokens) const
{
    if (target.isNull()) {
        return KivNorvikFillResult::Done;
    }
    KivNorvikTarget element;
    void* object = nullptr;
    if (elements.append != nullptr) {
        void* group = target.as(elements.owner);
        if (group == nullptr) {
            KIV_REPORT("the target is of the row's group");
            return KivNorvikFillResult::Done;
        }
        if (fill != nullptr) {
            return fill(group, tokens); // the row appends in its own way
        }
        element = elements.append(group);
        if (element.isNull()) {
            return KivNorvikFillResult::NoRoom;
        }
        object = element.as(type);
    } else {
        object = target.as(type);
    }
    if (object == nullptr) {
        KIV_REPORT("the target is of the row's type");
        return KivNorvikFillResult::Done;
    }
    KivNorvikFillResult result = KivNorvikFillResult::Done;
    const int count = tokens.getLength();
    // A store may not change the row: the bounds are read once.
    for (const Plain *p = plain, *end = plain + plainCount; p != end; ++p) {
        if (p->token < count) {
            p->store(object, tokens[p->token]);
        }
    }
    for (int i = 0; otherValues && i < valueCount; ++i) {
        const KivNorvikValue& value = values[i];
        if (value.store != nullptr) {
            if (value.allowed != nullptr && value.token < count) {
                if (!oneOf(tokens[value.token].toInteger(), value.allowed, value.allowedCount)) {
                    result = KivNorvikFillResult::UnknownWord;
                    continue;
                }
                value.store(object, tokens[value.token]);
            }
        } else if (value.set != nullptr) {
            if (value.kind != KivNorvikValueKind::Code) {
                value.set(object, value.constant);
            } else if (value.token < count) {
                const int code = value.words->codeOf(tokens[value.token]);
                if (code < 0) {
                    result = KivNorvikFillResult::UnknownWord;
                }
                if (code >= 0 || value.words->readOther >= 0) {
                    value.set(object, code >= 0 ? code : value.words->readOther);
                }
            }
        }
    }
    if (fill != nullptr) {
        const KivNorvikFillResult filled = fill(object, tokens);
        return filled != KivNorvikFillResult::Done ? filled : result;
    }
    return result;
}
