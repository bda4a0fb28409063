#pragma once

#include "NorvikGlobalData.h"

#include <KivFile.h>
#include <KivString.h>

#include <cstdio>

// Line output of the writer: formats, the shared section, loading and origin
// lines, and the text rule that keeps every value on its own line.
// Internal to the library.
class KivNorvikOutput
{
public:
    KivNorvikOutput(FILE* file, int majorVersion, int minorVersion);

    // A text value with each "\r" and "\n" written as a blank, so that a value
    // can never split its line.
    static KivString clean(const KivString& text);
    static KivString clean(const wchar_t* text);

    // 8-bit format, numbers only; no line end.
    template <class... Args>
    void print(const char* fmt, Args... args)
    {
        kivfprintf(file_, fmt, args...);
    }
    // Wide format whose "%s" arguments are texts; no line end.
    template <class... Texts>
    void printW(const wchar_t* fmt, const Texts&... texts)
    {
        kivfprintf(file_, fmt, clean(texts).getStringW()...);
    }
    void endLine();

    // A whole line: the format, then "\n".
    template <class... Args>
    void line(const char* fmt, Args... args)
    {
        print(fmt, args...);
        endLine();
    }
    template <class... Texts>
    void lineW(const wchar_t* fmt, const Texts&... texts)
    {
        printW(fmt, texts...);
        endLine();
    }

    // "  ORIGINE Olmarin <major>.<minor>"
    void origin();
    // The "PRO" or "I" line of a BL1/BL2 section, or nothing.
    void section(const NorvikGlobalData::BL12Section& section);
    // The "SECTION" (mode 0) or "CONNEC_SEC" (mode 1) line of a section, or nothing.
    void section(const NorvikGlobalData::Section& section, int mode);
    // The "CHA" line of a loading, written whatever its values.
    void loading(const NorvikGlobalData::GenLoading& loading);

    // False once the stream has reported an error.
    bool ok() const;

private:
    FILE* file_;
    int majorVersion_;
    int minorVersion_;
};
