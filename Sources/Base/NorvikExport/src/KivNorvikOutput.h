#pragma once

#include "NorvikGlobalData.h"

#include <KivFormat.h>
#include <KivString.h>

#include <new>
#include <string>

class KivNorvikOpenFile;

// Line output of the writer: formats, the shared section, loading and origin
// lines, and the text rule that keeps every value on its own line. Lines are
// formatted into the open file's buffer, which reaches the file in large
// blocks. The first failure (a failed write or no memory) is kept by the file
// and drops the rest of the output, so that no exception leaves the writer.
// Internal to the library.
class KivNorvikOutput
{
public:
    // `file` null: nothing is written and ok() is false.
    KivNorvikOutput(KivNorvikOpenFile* file, int majorVersion, int minorVersion);

    // A text value with each "\r" and "\n" written as a blank, so that a value
    // can never split its line.
    static KivString clean(const KivString& text);
    static KivString clean(const wchar_t* text);

    // One argument of an 8-bit format: an integer, a real or an 8-bit text.
    struct Value
    {
        enum Kind { eNone, eInteger, eReal, eText };
        Value() : kind(eNone), integer(0) {}
        Value(int value) : kind(eInteger), integer(value) {}
        Value(double value) : kind(eReal), real(value) {}
        Value(const char* value) : kind(eText), text(value) {}
        Kind kind;
        union
        {
            int integer;
            double real;
            const char* text;
        };
    };

    // 8-bit format, numbers and 8-bit texts; no line end.
    template <class... Args>
    void print(const char* fmt, Args... args)
    {
        if (!live_) {
            return;
        }
        const Value values[] = {Value(args)..., Value()};
        try {
            if (!appendDirect(fmt, values, static_cast<int>(sizeof...(Args)))) {
                std::string text;
                KivFormat::appendFormat(text, fmt, args...);
                append(text);
            }
        } catch (const std::bad_alloc&) {
            outOfMemory();
        }
    }
    // Wide format whose "%s" arguments are texts, cleaned; no line end.
    template <class... Texts>
    void printW(const wchar_t* fmt, const Texts&... texts)
    {
        if (!live_) {
            return;
        }
        const wchar_t* values[] = {textOf(texts)..., nullptr};
        try {
            if (!appendDirect(fmt, values, static_cast<int>(sizeof...(Texts)))) {
                std::string text;
                KivFormat::appendFormat(text, fmt, clean(texts).getStringW()...);
                append(text);
            }
        } catch (const std::bad_alloc&) {
            outOfMemory();
        }
    }
    // Ends the line.
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

    // False once output has failed, or without a file.
    bool ok() const;
    // Fails the output with ENOMEM: for a caller that caught std::bad_alloc.
    void outOfMemory();

private:
    static const wchar_t* textOf(const KivString& text) { return text.getStringW(); }
    static const wchar_t* textOf(const wchar_t* text) { return text; }

    // The format appended directly when it holds only the directives the
    // writer uses ("%d", "%<w>d", "%<w>.<p>f", "%s"), with arguments of their
    // types; false, with nothing appended, otherwise.
    bool appendDirect(const char* fmt, const Value* values, int count);
    bool appendDirect(const wchar_t* fmt, const wchar_t* const* texts, int count);
    // Bytes formatted elsewhere, appended.
    void append(const std::string& bytes);
    // The text cleaned, appended: ASCII directly, the rest in the code page.
    void appendText(const wchar_t* text);

    KivNorvikOpenFile* file_;
    bool live_; // output goes on: a file open and no failure
    int majorVersion_;
    int minorVersion_;
};
