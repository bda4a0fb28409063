#include "KivFormat.h"

#include "KivCharConv.h"
#include "KivCodePage.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <cstddef>
#include <type_traits>
#include <vector>

namespace {

struct Directive
{
    bool left = false;
    bool plus = false;
    bool space = false;
    bool alternate = false;
    bool zero = false;
    int width = 0;
    int precision = -1;
    int length = 0; // 0 none, 'H' hh, 'h', 'l', 'L' ll, 'j', 'z', 't', 'D' long double
};

template <class Ch>
void appendAscii(std::basic_string<Ch>& out, const char* text, size_t count)
{
    if constexpr (sizeof(Ch) == 1) {
        out.append(text, count);
    } else {
        for (size_t i = 0; i < count; ++i) {
            out.push_back(static_cast<Ch>(static_cast<unsigned char>(text[i])));
        }
    }
}

// "%.<precision>f" of a non-negative finite value by integer arithmetic, when
// the value scaled to an integer is small and not near a rounding tie: then
// the rounding of the scaled double is that of the exact value. Returns the
// end of the digits, or null to leave the value to the exact conversion.
char* fixedDigits(char* first, double magnitude, int precision)
{
    static const double scales[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    static const uint64_t powers[] = {1,      10,      100,      1000,      10000,
                                      100000, 1000000, 10000000, 100000000, 1000000000};
    if (precision < 0 || precision > 9) {
        return nullptr;
    }
    const double scaled = magnitude * scales[precision];
    if (!(scaled < 1099511627776.0)) { // 2^40: the product is then within 2^-13 of the exact one
        return nullptr;
    }
    const uint64_t whole = static_cast<uint64_t>(scaled); // the floor: the value is not negative
    const double fraction = scaled - static_cast<double>(whole);
    if (std::fabs(fraction - 0.5) < 1.0 / 4096) {
        return nullptr;
    }
    const uint64_t units = whole + (fraction > 0.5 ? 1 : 0);
    const uint64_t integral = units / powers[precision];
    uint32_t decimals = static_cast<uint32_t>(units - integral * powers[precision]);
    first = std::to_chars(first, first + 16, integral).ptr;
    if (precision > 0) {
        *first++ = '.';
        // The decimals from the last, two at a time.
        static const char pairs[] =
            "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
            "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
            "8081828384858687888990919293949596979899";
        char* last = first + precision;
        for (; last - first >= 2; decimals /= 100) {
            const char* pair = pairs + std::size_t{2} * (decimals % 100);
            *--last = pair[1];
            *--last = pair[0];
        }
        if (last != first) {
            *first = static_cast<char>('0' + decimals % 10);
        }
        first += precision;
    }
    return first;
}

template <class Ch>
void pad(std::basic_string<Ch>& out, size_t count, Ch ch)
{
    if (count > 0) {
        out.append(count, ch);
    }
}

// Writes sign/prefix, zero padding and digits within the field width.
template <class Ch>
void emitNumber(std::basic_string<Ch>& out, const Directive& directive, const char* prefix,
                size_t prefixLength, const char* digits, size_t digitsLength, bool zeroPadAllowed)
{
    const size_t body = prefixLength + digitsLength;
    const size_t width = directive.width > 0 ? static_cast<size_t>(directive.width) : 0;
    const size_t fill = width > body ? width - body : 0;
    if (directive.left) {
        appendAscii(out, prefix, prefixLength);
        appendAscii(out, digits, digitsLength);
        pad(out, fill, static_cast<Ch>(' '));
    } else if (directive.zero && zeroPadAllowed) {
        appendAscii(out, prefix, prefixLength);
        pad(out, fill, static_cast<Ch>('0'));
        appendAscii(out, digits, digitsLength);
    } else {
        pad(out, fill, static_cast<Ch>(' '));
        appendAscii(out, prefix, prefixLength);
        appendAscii(out, digits, digitsLength);
    }
}

template <class Ch>
void emitNumber(std::basic_string<Ch>& out, const Directive& directive, const std::string& prefix,
                const std::string& digits, bool zeroPadAllowed)
{
    emitNumber(out, directive, prefix.data(), prefix.size(), digits.data(), digits.size(), zeroPadAllowed);
}

template <class Ch>
void emitInteger(std::basic_string<Ch>& out, const Directive& directive, char conv, bool negative,
                 unsigned long long magnitude)
{
    int base = 10;
    if (conv == 'o') {
        base = 8;
    } else if (conv == 'x' || conv == 'X') {
        base = 16;
    }
    char buffer[72];
    if (conv == 'd' || conv == 'i' || conv == 'u') {
        if (directive.precision < 0) { // the common case, without a string
            const char* sign = negative ? "-" : directive.plus ? "+" : directive.space ? " " : "";
            if (conv == 'u') {
                sign = "";
            }
            auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude);
            emitNumber(out, directive, sign, std::strlen(sign), buffer,
                       static_cast<size_t>(result.ptr - buffer), true);
            return;
        }
    }
    std::string digits;
    if (!(directive.precision == 0 && magnitude == 0)) {
        auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude, base);
        digits.assign(buffer, result.ptr);
    }
    if (conv == 'X') {
        for (char& c : digits) {
            if (c >= 'a' && c <= 'f') {
                c = static_cast<char>(c - 'a' + 'A');
            }
        }
    }
    if (directive.precision > 0 && digits.size() < static_cast<size_t>(directive.precision)) {
        digits.insert(0, static_cast<size_t>(directive.precision) - digits.size(), '0');
    }
    std::string prefix;
    if (conv == 'd' || conv == 'i') {
        if (negative) {
            prefix = "-";
        } else if (directive.plus) {
            prefix = "+";
        } else if (directive.space) {
            prefix = " ";
        }
    } else if (directive.alternate) {
        if (base == 8 && (digits.empty() || digits[0] != '0')) {
            digits.insert(0, 1, '0');
        } else if (base == 16 && magnitude != 0) {
            prefix = conv == 'X' ? "0X" : "0x";
        }
    }
    emitNumber(out, directive, prefix, digits, directive.precision < 0);
}

