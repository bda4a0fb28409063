#pragma once

#include "KivNorvikLineRule.h"

#include <KivString.h>

#include <cstddef>
#include <string>
#include <string_view>

class KivNorvikOpenFile;
struct KivNorvikKind;

// Line output of the writer: the lines of a table's rows, headers and the
// tag line, formatted into the open file's buffer, which reaches the file in
// large blocks. Every text value is kept on its own line (a line end in it is
// written as a blank). The first failure (a failed write or no memory) is
// kept by the file and drops the rest of the output, so that no exception
// leaves the writer. Internal to the library.
class KivNorvikOutput
{
public:
    // `file` null: nothing is written and ok() is false.
    KivNorvikOutput(KivNorvikOpenFile* file, int majorVersion, int minorVersion);

    // The tag line of `kind` with the project name, and the empty line after it.
    void tagLine(const KivNorvikKind& kind, const KivString& projectName);
    // A line of 8-bit text (a header, "FIN"); `number` follows it when not null.
    void line(const char* text, const int* number = nullptr);
    // The line of `rule` with the values of `object`, an object of the row's
    // type; `chosen` is the word its choice writes, if it has one.
    void row(const KivNorvikLineRule& rule, const void* object, const char* chosen);
    // The lines of `rule` for `count` elements, the first at `first`, each
    // `stride` bytes after the one before.
    void rows(const KivNorvikLineRule& rule, const char* first, int count, size_t stride);

    // False once output has failed, or without a file.
    bool ok() const;
    // Fails the output with ENOMEM: for a caller that caught std::bad_alloc.
    void outOfMemory();

private:
    void endLine(char* at);
    // The text cleaned, appended: ASCII directly, the rest in the code page.
    void appendText(std::wstring_view text);
    void rowBytes(const KivNorvikLineRule& rule, const void* object, const char* chosen);
    // The line's indent and words at `at`; the end.
    static char* words(char* at, const KivNorvikLineRule& rule, const char* chosen);

    KivNorvikOpenFile* file_;
    bool live_; // output goes on: a file open and no failure
    int majorVersion_;
    int minorVersion_;
};
