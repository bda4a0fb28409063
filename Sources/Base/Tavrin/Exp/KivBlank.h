#pragma once

// White space as the exchange files, their numbers and texts know it: the
// blank, tab, line feed, vertical tab, form feed and carriage return. Inline:
// the tokenizers test every byte with it.
inline constexpr bool kivIsBlank(char c) { return c == ' ' || static_cast<unsigned char>(c - '\t') < 5u; }
inline constexpr bool kivIsBlank(wchar_t c) { return c == L' ' || static_cast<unsigned long>(c) - 9ul < 5ul; }
