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
#include <type_traits>

namespace {

// Room for the widest number written and its field.
constexpr size_t kNumber = 64;

// `length` bytes at `digits` right-aligned in `width` at `at`; the end.
char* field(char* at, const char* digits, size_t length, int width)
{
    for (size_t fill = static_cast<size_t>(width); fill > length; --fill) {
        *at++ = ' ';
    }
    for (size_t i = 0; i < length; ++i) { // a number's few digits: no call
        at[i] = digits[i];
    }
    return at + length;
}

char* copy(char* at, const char* text, size_t length)
{
    for (size_t i = 0; i < length; ++i) { // short words: no call
        at[i] = text[i];
    }
    return at + length;
}

// A cleaned ASCII text of `length` characters copied to `at` (a line end as
// a blank); the end, or null when the text is not all ASCII.
char* asciiText(char* at, const wchar_t* text, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        const wchar_t c = text[i];
        if (static_cast<unsigned long>(c) >= 0x80) {
            return nullptr;
        }
        at[i] = c == '\r' || c == '\n' ? ' ' : static_cast<char>(c);
    }
    return at + length;
}

// An integer as "%<width>d" writes it: written, then moved right when it is
// narrower than its field (room for 16 bytes and the field at `at`).
inline char* integer(char* at, int value, int width)
{
    char* end = std::to_chars(at, at + 16, value).ptr;
    const int pad = width - static_cast<int>(end - at);
    if (pad > 0) {
        for (char* p = end; p-- != at;) {
            p[pad] = *p;
        }
        for (int i = 0; i < pad; ++i) {
            at[i] = ' ';
        }
        end += pad;
    }
    return end;
}

// The field at `offset` in `object`.
template <class T>
const T& fieldAt(const void* object, std::ptrdiff_t offset)
{
    return *static_cast<const T*>(static_cast<const void*>(static_cast<const char*>(object) + offset));
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
    // A failed write shows once a block is handed to the file.
    if (file_->drainFull()) {
        live_ = file_->writable();
    }
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
        appendText(projectName.text());
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

char* KivNorvikOutput::words(char* at, const KivNorvikLineRule& rule, const char* chosen)
{
    for (int i = 0; i < rule.indent; ++i) {
        *at++ = ' ';
    }
    const char* keyword = rule.choice.position == 0 ? chosen : rule.keyword;
    at = copy(at, keyword, std::strlen(keyword));
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
        if ((rule.wideGaps & (1u << token)) != 0u) {
            *at++ = ' ';
        }
        at = copy(at, word, length);
        ++token;
    }
    return at;
}

inline void KivNorvikOutput::rowBytes(const KivNorvikLineRule& rule, const void* object, const char* chosen)
{
    KivNorvikOpenFile& file = *file_;
    // Room for the words, each number and a short text at once; a longer
    // text asks for its own.
    size_t bound = rule.writeBound;
    if (rule.prefixLength == 0) {
        bound += (rule.keyword != nullptr ? std::strlen(rule.keyword) : 0) +
                 (chosen != nullptr ? std::strlen(chosen) : 0);
    }
    char* at = file.room(bound);
    if (rule.prefixLength > 0) {
        // The whole prefix block at once (the room allows it), then its length.
        std::memcpy(at, rule.prefix, sizeof rule.prefix);
        at += rule.prefixLength;
    } else {
        at = words(at, rule, chosen);
    }
    for (const KivNorvikLineRule::Written *v = rule.writtenValues, *last = v + rule.writtenCount; v != last;
         ++v) {
        at[0] = ' ';
        at[1] = ' ';
        at += v->gap; // one blank, or two for a wide gap

        switch (v->kind) {
        case KivNorvikValueKind::Integer:
        case KivNorvikValueKind::ListInteger:
            at = integer(at, fieldAt<int>(object, v->offset), v->width);
            if (v->comma) {
                *at++ = ',';
            }
            break;
        case KivNorvikValueKind::Real: {
            const double value = fieldAt<double>(object, v->offset);
            if (rule.values[v->index].transform != nullptr) {
                at = integer(at, rule.values[v->index].transform(value), v->width);
                break;
            }
            char digits[kNumber];
            const char* end = KivFormat::fixed(digits, value, v->precision);
            if (end != nullptr) {
                at = field(at, digits, static_cast<size_t>(end - digits), v->width);
                break;
            }
            // The rarer reals go through a string.
            std::string text;
            KivFormat::appendFixed(text, value, v->width, v->precision);
            at = copy(file.more(at, text.size() + bound), text.data(), text.size());
            break;
        }
        case KivNorvikValueKind::Text: {
            const std::wstring_view text = fieldAt<KivString>(object, v->offset).text();
            if (text.size() > KivNorvikLineRule::kShortText) {
                at = file.more(at, text.size() + bound);
            }
            char* const start = at;
            at = asciiText(at, text.data(), text.size());
            if (at == nullptr) { // the rest in the code page
                file.advance(start);
                appendText(text);
                at = file.room(bound);
            }
            break;
        }
        case KivNorvikValueKind::Code: {
            const char* word = rule.values[v->index].words->wordOf(fieldAt<int>(object, v->offset));
            if (word != nullptr) {
                at = copy(at, word, std::strlen(word));
            }
            break;
        }
        case KivNorvikValueKind::Word: {
            const char* word = rule.values[v->index].words->words[0];
            at = copy(at, word, std::strlen(word));
            break;
        }
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

void KivNorvikOutput::rows(const KivNorvikLineRule& rule, const char* first, int count, size_t stride)
{
    try {
        for (int i = 0; i < count && live_; ++i, first += stride) {
            rowBytes(rule, first, nullptr);
        }
    } catch (const std::bad_alloc&) {
        outOfMemory();
    }
}

bool KivNorvikOutput::ok() const { return live_; }

void KivNorvikOutput::outOfMemory()
{
    if (file_ != nullptr) {
        file_->fail(ENOMEM);
    }
    live_ = false;
}

void KivNorvikOutput::appendText(std::wstring_view text)
{
    char* at = file_->room(text.size());
    size_t i = 0;
    for (; i < text.size() && static_cast<unsigned long>(text[i]) < 0x80; ++i) {
        *at++ = text[i] == L'\r' || text[i] == L'\n' ? ' ' : static_cast<char>(text[i]);
    }
    file_->advance(at);
    if (i < text.size()) {
        std::wstring rest(text.substr(i));
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
