#pragma once

#include "TavrinApi.h"

#include <cstdio>

class KivString;

// Opens `path` (encoded as UTF-8 for the system) with `mode`; *stream is null on failure.
TAVRIN_API int kivfopen(FILE** stream, const KivString& path, const KivString& mode);
TAVRIN_API int kivfclose(FILE* stream);
// printf-style output, locale-independent; the result is the byte count or -1.
TAVRIN_API int kivfprintf(FILE* stream, const char* fmt, ...);
// The same with a wide format whose "%s" takes wide text; written as Windows-1252,
// a character with no 8-bit form as "?".
TAVRIN_API int kivfprintf(FILE* stream, const wchar_t* fmt, ...);
