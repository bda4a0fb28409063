#include "KivNorvikOutput.h"

#include "KivNorvikData.h"
#include "KivNorvikOpenFile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

// The width or precision digits at `p`; false when there are too many.
template <class Ch>
bool readCount(const Ch*& p, int& count)
{
    count = 0;
    for (int digits = 0; *p >= static_cast<Ch>('0') && *p <= static_cast<Ch>('9'); ++p, ++digits) {
        if (digits == 3) {
            return false;
        }
        count = count * 10 + static_cast<int>(*p - static_cast<Ch>('0'));
    }
    return true;
}

// `length` bytes at `digits` right-aligned in `width` at `at`; the end.
char* field(char* at, const char* digits, size_t length, int width)
{
    for (size_t fill = static_cast<size_t>(width); fill > length; --fill) {
        *at++ = ' ';
    }
    std::memcpy(at, digits, length);
    return at + length;
}

// A cleaned ASCII text copied to `at`; the end, or null when the text is
// not all ASCII.
char* asciiText(char* at, const wchar_t* text)
{
    for (; *text != 0; ++text) {
        const wchar_t c = *text;
        if (static_cast<unsigned long>(c) >= 0x80) {
            return nullptr;
        }
        *at++ = c == L'\r' || c == L'\n' ? ' ' : static_cast<char>(c);
    }
    return at;
}

} // namespace

KivNorvikOutput::KivNorvikOutput(KivNorvikOpenFile* file, int majorVersion, int minorVersion)
    : file_(file), live_(file != nullptr && file->writable()), majorVersion_(majorVersion),
      minorVersion_(minorVersion)
{
}

KivString KivNorvikOutput::clean(const KivString& text)
{
    if (std::wcspbrk(text.getStringW(), L"\r\n") == nullptr) {
        return text;
    }
    std::wstring copy(text.getStringW());
    for (wchar_t& c : copy) {
        if (c == L'\r' || c == L'\n') {
            c = L' ';
        }
    }
    return KivString(copy.c_str());
}

KivString KivNorvikOutput::clean(const wchar_t* text) { return clean(KivString(text)); }

void KivNorvikOutput::endLine()
{
    if (!live_) {
        return;
    }
    try {
        char* at = file_->room(1);
        *at = '\n';
        file_->advance(at + 1);
    } catch (const std::bad_alloc&) {
        outOfMemory();
        return;
    }
    file_->drainFull();
    live_ = file_->writable();
}

void KivNorvikOutput::origin() { line("  ORIGINE Olmarin %d.%d", majorVersion_, minorVersion_); }

void KivNorvikOutput::section(const NorvikGlobalData::BL12Section& s)
{
    if (s.exportPRO()) {
        lineW(L"  PRO %s %s", s.profile.text1, s.profile.text2);
    } else if (s.exportI()) {
        const NorvikGlobalData::BL12SectionByDimension& d = s.dimension;
        line("  I %3.3f %3.3f %3.3f %3.3f %3.3f", d.dim1, d.dim2, d.dim3, d.dim4, d.dim5);
    }
}

void KivNorvikOutput::section(const NorvikGlobalData::Section& s, int mode)
{
    const bool connection = mode == 1;
    if (s.exportPRF()) {
        lineW(connection ? L"  CONNEC_SEC  PRF %s %s" : L"  SECTION  PRF %s %s", s.profile.text1,
              s.profile.text2);
    } else if (s.exportDIM()) {
        const NorvikGlobalData::SectionByDimensionAttributes& d = s.dimension;
        line(connection ? "  CONNEC_SEC  DIM  %d %3.3f %3.3f %3.3f %3.3f %3.3f"
                        : "  SECTION  DIM  %d %3.3f %3.3f %3.3f %3.3f %3.3f",
             d.shape, d.dim2, d.dim4, d.dim1, d.dim3, d.dim5);
    }
}

