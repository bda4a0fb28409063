#pragma once

#include "TavrinApi.h"

#include <cstddef>

// Decimal numbers at the start of a text, "." as decimal point whatever the
// locale. The 8-bit forms read Windows-1252 bytes, the wide forms wide text;
// both give the same value for the same characters. `used` receives the
// characters the number took, leading white space included, or 0 when the
// text starts with no number (the result is then 0).
class TAVRIN_API KivNumber
{
public:
    // A real: sign, digits with an optional point and exponent, or "inf",
    // "infinity", "nan" in any case. Saturated to +-DBL_MAX above the range,
    // +-0 below it.
    static double toDouble(const char* text, size_t length, size_t& used);
    static double toDouble(const wchar_t* text, size_t length, size_t& used);

    // A decimal integer with its sign, saturated to the 32-bit range.
    static int toInteger(const char* text, size_t length, size_t& used);
    static int toInteger(const wchar_t* text, size_t length, size_t& used);
};
