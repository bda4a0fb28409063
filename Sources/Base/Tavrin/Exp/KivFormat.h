#pragma once

#include "TavrinApi.h"

#include <cstdarg>
#include <cstddef>
#include <string>

/// printf-style formatting that ignores the C and C++ locales: numbers always
/// use "." as decimal point. Flags, width, precision (also "*"), the length
/// modifiers and the conversions d i u o x X c s f F e E g G a A and %% are
/// understood. In an 8-bit format "%s" takes 8-bit text and "%ls" wide text;
/// in a wide format "%s" takes wide text and "%hs" 8-bit text. "%n" writes nothing.
/// Wide text becomes 8-bit in the Windows-1252 code page, "?" for a character
/// without an 8-bit form. Each function may throw std::bad_alloc.
class TAVRIN_API KivFormat
{
public:
    static std::string format(const char* fmt, va_list args);
    static std::wstring format(const wchar_t* fmt, va_list args);
    /// The same, appended to `out`: a buffer kept from call to call does not allocate.
    static void append(std::string& out, const char* fmt, va_list args);
    static void append(std::wstring& out, const wchar_t* fmt, va_list args);

    /// An 8-bit format and its arguments, appended to `out`.
    static void appendFormat(std::string& out, const char* fmt, ...);
    /// A wide format and its arguments, appended to `out` in the code page.
    static void appendFormat(std::string& out, const wchar_t* fmt, ...);

    /// What "%<width>d" writes for `value`, appended to `out`.
    static void appendInteger(std::string& out, long long value, int width);
    /// What "%<width>.<precision>f" writes for `value`, appended to `out`.
    static void appendFixed(std::string& out, double value, int width, int precision);
    /// What "%.<precision>f" writes for `value`, at `first` (room for 40
    /// bytes), when integer arithmetic gives it exactly: a finite value whose
    /// scaled integer is below 2^40 and not near a rounding tie, precision 0
    /// to 9. The end of what was written, or null: then use appendFixed.
    static char* fixed(char* first, double value, int precision);
    /// `length` wide characters appended in the code page.
    static void appendEncoded(std::string& out, const wchar_t* text, std::size_t length);
};