template <class Ch>
void emitFloating(std::basic_string<Ch>& out, const Directive& directive, char conv, double value)
{
    const bool upper = conv == 'F' || conv == 'E' || conv == 'G' || conv == 'A';
    const char lower = static_cast<char>(upper ? conv - 'A' + 'a' : conv);
    if (lower == 'f' && !directive.alternate && std::isfinite(value)) { // without a string
        char digits[32];
        if (const char* end =
                fixedDigits(digits, std::fabs(value), directive.precision < 0 ? 6 : directive.precision)) {
            const char* sign = std::signbit(value) ? "-" : directive.plus ? "+" : directive.space ? " " : "";
            emitNumber(out, directive, sign, std::strlen(sign), digits, static_cast<size_t>(end - digits),
                       true);
            return;
        }
    }
    std::string prefix;
    if (std::signbit(value)) {
        prefix = "-";
    } else if (directive.plus) {
        prefix = "+";
    } else if (directive.space) {
        prefix = " ";
    }
    const double magnitude = std::fabs(value);
    std::string digits;
    bool finite = std::isfinite(magnitude);
    if (!finite) {
        digits = std::isnan(magnitude) ? "nan" : "inf";
    } else {
        int precision = directive.precision;
        if (precision > 4096) {
            precision = 4096;
        }
        // The largest double takes 309 digits before the point; the usual
        // precisions fit the stack buffer.
        const size_t needed = 432 + static_cast<size_t>(precision > 0 ? precision : 0);
        char small[512];
        std::vector<char> large(needed > sizeof small ? needed : 0);
        char* first = large.empty() ? small : large.data();
        char* last = first + (large.empty() ? sizeof small : large.size());
        std::to_chars_result result{};
        switch (lower) {
        case 'e':
            result = KivCharConv::toChars(first, last, magnitude, std::chars_format::scientific,
                                          precision < 0 ? 6 : precision);
            break;
        case 'g':
            result = KivCharConv::toChars(first, last, magnitude, std::chars_format::general,
                                          precision < 0 ? 6 : (precision == 0 ? 1 : precision));
            break;
        case 'a':
            result = precision < 0
                         ? KivCharConv::toHex(first, last, magnitude)
                         : KivCharConv::toChars(first, last, magnitude, std::chars_format::hex, precision);
            prefix += "0x";
            break;
        default:
            if (char* end = fixedDigits(first, magnitude, precision < 0 ? 6 : precision)) {
                result.ptr = end;
            } else {
                result = KivCharConv::toChars(first, last, magnitude, std::chars_format::fixed,
                                              precision < 0 ? 6 : precision);
            }
            break;
        }
        digits.assign(first, result.ptr);
        if (lower == 'a' && upper) {
            prefix.back() = 'X';
        }
        if (directive.alternate && digits.find('.') == std::string::npos && lower != 'g') {
            const size_t exponent = digits.find_first_of("ep");
            digits.insert(exponent == std::string::npos ? digits.size() : exponent, ".");
        }
    }
    if (upper) {
        for (char& c : digits) {
            if (c >= 'a' && c <= 'z') {
                c = static_cast<char>(c - 'a' + 'A');
            }
        }
    }
    emitNumber(out, directive, prefix, digits, finite);
}

