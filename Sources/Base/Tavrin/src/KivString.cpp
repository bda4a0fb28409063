#include "KivString.h"

#include "KivCodePage.h"
#include "KivFormat.h"
#include "KivNumber.h"

#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <limits>

namespace {

bool isWhite(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\v' || c == L'\f';
}

size_t skipWhite(const std::wstring& text)
{
    size_t i = 0;
    while (i < text.size() && isWhite(text[i])) {
        ++i;
    }
    return i;
}

} // namespace

KivString::KivString() = default;
KivString::KivString(const char* text) : text_(KivCodePage::decode(text)) {}
KivString::KivString(const wchar_t* text) : text_(text != nullptr ? text : L"") {}
KivString::KivString(const KivString& other) = default;
KivString::KivString(KivString&& other) noexcept = default;
KivString::~KivString() = default;

KivString& KivString::operator=(const KivString& other) = default;
KivString& KivString::operator=(KivString&& other) noexcept = default;

KivString& KivString::operator=(const char* text)
{
    text_ = KivCodePage::decode(text);
    return *this;
}

KivString& KivString::assign(const char* text, size_t length)
{
    const void* zero = std::memchr(text, 0, length);
    const size_t n = zero != nullptr ? static_cast<size_t>(static_cast<const char*>(zero) - text) : length;
    text_.resize(n);
    wchar_t* out = &text_[0];
    unsigned char high = 0;
    for (size_t i = 0; i < n; ++i) {
        const unsigned char byte = static_cast<unsigned char>(text[i]);
        out[i] = static_cast<wchar_t>(byte);
        high |= byte;
    }
    if ((high & 0x80) != 0) {
        for (size_t i = 0; i < n; ++i) {
            out[i] = KivCodePage::toWide(static_cast<unsigned char>(text[i]));
        }
    }
    return *this;
}

bool KivString::operator==(const KivString& other) const { return text_ == other.text_; }
bool KivString::operator!=(const KivString& other) const { return text_ != other.text_; }

wchar_t KivString::operator[](int index) const
{
    if (index < 0 || static_cast<size_t>(index) >= text_.size()) {
        return 0;
    }
    return text_[static_cast<size_t>(index)];
}

KivString KivString::operator+(const KivString& other) const
{
    KivString result(*this);
    result.text_ += other.text_;
    return result;
}

KivString& KivString::operator+=(const KivString& other)
{
    text_ += other.text_;
    return *this;
}

int KivString::find(const KivString& s, int start) const
{
    if (start < 0) {
        start = 0;
    }
    if (static_cast<size_t>(start) > text_.size()) {
        return -1;
    }
    const size_t at = text_.find(s.text_, static_cast<size_t>(start));
    if (at == std::wstring::npos || at > static_cast<size_t>(INT_MAX)) {
        return -1;
    }
    return static_cast<int>(at);
}

KivString KivString::left(int n) const
{
    KivString result;
    if (n > 0) {
        result.text_ = text_.substr(0, static_cast<size_t>(n));
    }
    return result;
}

KivString& KivString::TrimLeft()
{
    text_.erase(0, skipWhite(text_));
    return *this;
}

KivString& KivString::TrimRight()
{
    size_t end = text_.size();
    while (end > 0 && isWhite(text_[end - 1])) {
        --end;
    }
    text_.erase(end);
    return *this;
}

KivString& KivString::TrimLeft(const KivString& set)
{
    const size_t first = text_.find_first_not_of(set.text_);
    text_.erase(0, first == std::wstring::npos ? text_.size() : first);
    return *this;
}

KivString& KivString::TrimRight(const KivString& set)
{
    const size_t last = text_.find_last_not_of(set.text_);
    text_.erase(last == std::wstring::npos ? 0 : last + 1);
    return *this;
}

int KivString::isEmpty() const { return text_.empty() ? 1 : 0; }

KivString& KivString::replace(int pos, int count, const KivString& s)
{
    if (pos < 0) {
        pos = 0;
    }
    if (static_cast<size_t>(pos) > text_.size()) {
        pos = static_cast<int>(text_.size());
    }
    if (count < 0) {
        count = 0;
    }
    text_.replace(static_cast<size_t>(pos), static_cast<size_t>(count), s.text_);
    return *this;
}

double KivString::toDouble(bool) const
{
    const wchar_t* text = getStringW();
    size_t used = 0;
    return KivNumber::toDouble(text, std::wcslen(text), used);
}

int KivString::toInteger() const
{
    const wchar_t* text = getStringW();
    size_t used = 0;
    return KivNumber::toInteger(text, std::wcslen(text), used);
}

int KivString::compareNoCase(const KivString& a, const KivString& b, int n)
{
    for (int i = 0; i < n; ++i) {
        const wchar_t ca = a[i];
        const wchar_t cb = b[i];
        if (std::towlower(static_cast<wint_t>(ca)) != std::towlower(static_cast<wint_t>(cb))) {
            return 0;
        }
        if (ca == 0) {
            break;
        }
    }
    return 1;
}

const wchar_t* KivString::getStringW() const { return text_.c_str(); }

KivString& KivString::format(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    const std::string bytes = KivFormat::format(fmt, args);
    va_end(args);
    text_ = KivCodePage::decode(bytes.c_str());
    return *this;
}

KivString& KivString::format(const wchar_t* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    text_ = KivFormat::format(fmt, args);
    va_end(args);
    return *this;
}
