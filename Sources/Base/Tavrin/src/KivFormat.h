#pragma once

#include <cstdarg>
#include <string>

// printf-style formatting that ignores the C and C++ locales: numbers always
// use "." as decimal point. Flags, width, precision (also "*"), the length
// modifiers and the conversions d i u o x X c s f F e E g G a A and %% are
// understood. In an 8-bit format "%s" takes 8-bit text and "%ls" wide text;
// in a wide format "%s" takes wide text and "%hs" 8-bit text. "%n" writes nothing.
class KivFormat
{
public:
    static std::string format(const char* fmt, va_list args);
    static std::wstring format(const wchar_t* fmt, va_list args);
    // The same, appended to `out`: a buffer kept from call to call does not allocate.
    static void append(std::string& out, const char* fmt, va_list args);
    static void append(std::wstring& out, const wchar_t* fmt, va_list args);
};