template <class Ch>
void emitText(std::basic_string<Ch>& out, const Directive& directive, const std::basic_string<Ch>& text)
{
    size_t count = text.size();
    if (directive.precision >= 0 && count > static_cast<size_t>(directive.precision)) {
        count = static_cast<size_t>(directive.precision);
    }
    const size_t width = directive.width > 0 ? static_cast<size_t>(directive.width) : 0;
    const size_t fill = width > count ? width - count : 0;
    if (!directive.left) {
        pad(out, fill, static_cast<Ch>(' '));
    }
    out.append(text, 0, count);
    if (directive.left) {
        pad(out, fill, static_cast<Ch>(' '));
    }
}

std::string narrowText(const wchar_t* text) { return KivCodePage::encode(text, std::wcslen(text)); }

template <class Ch>
std::basic_string<Ch> textOf(const char* text);
template <>
std::string textOf<char>(const char* text)
{
    return text != nullptr ? std::string(text) : "(null)";
}
template <>
std::wstring textOf<wchar_t>(const char* text)
{
    return KivCodePage::decode(text != nullptr ? text : "(null)");
}

template <class Ch>
std::basic_string<Ch> textOf(const wchar_t* text);
template <>
std::string textOf<char>(const wchar_t* text)
{
    return text != nullptr ? narrowText(text) : "(null)";
}
template <>
std::wstring textOf<wchar_t>(const wchar_t* text)
{
    return text != nullptr ? std::wstring(text) : L"(null)";
}

template <class Ch>
bool isDigit(Ch c)
{
    return c >= static_cast<Ch>('0') && c <= static_cast<Ch>('9');
}

template <class Ch>
int readNumber(const Ch*& p)
{
    long long value = 0;
    while (isDigit(*p)) {
        value = value * 10 + (*p - static_cast<Ch>('0'));
        if (value > 100000000) {
            value = 100000000;
        }
        ++p;
    }
    return static_cast<int>(value);
}

