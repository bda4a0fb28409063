#pragma once

#include "TavrinApi.h"

#include <cstdio>

class KivString;

// Opens `path` with `mode` ("w" opens in text mode: a line end is written as
// "\r\n" on Windows, "\n" elsewhere); *stream is null on failure. Windows
// takes the wide name as it is, other systems as UTF-8.
TAVRIN_API int kivfopen(FILE** stream, const KivString& path, const KivString& mode);
TAVRIN_API int kivfclose(FILE* stream);
// printf-style output, locale-independent; the result is the byte count or -1.
TAVRIN_API int kivfprintf(FILE* stream, const char* fmt, ...);
// The same with a wide format whose "%s" takes wide text; written as Windows-1252,
// a character with no 8-bit form as "?".
TAVRIN_API int kivfprintf(FILE* stream, const wchar_t* fmt, ...);
