#include "KivNorvikToken.h"

#include <cstring>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The digits of 2^1024 - 2^970, halfway between DBL_MAX and 2^1024: a
// decimal at or above it rounds to infinity, one below it to DBL_MAX at most.
constexpr const char kHalfwayAboveMax[] =
    "1797693134862315807937289714053034150799341327100378269361737789804449682927647509466490179775872070"
    "9633028641669288791094655554785194040263065748867150582068190890200070838367627385484581771153176447"
    "5730270069855571366959622842914819860834936475292719074168444365510704342711559699508093042880177904"
    "174497792";

} // namespace

bool KivNorvikToken::beyondInteger(const char* text, size_t used)
{
    size_t i = 0;
    while (i < used && static_cast<unsigned char>(text[i]) <= ' ') {
        ++i; // white space before the number
    }
    const bool negative = i < used && text[i] == '-';
    i += i < used && (text[i] == '-' || text[i] == '+') ? 1 : 0;
    while (i < used && text[i] == '0') {
        ++i;
    }
    const size_t digits = used - i;
    if (digits != 10) {
        return digits > 10;
    }
    return std::memcmp(text + i, negative ? "2147483648" : "2147483647", 10) > 0;
}

bool KivNorvikToken::beyondReal(const char* text, size_t used)
{
    // The significant digits and the exponent E of 0.d1d2... x 10^E.
    size_t i = 0;
    while (i < used && static_cast<unsigned char>(text[i]) <= ' ') {
        ++i; // white space before the number
    }
    i += i < used && (text[i] == '-' || text[i] == '+') ? 1 : 0;
    if (i < used && !isDigit(text[i]) && text[i] != '.') {
        return true; // "inf", "infinity", "nan"
    }
    char significant[sizeof kHalfwayAboveMax] = {};
    size_t count = 0;
    long long exponent = 0;
    bool point = false;
    for (; i < used && (isDigit(text[i]) || (text[i] == '.' && !point)); ++i) {
        if (text[i] == '.') {
            point = true;
        } else if (count == 0 && text[i] == '0') {
            exponent -= point ? 1 : 0;
        } else {
            if (count < sizeof significant - 1) {
                significant[count] = text[i];
            }
            ++count;
            exponent += point ? 0 : 1;
        }
    }
    if (i < used && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        const bool negative = i < used && text[i] == '-';
        i += i < used && (text[i] == '-' || text[i] == '+') ? 1 : 0;
        long long e = 0;
        for (; i < used && isDigit(text[i]); ++i) {
            e = e < 100000000 ? e * 10 + (text[i] - '0') : e;
        }
        exponent += negative ? -e : e;
    }
    const long long limit = static_cast<long long>(sizeof kHalfwayAboveMax - 1);
    if (count == 0 || exponent != limit) {
        return count != 0 && exponent > limit;
    }
    // Digits past those held make the text larger still, never smaller.
    const int order = std::strncmp(significant, kHalfwayAboveMax, sizeof kHalfwayAboveMax - 1);
    return order > 0 || (order == 0 && count >= sizeof kHalfwayAboveMax - 1);
}