template <class Ch>
void formatImpl(std::basic_string<Ch>& out, const Ch* fmt, va_list args)
{
    if (fmt == nullptr) {
        return;
    }
    const Ch* p = fmt;
    while (*p) {
        if (*p != static_cast<Ch>('%')) {
            const Ch* text = p;
            while (*p && *p != static_cast<Ch>('%')) {
                ++p;
            }
            out.append(text, static_cast<size_t>(p - text));
            continue;
        }
        const Ch* start = p++;
        Directive directive;
        for (;; ++p) {
            const Ch c = *p;
            if (c == static_cast<Ch>('-')) {
                directive.left = true;
            } else if (c == static_cast<Ch>('+')) {
                directive.plus = true;
            } else if (c == static_cast<Ch>(' ')) {
                directive.space = true;
            } else if (c == static_cast<Ch>('#')) {
                directive.alternate = true;
            } else if (c == static_cast<Ch>('0')) {
                directive.zero = true;
            } else {
                break;
            }
        }
        if (*p == static_cast<Ch>('*')) {
            ++p;
            int width = va_arg(args, int);
            if (width < 0) {
                directive.left = true;
                width = width == INT32_MIN ? 0 : -width;
            }
            directive.width = width > 100000000 ? 100000000 : width;
        } else {
            directive.width = readNumber(p);
        }
        if (*p == static_cast<Ch>('.')) {
            ++p;
            if (*p == static_cast<Ch>('*')) {
                ++p;
                const int precision = va_arg(args, int);
                directive.precision = precision < 0 ? -1 : (precision > 100000000 ? 100000000 : precision);
            } else {
                directive.precision = readNumber(p);
            }
        }
        switch (static_cast<int>(*p)) {
        case 'h':
            ++p;
            if (*p == static_cast<Ch>('h')) {
                ++p;
                directive.length = 'H';
            } else {
                directive.length = 'h';
            }
            break;
        case 'l':
            ++p;
            if (*p == static_cast<Ch>('l')) {
                ++p;
                directive.length = 'L';
            } else {
                directive.length = 'l';
            }
            break;
        case 'j':
            ++p;
            directive.length = 'j';
            break;
        case 'z':
            ++p;
            directive.length = 'z';
            break;
        case 't':
            ++p;
            directive.length = 't';
            break;
        case 'L':
            ++p;
            directive.length = 'D';
            break;
        default: break;
        }
        // A byte above 127 is a conversion like any unknown one, not a negative code.
        const int conv = static_cast<int>(static_cast<std::make_unsigned_t<Ch>>(*p));
        if (conv == 0) {
            out.append(start, p);
            break;
        }
        ++p;
        switch (conv) {
        case 'd':
        case 'i': {
            long long value;
            switch (directive.length) {
            case 'l': value = va_arg(args, long); break;
            case 'L': value = va_arg(args, long long); break;
            case 'j': value = va_arg(args, intmax_t); break;
            case 'z': value = static_cast<long long>(va_arg(args, size_t)); break;
            case 't': value = va_arg(args, ptrdiff_t); break;
            case 'h': value = static_cast<short>(va_arg(args, int)); break;
            // NOLINTNEXTLINE(bugprone-signed-char-misuse): "hh" means the value as a signed char
            case 'H': value = static_cast<signed char>(va_arg(args, int)); break;
            default: value = va_arg(args, int); break;
            }
            const bool negative = value < 0;
            const unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(value)
                                                          : static_cast<unsigned long long>(value);
            emitInteger(out, directive, static_cast<char>(conv), negative, magnitude);
            break;
        }
        case 'u':
        case 'o':
        case 'x':
        case 'X': {
            unsigned long long value;
            switch (directive.length) {
            case 'l': value = va_arg(args, unsigned long); break;
            case 'L': value = va_arg(args, unsigned long long); break;
            // NOLINTNEXTLINE(bugprone-branch-clone): uintmax_t and size_t are one type on some platforms only
            case 'j': value = va_arg(args, uintmax_t); break;
            case 'z': value = va_arg(args, size_t); break;
            case 't': value = static_cast<unsigned long long>(va_arg(args, ptrdiff_t)); break;
            case 'h': value = static_cast<unsigned short>(va_arg(args, unsigned int)); break;
            case 'H': value = static_cast<unsigned char>(va_arg(args, unsigned int)); break;
            default: value = va_arg(args, unsigned int); break;
            }
            emitInteger(out, directive, static_cast<char>(conv), false, value);
            break;
        }
        case 'f':
        case 'F':
        case 'e':
        case 'E':
        case 'g':
        case 'G':
        case 'a':
        case 'A': {
            const double value = directive.length == 'D' ? static_cast<double>(va_arg(args, long double))
                                                         : va_arg(args, double);
            emitFloating(out, directive, static_cast<char>(conv), value);
            break;
        }
        case 'c': {
            const int value = va_arg(args, int);
            std::basic_string<Ch> text(1, static_cast<Ch>(value));
            if (sizeof(Ch) == 1 && (directive.length == 'l' || value > 0xFF)) {
                text = textOf<Ch>(std::wstring(1, static_cast<wchar_t>(value)).c_str());
            } else if (sizeof(Ch) > 1 && directive.length == 'h') {
                text = textOf<Ch>(std::string(1, static_cast<char>(value)).c_str());
            }
            emitText(out, directive, text);
            break;
        }
        case 's': {
            const bool wideArgument = sizeof(Ch) == 1 ? directive.length == 'l' : directive.length != 'h';
            // NOLINTNEXTLINE(bugprone-branch-clone): the branches read arguments of different types
            if (wideArgument) {
                emitText(out, directive, textOf<Ch>(va_arg(args, const wchar_t*)));
            } else {
                emitText(out, directive, textOf<Ch>(va_arg(args, const char*)));
            }
            break;
        }
        case 'p': {
            const void* pointer = va_arg(args, const void*);
            Directive hex = directive;
            hex.alternate = true;
            emitInteger(out, hex, 'x', false,
                        static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(pointer)));
            break;
        }
        case 'n': (void)va_arg(args, void*); break;
        case '%': out.push_back(static_cast<Ch>('%')); break;
        default: out.append(start, p); break;
        }
    }
}

} // namespace

