#include "KivString.h"

#include "KivCodePage.h"
#include "KivFormat.h"

#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstring>
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

bool isDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Length of the longest prefix of `text` from `i` that can form a decimal real,
// copied as ASCII into `out` (without a leading '+').
void copyRealPrefix(const std::wstring& text, size_t i, std::string& out)
{
    auto accept = [&](wchar_t c) {
        out.push_back(static_cast<char>(c));
        ++i;
    };
    if (i < text.size() && (text[i] == L'-')) {
        accept(text[i]);
    } else if (i < text.size() && text[i] == L'+') {
        ++i;
    }
    // inf and nan, any case
    auto matchWord = [&](const wchar_t* word) {
        size_t k = 0;
        while ((word[k] != 0) && i + k < text.size() &&
               std::towlower(static_cast<wint_t>(text[i + k])) == static_cast<wint_t>(word[k])) {
            ++k;
        }
        return word[k] == 0 ? k : 0;
    };
    if (size_t n = matchWord(L"infinity"); (n != 0u) || ((n = matchWord(L"inf")) != 0u)) {
        out += "inf";
        return;
    }
    if (matchWord(L"nan") != 0u) {
        out += "nan";
        return;
    }
    while (i < text.size() && isDigit(text[i])) {
        accept(text[i]);
    }
    if (i < text.size() && text[i] == L'.') {
        accept(text[i]);
        while (i < text.size() && isDigit(text[i])) {
            accept(text[i]);
        }
    }
    if (i < text.size() && (text[i] == L'e' || text[i] == L'E')) {
        size_t j = i + 1;
        if (j < text.size() && (text[j] == L'+' || text[j] == L'-')) {
            ++j;
        }
        if (j < text.size() && isDigit(text[j])) {
            while (i < j) {
                accept(text[i]);
            }
            while (i < text.size() && isDigit(text[i])) {
                accept(text[i]);
            }
        }
    }
}

// Whether an out-of-range decimal text lies above the range (else below it):
// the decimal exponent of its first nonzero digit is positive.
bool overflows(const std::string& number)
{
    const size_t e = number.find_first_of("eE");
    long long exponent = 0;
    if (e != std::string::npos) {
        size_t k = e + 1;
        bool negative = false;
        if (k < number.size() && (number[k] == '+' || number[k] == '-')) {
            negative = number[k++] == '-';
        }
        for (; k < number.size(); ++k) {
            if (exponent < 100000000) {
                exponent = exponent * 10 + (number[k] - '0');
            }
        }
        if (negative) {
            exponent = -exponent;
        }
    }
    const std::string mantissa = number.substr(0, e);
    const size_t first = mantissa.find_first_of("123456789");
    if (first == std::string::npos) {
        return false;
    }
    const size_t point = mantissa.find('.');
    long long magnitude;
    if (point == std::string::npos) {
        magnitude = static_cast<long long>(mantissa.size() - first) - 1;
    } else if (first < point) {
        magnitude = static_cast<long long>(point - first) - 1;
    } else {
        magnitude = -static_cast<long long>(first - point);
    }
    return magnitude + exponent > 0;
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

namespace {

// The real of an ASCII prefix as copyRealPrefix gives it.
double parseReal(const char* number, size_t length)
{
    if (length == 0 || (length == 1 && number[0] == '-')) {
        return 0.0;
    }
    double value = 0.0;
    const auto result = std::from_chars(number, number + length, value);
    if (result.ec == std::errc::result_out_of_range) {
        const bool negative = number[0] == '-';
        if (overflows(std::string(number, length))) {
            return negative ? -DBL_MAX : DBL_MAX;
        }
        return negative ? -0.0 : 0.0;
    }
    if (result.ec != std::errc()) {
        return 0.0;
    }
    return value;
}

// copyRealPrefix for the common text that starts with a digit or a point
// after its sign, into a fixed buffer; false (nothing decided) for any
// other text or a prefix that does not fit.
bool copyDecimalPrefix(const std::wstring& text, size_t i, char (&out)[64], size_t& length)
{
    size_t n = 0;
    if (i < text.size() && text[i] == L'-') {
        out[n++] = '-';
    }
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) {
        ++i;
    }
    if (i >= text.size() || !(isDigit(text[i]) || text[i] == L'.')) {
        return false;
    }
    const size_t size = text.size();
    auto copyDigits = [&] {
        for (; i < size && isDigit(text[i]); ++i) {
            if (n == sizeof out) {
                return false;
            }
            out[n++] = static_cast<char>(text[i]);
        }
        return true;
    };
    if (!copyDigits()) {
        return false;
    }
    if (i < size && text[i] == L'.') {
        if (n == sizeof out) {
            return false;
        }
        out[n++] = '.';
        ++i;
        if (!copyDigits()) {
            return false;
        }
    }
    if (i < size && (text[i] == L'e' || text[i] == L'E')) {
        size_t j = i + 1;
        if (j < size && (text[j] == L'+' || text[j] == L'-')) {
            ++j;
        }
        if (j < size && isDigit(text[j])) {
            for (; i < j; ++i) {
                if (n == sizeof out) {
                    return false;
                }
                out[n++] = static_cast<char>(text[i]);
            }
            if (!copyDigits()) {
                return false;
            }
        }
    }
    length = n;
    return true;
}

} // namespace

double KivString::toDouble(bool) const
{
    const size_t start = skipWhite(text_);
    char buffer[64];
    size_t length = 0;
    if (copyDecimalPrefix(text_, start, buffer, length)) {
        return parseReal(buffer, length);
    }
    std::string number;
    copyRealPrefix(text_, start, number);
    return parseReal(number.data(), number.size());
}

int KivString::toInteger() const
{
    size_t i = skipWhite(text_);
    bool negative = false;
    if (i < text_.size() && (text_[i] == L'+' || text_[i] == L'-')) {
        negative = text_[i++] == L'-';
    }
    long long value = 0;
    bool saturated = false;
    for (; i < text_.size() && isDigit(text_[i]); ++i) {
        if (!saturated) {
            value = value * 10 + (text_[i] - L'0');
            if (value > static_cast<long long>(INT_MAX) + 1) {
                saturated = true;
            }
        }
    }
    if (negative) {
        value = -value;
    }
    if (saturated || value > INT_MAX) {
        return negative ? INT_MIN : INT_MAX;
    }
    if (value < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(value);
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
