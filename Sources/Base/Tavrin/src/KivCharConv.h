#pragma once

#include <charconv>

// The floating-point forms of <charconv> for every toolchain. Some C++
// libraries (libc++ before version 14, and so Emscripten's) have only the
// integer forms: there the library's own conversions take the C library's
// exact printf and strtod, with "." as decimal point whatever the locale.
// Same contracts as the standard functions; nothing throws.
namespace KivCharConv {

// std::to_chars(first, last, value, format, precision).
std::to_chars_result toChars(char* first, char* last, double value, std::chars_format format, int precision);
// std::to_chars(first, last, value, std::chars_format::hex): the shortest exact hex form.
std::to_chars_result toHex(char* first, char* last, double value);
// std::from_chars(first, last, value) in the general format.
std::from_chars_result fromChars(const char* first, const char* last, double& value);

// The library's own conversions, built on every toolchain so that a test can
// hold them against the standard ones.
namespace fallback {
std::to_chars_result toChars(char* first, char* last, double value, std::chars_format format, int precision);
std::to_chars_result toHex(char* first, char* last, double value);
std::from_chars_result fromChars(const char* first, const char* last, double& value);
} // namespace fallback

} // namespace KivCharConv