std::string KivFormat::format(const char* fmt, va_list args)
{
    std::string result;
    append(result, fmt, args);
    return result;
}

std::wstring KivFormat::format(const wchar_t* fmt, va_list args)
{
    std::wstring result;
    append(result, fmt, args);
    return result;
}

void KivFormat::append(std::string& out, const char* fmt, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    formatImpl<char>(out, fmt, copy);
    va_end(copy);
}

void KivFormat::append(std::wstring& out, const wchar_t* fmt, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    formatImpl<wchar_t>(out, fmt, copy);
    va_end(copy);
}

void KivFormat::appendFormat(std::string& out, const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    formatImpl<char>(out, fmt, args);
    va_end(args);
}

void KivFormat::appendFormat(std::string& out, const wchar_t* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    std::wstring text;
    formatImpl<wchar_t>(text, fmt, args);
    va_end(args);
    appendEncoded(out, text.data(), text.size());
}

void KivFormat::appendInteger(std::string& out, long long value, int width)
{
    char digits[24];
    char* first = digits;
    const bool negative = value < 0;
    if (negative) {
        *first++ = '-';
    }
    const unsigned long long magnitude =
        negative ? 0ULL - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
    const char* end = std::to_chars(first, digits + sizeof digits, magnitude).ptr;
    const size_t length = static_cast<size_t>(end - digits);
    if (width > 0 && static_cast<size_t>(width) > length) {
        out.append(static_cast<size_t>(width) - length, ' ');
    }
    out.append(digits, length);
}

char* KivFormat::fixed(char* first, double value, int precision)
{
    if (!std::isfinite(value)) {
        return nullptr;
    }
    if (std::signbit(value)) {
        *first++ = '-';
    }
    return fixedDigits(first, std::fabs(value), precision);
}

void KivFormat::appendFixed(std::string& out, double value, int width, int precision)
{
    char digits[40];
    if (const char* end = fixed(digits, value, precision)) {
        const size_t length = static_cast<size_t>(end - digits);
        if (width > 0 && static_cast<size_t>(width) > length) {
            out.append(static_cast<size_t>(width) - length, ' ');
        }
        out.append(digits, length);
        return;
    }
    Directive directive;
    directive.width = width;
    directive.precision = precision;
    emitFloating(out, directive, 'f', value);
}

void KivFormat::appendEncoded(std::string& out, const wchar_t* text, std::size_t length)
{
    out += KivCodePage::encode(text, length);
}
