#include "KivNorvikOutput.h"

#include "KivNorvikKinds.h"
#include "KivNorvikOpenFile.h"

#include <KivFormat.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <cwchar>
#include <new>
#include <string>

namespace {

// Room for the widest number written and its field.
constexpr size_t kNumber = 64;

// `length` bytes at `digits` right-aligned in `width` at `at`; the end.
char* field(char* at, const char* digits, size_t length, int width)
{
    for (size_t fill = static_cast<size_t>(width); fill > length; --fill) {
        *at++ = ' ';
    }
    std::memcpy(at, digits, length);
    return at + length;
}

char* copy(char* at, const char* text, size_t length)
{
    std::memcpy(at, text, length);
    return at + length;
}

// An integer as "%<width>d" writes it.
char* integer(char* at, long long value, int width)
{
    char digits[24];
    const char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    return field(at, digits, static_cast<size_t>(end - digits), width);
}

} // namespace

KivNorvikOutput::KivNorvikOutput(KivNorvikOpenFile* file, int majorVersion, int minorVersion)
    : file_(file), live_(file != nullptr && file->writable()), majorVersion_(majorVersion),
      minorVersion_(minorVersion)
{
}

void KivNorvikOutput::endLine(char* at)
{
    *at++ = '\n';
    file_->advance(at);
    file_->drainFull();
    live_ = file_->writable();
}

void KivNorvikOutput::tagLine(const KivNorvikKind& kind, const KivString& projectName)
{
    if (!live_) {
        return;
    }
    try {
        const size_t tag = std::strlen(kind.tag);
        const size_t prefix = std::strlen(kind.namePrefix);
        char* at = file_->room(tag + prefix + 8);
        *at++ = '"';
        at = copy(at, kind.tag, tag);
        at = copy(at, "\",\"", 3);
        file_->advance(copy(at, kind.namePrefix, prefix));
        appendText(projectName.getStringW());
        at = file_->room(3);
        *at++ = '"';
        *at++ = '\n';
        endLine(at);
    } catch (const std::bad_alloc&) {
        outOfMemory();
    }
}

void KivNorvikOutput::line(const char* text, const int* number)
{
    if (!live_) {
        return;
    }
    try {
        const size_t length = std::strlen(text);
        char* at = copy(file_->room(length + kNumber), text, length);
        if (number != nullptr) {
            at = integer(at, *number, 0);
        }
        endLine(at);
    } catch (const std::bad_alloc&) {
        outOfMemory();
    }
}

void KivNorvikOutput::row(const KivNorvikLineRule& rule, const void* object, const char* chosen)
{
    if (!live_) {
        return;
    }
    try {
        rowBytes(rule, object, chosen);
    } catch (const std::bad_alloc&) {
        outOfMemory();
    }
}