void KivNorvikOutput::loading(const NorvikGlobalData::GenLoading& l)
{
    if (!live_) {
        return;
    }
    // The bulk line of long files, formatted in one piece when its texts are
    // ASCII; the general path writes the same bytes otherwise.
    try {
        const wchar_t* text1 = l.text1.getStringW();
        const wchar_t* text2 = l.text2.getStringW();
        const size_t length1 = std::wcslen(text1);
        const size_t length2 = std::wcslen(text2);
        char* const first = file_->room(length1 + length2 + 48);
        char* at = first;
        at = std::copy_n("  CHA ", 6, at);
        char digits[16];
        const char* end = std::to_chars(digits, digits + sizeof digits, l.number).ptr;
        at = field(at, digits, static_cast<size_t>(end - digits), 3);
        *at++ = ' ';
        at = asciiText(at, text1);
        if (at != nullptr) {
            *at++ = ' ';
            at = asciiText(at, text2);
        }
        if (at != nullptr) {
            *at++ = ' ';
            at = std::to_chars(at, at + 16, l.type).ptr;
            *at++ = '\n';
            file_->advance(at);
            file_->drainFull();
            live_ = file_->writable();
            return;
        }
    } catch (const std::bad_alloc&) {
        outOfMemory();
        return;
    }
    print("  CHA %3d", l.number);
    printW(L" %s %s", l.text1, l.text2);
    line(" %d", l.type);
}

bool KivNorvikOutput::ok() const { return live_; }

void KivNorvikOutput::outOfMemory()
{
    if (file_ != nullptr) {
        file_->fail(ENOMEM);
    }
    live_ = false;
}

void KivNorvikOutput::append(const std::string& bytes)
{
    char* at = file_->room(bytes.size());
    file_->advance(std::copy(bytes.begin(), bytes.end(), at));
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
        append(bytes);
    }
}

bool KivNorvikOutput::appendDirect(const char* fmt, const Value* values, int count)
{
    // Room for the format and each number at once; a text asks for its own.
    static const int kWidest = 64;    // a wider field takes the general path
    static const size_t kNumber = 40; // the longest number written here
    KivNorvikOpenFile& file = *file_;
    const size_t mark = file.used();
    const size_t bound = std::strlen(fmt) + static_cast<size_t>(count) * (kNumber + kWidest);
    char* at = file.room(bound);
    const char* p = fmt;
    int next = 0;
    for (;;) {
        while (*p != '\0' && *p != '%') {
            *at++ = *p++;
        }
        if (*p == '\0') {
            file.advance(at);
            return true;
        }
        ++p;
        int width = 0;
        int precision = -1;
        bool simple = readCount(p, width) && width <= kWidest;
        if (simple && *p == '.') {
            ++p;
            simple = readCount(p, precision);
        }
        const char conversion = *p++;
        const Value& value = values[next < count ? next++ : count];
        char digits[kNumber];
        const char* end = nullptr;
        if (simple && conversion == 'd' && value.kind == Value::eInteger && precision < 0) {
            end = std::to_chars(digits, digits + sizeof digits, value.integer).ptr;
        } else if (simple && conversion == 'f' && value.kind == Value::eReal) {
            end = KivFormat::fixed(digits, value.real, precision < 0 ? 6 : precision);
        }
        if (end != nullptr) {
            at = field(at, digits, static_cast<size_t>(end - digits), width);
            continue;
        }
        // Texts and the rarer reals go through a string; the room is asked again.
        std::string text;
        if (simple && conversion == 'f' && value.kind == Value::eReal) {
            KivFormat::appendFixed(text, value.real, width, precision < 0 ? 6 : precision);
        } else if (simple && conversion == 's' && value.kind == Value::eText && value.text != nullptr &&
                   width == 0 && precision < 0) {
            text = value.text;
        } else {
            file.truncate(mark);
            return false;
        }
        file.advance(at);
        append(text);
        at = file.room(bound);
    }
}

bool KivNorvikOutput::appendDirect(const wchar_t* fmt, const wchar_t* const* texts, int count)
{
    KivNorvikOpenFile& file = *file_;
    const size_t mark = file.used();
    const wchar_t* p = fmt;
    int next = 0;
    for (;;) {
        const wchar_t* run = p;
        while (*p != 0 && *p != L'%' && static_cast<unsigned long>(*p) < 0x80) {
            ++p;
        }
        if (p != run) {
            char* at = file.room(static_cast<size_t>(p - run));
            for (; run != p; ++run) {
                *at++ = static_cast<char>(*run);
            }
            file.advance(at);
        }
        if (*p == 0) {
            return true;
        }
        if (*p != L'%' || p[1] != L's' || next >= count || texts[next] == nullptr) {
            file.truncate(mark);
            return false;
        }
        p += 2;
        appendText(texts[next++]);
    }
}
