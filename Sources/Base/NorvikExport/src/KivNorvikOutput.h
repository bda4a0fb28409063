#pragma once

#include "NorvikGlobalData.h"

#include <KivFile.h>
#include <KivString.h>

#include <cerrno>
#include <cstdio>
#include <new>
#include <string>

class KivNorvikOpenFile;

// Line output of the writer: formats, the shared section, loading and origin
// lines, and the text rule that keeps every value on its own line. The first
// failure (a stream error or no memory) is kept by the file and drops the rest
// of the output, so that no exception leaves the writer. Internal to the library.
class KivNorvikOutput
{
public:
    // `file` null: nothing is written and ok() is false.
    KivNorvikOutput(KivNorvikOpenFile* file, int majorVersion, int minorVersion);

    // A text value with each "\r" and "\n" written as a blank, so that a value
    // can never split its line.
    static KivString clean(const KivString& text);
    static KivString clean(const wchar_t* text);

    // 8-bit format, numbers only; no line end.
    template <class... Args>
    void print(const char* fmt, Args... args)
    {
        FILE* stream = target();
        if (stream == nullptr) {
            return;
        }
        try {
            errno = 0;
            check(kivfprintf(stream, fmt, args...));
        } catch (const std::bad_alloc&) {
            outOfMemory();
        }
    }
    // Wide format whose "%s" arguments are texts; no line end.
    template <class... Texts>
    void printW(const wchar_t* fmt, const Texts&... texts)
    {
        FILE* stream = target();
        if (stream == nullptr) {
            return;
        }
        try {
            errno = 0;
            check(kivfprintf(stream, fmt, clean(texts).getStringW()...));
        } catch (const std::bad_alloc&) {
            outOfMemory();
        }
    }
    void endLine();

    // A whole line: the format, then "\n".
    template <class... Args>
    void line(const char* fmt, Args... args)
    {
        // One formatted write: the format with its line end.
        try {
            format_.assign(fmt);
            format_.push_back('\n');
        } catch (const std::bad_alloc&) {
            outOfMemory();
            return;
        }
        print(format_.c_str(), args...);
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

    // False once output has failed, or without a file.
    bool ok() const;
    // Fails the output with ENOMEM: for a caller that caught std::bad_alloc.
    void outOfMemory();

private:
    // The stream while output goes on; null once it has failed.
    FILE* target() const;
    // Takes the result of kivfprintf; a negative one fails the output with errno.
    void check(int written);

    KivNorvikOpenFile* file_;
    int majorVersion_;
    int minorVersion_;
    std::string line_;   // the line being formatted, kept from line to line
    std::string format_; // a line's format with its line end
};
