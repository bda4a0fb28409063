#pragma once

#include "TavrinApi.h"

#include <cstddef>
#include <string>

// Windows-1252 in both directions. The five bytes the code page leaves
// unassigned map to the code points of the same value, so decoding and
// encoding any byte gives the byte back.
class TAVRIN_API KivCodePage
{
public:
    static wchar_t toWide(unsigned char byte);
    // The byte of a character; '?' for a character with no 8-bit form.
    static char toByte(wchar_t ch);
    // Whether the character has an 8-bit form (is not written as "?").
    static bool hasByte(wchar_t ch);

    static std::wstring decode(const char* text);
    // One byte per character; a UTF-16 surrogate pair is one character.
    static std::string encode(const wchar_t* text, size_t length);
};