void KivNorvikOutput::rowBytes(const KivNorvikLineRule& rule, const void* object, const char* chosen)
{
    KivNorvikOpenFile& file = *file_;
    const char* keyword = rule.choice.position == 0 ? chosen : rule.keyword;
    const size_t keywordLength = std::strlen(keyword);
    const size_t patternLength = std::strlen(rule.pattern);
    // Room for the words and each number at once; a text asks for its own.
    const size_t bound = static_cast<size_t>(rule.indent) + keywordLength + 2 * patternLength +
                         (chosen != nullptr ? std::strlen(chosen) : 0) +
                         static_cast<size_t>(rule.valueCount + 1) * (kNumber + 2) + 8;
    char* at = file.room(bound);
    for (int i = 0; i < rule.indent; ++i) {
        *at++ = ' ';
    }
    at = copy(at, keyword, keywordLength);
    const unsigned wide = rule.wideGaps;
    int token = 1;
    // The pattern's words as written: "(AME)" as AME, "*" not at all, the
    // chosen word in its place.
    for (const char* p = rule.pattern; *p != '\0';) {
        if (*p == ' ') {
            ++p;
            continue;
        }
        const char* word = p;
        while (*p != ' ' && *p != '\0') {
            ++p;
        }
        size_t length = static_cast<size_t>(p - word);
        if (length == 1 && *word == '*') {
            ++token;
            continue;
        }
        if (length >= 2 && *word == '(') {
            ++word;
            length -= 2;
        }
        if (token == rule.choice.position) {
            word = chosen;
            length = std::strlen(chosen);
        }
        *at++ = ' ';
        if ((wide & (1u << token)) != 0u) {
            *at++ = ' ';
        }
        at = copy(at, word, length);
        ++token;
    }
    for (int i = 0; i < rule.valueCount; ++i) {
        const KivNorvikValue& v = rule.values[i];
        if (v.kind == KivNorvikValueKind::Fixed || v.kind == KivNorvikValueKind::Sets) {
            continue;
        }
        *at++ = ' ';
        if (v.token < 32 && (wide & (1u << v.token)) != 0u) {
            *at++ = ' ';
        }
        const KivNorvikFormat& format = v.format;
        switch (v.kind) {
        case KivNorvikValueKind::Integer:
        case KivNorvikValueKind::ListInteger:
            at = integer(at, v.load(object).integer, format.width);
            if (format.comma) {
                *at++ = ',';
            }
            break;
        case KivNorvikValueKind::Real: {
            const double value = v.load(object).real;
            if (v.transform != nullptr) {
                at = integer(at, v.transform(value), format.width);
                break;
            }
            char digits[kNumber];
            const char* end = KivFormat::fixed(digits, value, format.precision < 0 ? 6 : format.precision);
            if (end != nullptr && static_cast<size_t>(format.width) < kNumber) {
                at = field(at, digits, static_cast<size_t>(end - digits), format.width);
                break;
            }
            // The rarer reals go through a string; the room is asked again.
            std::string text;
            KivFormat::appendFixed(text, value, format.width, format.precision < 0 ? 6 : format.precision);
            file.advance(at);
            at = copy(file.room(text.size() + bound), text.data(), text.size());
            break;
        }
        case KivNorvikValueKind::Text: {
            const KivString* text = v.load(object).text;
            file.advance(at);
            appendText(text->getStringW());
            at = file.room(bound);
            break;
        }
        case KivNorvikValueKind::Code: {
            const char* word = v.words->wordOf(v.load(object).integer);
            if (word != nullptr) {
                at = copy(at, word, std::strlen(word));
            }
            break;
        }
        case KivNorvikValueKind::Word: at = copy(at, v.words->words[0], std::strlen(v.words->words[0])); break;
        case KivNorvikValueKind::Version:
            at = integer(at, majorVersion_, 0);
            *at++ = '.';
            at = integer(at, minorVersion_, 0);
            break;
        case KivNorvikValueKind::Fixed:
        case KivNorvikValueKind::Sets: break;
        }
    }
    endLine(at);
}

bool KivNorvikOutput::ok() const { return live_; }

void KivNorvikOutput::outOfMemory()
{
    if (file_ != nullptr) {
        file_->fail(ENOMEM);
    }
    live_ = false;
}

void KivNorvikOutput::appendText(const wchar_t* text)
{
    const size_t length = std::wcslen(text);
    char* const first = file_->room(length);
    char* at = first;
    for (; *text != 0 && static_cast<unsigned long>(*text) < 0x80; ++text) {
        *at++ = *text == L'\r' || *text == L'\n' ? ' ' : static_cast<char>(*text);
    }
    file_->advance(at);
    if (*text != 0) {
        std::wstring rest(text);
        for (wchar_t& c : rest) {
            if (c == L'\r' || c == L'\n') {
                c = L' ';
            }
        }
        std::string bytes;
        KivFormat::appendEncoded(bytes, rest.data(), rest.size());
        at = file_->room(bytes.size());
        file_->advance(copy(at, bytes.data(), bytes.size()));
    }
}
