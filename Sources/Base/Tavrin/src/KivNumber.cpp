#include "KivNumber.h"

#include "KivBlank.h"

#include "KivCharConv.h"
#include "KivCodePage.h"

#include <cfloat>
#include <charconv>
#include <climits>
#include <cwctype>
#include <string>
#include <system_error>

namespace {

bool isDigit(unsigned c) { return c >= '0' && c <= '9'; }

// The character as a wide character, for case folding.
unsigned code(char c) { return static_cast<unsigned char>(c); }
unsigned code(wchar_t c) { return static_cast<unsigned>(c); }
wint_t wideOf(char c) { return static_cast<wint_t>(KivCodePage::toWide(static_cast<unsigned char>(c))); }
wint_t wideOf(wchar_t c) { return static_cast<wint_t>(c); }

// Length of `word` (lower case) when the text at `i` starts with it in any case, else 0.
template <class Char>
size_t startsWithWord(const Char* text, size_t length, size_t i, const char* word)
{
    size_t k = 0;
    while (word[k] != 0 && i + k < length &&
           std::towlower(wideOf(text[i + k])) == static_cast<wint_t>(static_cast<unsigned char>(word[k]))) {
        ++k;
    }
    return word[k] == 0 ? k : 0;
}

// Whether an out-of-range decimal text lies above the range (else below it):
// the decimal exponent of its first nonzero digit is positive.
bool overflows(const char* number, size_t length)
{
    size_t e = 0;
    while (e < length && number[e] != 'e' && number[e] != 'E') {
        ++e;
    }
    long long exponent = 0;
    if (e < length) {
        size_t k = e + 1;
        bool negative = false;
        if (k < length && (number[k] == '+' || number[k] == '-')) {
            negative = number[k++] == '-';
        }
        for (; k < length; ++k) {
            if (exponent < 100000000) {
                exponent = exponent * 10 + (number[k] - '0');
            }
        }
        if (negative) {
            exponent = -exponent;
        }
    }
    size_t first = 0;
    while (first < e && (number[first] < '1' || number[first] > '9')) {
        ++first;
    }
    if (first == e) {
        return false;
    }
    size_t point = 0;
    while (point < e && number[point] != '.') {
        ++point;
    }
    long long magnitude;
    if (point == e) {
        magnitude = static_cast<long long>(e - first) - 1;
    } else if (first < point) {
        magnitude = static_cast<long long>(point - first) - 1;
    } else {
        magnitude = -static_cast<long long>(first - point);
    }
    return magnitude + exponent > 0;
}

// The real of an ASCII number text: an optional '-', then digits, point and
// exponent, or "inf"/"nan". Nothing valid gives 0.
double parseAscii(const char* number, size_t length)
{
    double value = 0.0;
    const auto result = KivCharConv::fromChars(number, number + length, value);
    if (result.ec == std::errc::result_out_of_range) {
        const bool negative = number[0] == '-';
        if (overflows(number, length)) {
            return negative ? -DBL_MAX : DBL_MAX;
        }
        return negative ? -0.0 : 0.0;
    }
    return result.ec == std::errc() ? value : 0.0;
}

// The text of a real from `i`: where its digits start (after the sign) and
// end; `words` is "inf" or "nan" when it is one of those instead.
template <class Char>
size_t scanReal(const Char* text, size_t length, size_t i, const char*& word)
{
    word = nullptr;
    if (i < length && !isDigit(code(text[i])) && code(text[i]) != '.') {
        if (size_t n = startsWithWord(text, length, i, "infinity");
            n != 0 || (n = startsWithWord(text, length, i, "inf")) != 0) {
            word = "inf";
            return i + n;
        }
        if (const size_t n = startsWithWord(text, length, i, "nan"); n != 0) {
            word = "nan";
            return i + n;
        }
        return i;
    }
    while (i < length && isDigit(code(text[i]))) {
        ++i;
    }
    if (i < length && code(text[i]) == '.') {
        ++i;
        while (i < length && isDigit(code(text[i]))) {
            ++i;
        }
    }
    if (i < length && (code(text[i]) == 'e' || code(text[i]) == 'E')) {
        size_t j = i + 1;
        if (j < length && (code(text[j]) == '+' || code(text[j]) == '-')) {
            ++j;
        }
        if (j < length && isDigit(code(text[j]))) {
            i = j;
            while (i < length && isDigit(code(text[i]))) {
                ++i;
            }
        }
    }
    return i;
}

// Parses the ASCII characters [begin, end) of `text`, with a '-' before them when `negative`.
double parseRange(const char* text, size_t begin, size_t end, bool negative)
{
    if (negative && begin > 0 && text[begin - 1] == '-') {
        return parseAscii(text + begin - 1, end - begin + 1);
    }
    return parseAscii(text + begin, end - begin);
}

double parseRange(const wchar_t* text, size_t begin, size_t end, bool negative)
{
    char buffer[64];
    std::string large;
    const size_t n = end - begin + (negative ? 1 : 0);
    char* out = buffer;
    if (n > sizeof buffer) {
        large.resize(n);
        out = &large[0];
    }
    size_t k = 0;
    if (negative) {
        out[k++] = '-';
    }
    for (size_t i = begin; i < end; ++i) {
        out[k++] = static_cast<char>(text[i]);
    }
    return parseAscii(out, k);
}

// Clinger's fast path: a plain decimal ("12.500", no exponent) whose digits
// make an integer below 2^53, with at most 22 decimals, is that integer
// divided by a power of ten that a double holds exactly. One correctly
// rounded division gives what the full conversion gives. False, with
// nothing decided, for any other text.
template <class Char>
bool toPlainDecimal(const Char* text, size_t length, size_t i, size_t& end, double& value)
{
    static const double powers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    unsigned long long mantissa = 0;
    int digits = 0;
    int decimals = 0;
    size_t k = i;
    for (; k < length && isDigit(code(text[k])); ++k, ++digits) {
        mantissa = mantissa * 10 + (code(text[k]) - '0');
        if (digits == 19) {
            return false;
        }
    }
    if (k < length && code(text[k]) == '.') {
        for (++k; k < length && isDigit(code(text[k])); ++k, ++digits, ++decimals) {
            mantissa = mantissa * 10 + (code(text[k]) - '0');
            if (digits == 19) {
                return false;
            }
        }
    }
    if (digits == 0 || decimals > 22 || mantissa >= (1ull << 53) ||
        (k < length && (code(text[k]) == 'e' || code(text[k]) == 'E'))) {
        return false;
    }
    end = k;
    value = static_cast<double>(mantissa) / powers[decimals];
    return true;
}

// The position after the leading white space and the sign of a number.
template <class Char>
size_t skipToDigits(const Char* text, size_t length, bool& negative)
{
    size_t i = 0;
    while (i < length && kivIsBlank(text[i])) {
        ++i;
    }
    negative = false;
    if (i < length && (code(text[i]) == '-' || code(text[i]) == '+')) {
        negative = code(text[i++]) == '-';
    }
    return i;
}

template <class Char>
double toReal(const Char* text, size_t length, size_t& used)
{
    used = 0;
    bool negative = false;
    size_t i = skipToDigits(text, length, negative);
    double plain = 0.0;
    size_t plainEnd = 0;
    if (toPlainDecimal(text, length, i, plainEnd, plain)) {
        used = plainEnd;
        return negative ? -plain : plain;
    }
    const char* word = nullptr;
    const size_t end = scanReal(text, length, i, word);
    if (word != nullptr) {
        used = end;
        const char* const words[2][2] = {{"inf", "-inf"}, {"nan", "-nan"}};
        const char* spelled = words[word[0] == 'n' ? 1 : 0][negative ? 1 : 0];
        return parseAscii(spelled, negative ? 4 : 3);
    }
    // Digits are needed, before or after the point (".e5" has none).
    const bool digits = end > i && (isDigit(code(text[i])) || (end > i + 1 && isDigit(code(text[i + 1]))));
    if (!digits) {
        return 0.0;
    }
    used = end;
    return parseRange(text, i, end, negative);
}

template <class Char>
int toWhole(const Char* text, size_t length, size_t& used)
{
    used = 0;
    bool negative = false;
    size_t i = skipToDigits(text, length, negative);
    const size_t first = i;
    long long value = 0;
    for (; i < length && isDigit(code(text[i])); ++i) {
        if (value <= static_cast<long long>(INT_MAX) + 1) {
            value = value * 10 + (code(text[i]) - '0');
        }
    }
    if (i == first) {
        return 0;
    }
    used = i;
    if (negative) {
        value = -value;
    }
    if (value > INT_MAX) {
        return INT_MAX;
    }
    if (value < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

} // namespace

double KivNumber::toDouble(const char* text, size_t length, size_t& used)
{
    return toReal(text, length, used);
}

double KivNumber::toDouble(const wchar_t* text, size_t length, size_t& used)
{
    return toReal(text, length, used);
}

int KivNumber::toInteger(const char* text, size_t length, size_t& used)
{
    return toWhole(text, length, used);
}

int KivNumber::toInteger(const wchar_t* text, size_t length, size_t& used)
{
    return toWhole(text, length, used);
}
