#include "KivCharConv.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <locale>
#include <sstream>
#include <string>

namespace KivCharConv {

std::to_chars_result toChars(char* first, char* last, double value, std::chars_format format, int precision)
{
#if defined(TAVRIN_STD_TO_CHARS_DOUBLE)
    return std::to_chars(first, last, value, format, precision);
#else
    return fallback::toChars(first, last, value, format, precision);
#endif
}

std::to_chars_result toHex(char* first, char* last, double value)
{
#if defined(TAVRIN_STD_TO_CHARS_DOUBLE)
    return std::to_chars(first, last, value, std::chars_format::hex);
#else
    return fallback::toHex(first, last, value);
#endif
}

std::from_chars_result fromChars(const char* first, const char* last, double& value)
{
#if defined(TAVRIN_STD_FROM_CHARS_DOUBLE)
    return std::from_chars(first, last, value);
#else
    return fallback::fromChars(first, last, value);
#endif
}

namespace fallback {

namespace {

std::to_chars_result copyOut(char* first, char* last, const char* text, size_t length)
{
    if (static_cast<size_t>(last - first) < length) {
        return {last, std::errc::value_too_large};
    }
    std::memcpy(first, text, length);
    return {first + length, std::errc()};
}

// "inf", "-inf", "nan" and "-nan", as the standard functions write them.
std::to_chars_result nonFinite(char* first, char* last, double value)
{
    std::string text = std::signbit(value) ? "-" : "";
    text += std::isnan(value) ? "nan" : "inf";
    return copyOut(first, last, text.data(), text.size());
}

// The hex form without "0x" ("1.8p+1"), by the bits alone: `precision`
// hexits after the point, rounded half to even, or the fewest that are exact
// when negative. Subnormals keep a leading 0 and the exponent -1022.
std::to_chars_result hex(char* first, char* last, double value, int precision)
{
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    const uint64_t fraction = bits & ((uint64_t{1} << 52) - 1);
    const int exponent = biased != 0 ? biased - 1023 : (fraction != 0 ? -1022 : 0);
    // The leading hexit and the 13 of the fraction in one integer.
    uint64_t digits = (biased != 0 ? uint64_t{1} << 52 : 0) | fraction;
    int hexits = 13;
    if (precision >= 0 && precision < 13) {
        const int dropped = 4 * (13 - precision);
        const uint64_t rest = digits & ((uint64_t{1} << dropped) - 1);
        const uint64_t half = uint64_t{1} << (dropped - 1);
        digits >>= dropped;
        if (rest > half || (rest == half && (digits & 1) != 0)) {
            ++digits; // may carry into the leading hexit: "2p+0"
        }
        hexits = precision;
    } else if (precision < 0) {
        while (hexits > 0 && (digits & 0xF) == 0) {
            digits >>= 4;
            --hexits;
        }
    }
    static const char kHexits[] = "0123456789abcdef";
    std::string text = std::signbit(value) ? "-" : "";
    text += kHexits[digits >> (4 * hexits)];
    if (hexits > 0 || precision > 0) {
        text += '.';
        for (int i = hexits - 1; i >= 0; --i) {
            text += kHexits[(digits >> (4 * i)) & 0xF];
        }
        if (precision > hexits) {
            text.append(static_cast<size_t>(precision - hexits), '0');
        }
    }
    text += exponent < 0 ? "p-" : "p+";
    text += std::to_string(exponent < 0 ? -exponent : exponent);
    return copyOut(first, last, text.data(), text.size());
}

// printf's "%.*e", "%.*f" or "%.*g" into `out`; its length, or negative.
int print(char* out, size_t size, char conversion, int precision, double value)
{
    switch (conversion) {
    case 'e': return std::snprintf(out, size, "%.*e", precision, value);
    case 'f': return std::snprintf(out, size, "%.*f", precision, value);
    default: return std::snprintf(out, size, "%.*g", precision, value);
    }
}

// The C library's printf is exact for every double; its decimal point is the
// locale's (of one or more bytes), which becomes ".".
std::to_chars_result decimal(char* first, char* last, double value, char conversion, int precision)
{
    char small[128];
    std::string large;
    char* text = small;
    int length = print(small, sizeof small, conversion, precision, value);
    if (length < 0) {
        return {last, std::errc::value_too_large};
    }
    if (static_cast<size_t>(length) >= sizeof small) {
        large.resize(static_cast<size_t>(length) + 1);
        length = print(&large[0], large.size(), conversion, precision, value);
        text = &large[0];
    }
    std::string out;
    out.reserve(static_cast<size_t>(length));
    for (int i = 0; i < length; ++i) {
        const char c = text[i];
        const bool ascii = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || c == '-' || c == '+';
        if (ascii) {
            out += c;
        } else if (out.empty() || out.back() != '.') {
            out += '.';
        }
    }
    return copyOut(first, last, out.data(), out.size());
}

// The length of `word` (lower case) at `p` in any case, else 0.
size_t word(const char* p, const char* last, const char* word)
{
    size_t n = 0;
    for (; word[n] != 0; ++n) {
        if (p + n == last || (p[n] | 0x20) != word[n]) {
            return 0;
        }
    }
    return n;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

std::to_chars_result toChars(char* first, char* last, double value, std::chars_format format, int precision)
{
    if (!std::isfinite(value)) {
        return nonFinite(first, last, value);
    }
    if (format == std::chars_format::hex) {
        return hex(first, last, value, precision < 0 ? -1 : precision);
    }
    const char conversion = format == std::chars_format::scientific ? 'e'
                            : format == std::chars_format::fixed    ? 'f'
                                                                    : 'g';
    return decimal(first, last, value, conversion, precision < 0 ? 6 : precision);
}

std::to_chars_result toHex(char* first, char* last, double value)
{
    if (!std::isfinite(value)) {
        return nonFinite(first, last, value);
    }
    return hex(first, last, value, -1);
}

std::from_chars_result fromChars(const char* first, const char* last, double& value)
{
    const char* p = first;
    const bool negative = p != last && *p == '-';
    if (negative) {
        ++p;
    }
    size_t n = word(p, last, "infinity");
    if (n != 0 || (n = word(p, last, "inf")) != 0) {
        value = negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
        return {p + n, std::errc()};
    }
    if ((n = word(p, last, "nan")) != 0) {
        const char* end = p + n;
        if (end != last && *end == '(') { // "nan(chars)"
            const char* close = end + 1;
            while (close != last &&
                   (isDigit(*close) || ((*close | 0x20) >= 'a' && (*close | 0x20) <= 'z') || *close == '_')) {
                ++close;
            }
            if (close != last && *close == ')') {
                end = close + 1;
            }
        }
        value = std::copysign(std::numeric_limits<double>::quiet_NaN(), negative ? -1.0 : 1.0);
        return {end, std::errc()};
    }
    size_t digits = 0;
    bool nonzero = false;
    for (; p != last && isDigit(*p); ++p, ++digits) {
        nonzero = nonzero || *p != '0';
    }
    if (p != last && *p == '.') {
        for (++p; p != last && isDigit(*p); ++p, ++digits) {
            nonzero = nonzero || *p != '0';
        }
    }
    if (digits == 0) {
        return {first, std::errc::invalid_argument};
    }
    if (p != last && (*p == 'e' || *p == 'E')) {
        const char* q = p + 1;
        if (q != last && (*q == '+' || *q == '-')) {
            ++q;
        }
        if (q != last && isDigit(*q)) {
            while (q != last && isDigit(*q)) {
                ++q;
            }
            p = q;
        }
    }
    // The C library's strtod, correctly rounded, in the classic locale. Above
    // the range the stream gives infinity (libc++) or the largest double with
    // failbit (libstdc++); below it zero.
    std::istringstream in(std::string(first, p));
    in.imbue(std::locale::classic());
    double parsed = 0.0;
    in >> parsed;
    const bool overflow = std::isinf(parsed) || (in.fail() && std::fabs(parsed) == DBL_MAX);
    if (overflow || (parsed == 0.0 && nonzero)) {
        return {p, std::errc::result_out_of_range};
    }
    value = parsed;
    return {p, std::errc()};
}

} // namespace fallback

} // namespace KivCharConv
