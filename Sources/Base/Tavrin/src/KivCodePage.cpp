#include "KivCodePage.h"

#include <cstring>
#include <type_traits>

namespace {

// Characters of the bytes 0x80 to 0x9F.
const wchar_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool isHighSurrogate(wchar_t ch)
{
    return static_cast<unsigned long>(ch) >= 0xD800 && static_cast<unsigned long>(ch) <= 0xDBFF;
}

bool isLowSurrogate(wchar_t ch)
{
    return static_cast<unsigned long>(ch) >= 0xDC00 && static_cast<unsigned long>(ch) <= 0xDFFF;
}

} // namespace

wchar_t KivCodePage::toWide(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F) {
        return kHighControls[byte - 0x80];
    }
    return static_cast<wchar_t>(byte);
}

char KivCodePage::toByte(wchar_t ch)
{
    const unsigned long code = static_cast<std::make_unsigned_t<wchar_t>>(ch);
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
        return static_cast<char>(static_cast<unsigned char>(code));
    }
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] == ch) {
            return static_cast<char>(static_cast<unsigned char>(0x80 + i));
        }
    }
    return '?';
}

bool KivCodePage::hasByte(wchar_t ch) { return ch == L'?' || toByte(ch) != '?'; }

std::wstring KivCodePage::decode(const char* text)
{
    std::wstring result;
    if (text == nullptr) {
        return result;
    }
    const size_t length = std::strlen(text);
    result.resize(length);
    for (size_t i = 0; i < length; ++i) {
        result[i] = toWide(static_cast<unsigned char>(text[i]));
    }
    return result;
}

std::string KivCodePage::encode(const wchar_t* text, size_t length)
{
    std::string result;
    result.reserve(length);
    for (size_t i = 0; i < length; ++i) {
        result.push_back(toByte(text[i]));
        // A character beyond 0xFFFF held as a UTF-16 pair (16-bit wchar_t) is
        // one character: one '?'. A lone half is one '?' of its own.
        if (isHighSurrogate(text[i]) && i + 1 < length && isLowSurrogate(text[i + 1])) {
            ++i;
        }
    }
    return result;
}
