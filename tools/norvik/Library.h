#pragma once

#include "Records.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

// The tool's one seam onto the library's reading, diagnostics, record check
// and format tables. Everything else in the tool goes through these.
namespace norvik {

// One diagnostic of a file read.
struct Finding
{
    int line = 0;               // 1-based; 0 for the file as a whole
    bool error = false;         // else a warning
    std::string code;           // short stable identifier
    std::string message;        // UTF-8
    std::string keyword;        // the line's keyword, when known
    std::string group;          // the group's header, when known
    std::vector<std::string> fields; // dotted paths of the fields concerned
};

struct ReadResult
{
    std::unique_ptr<KivNorvikData> record; // null when the file could not be read
    std::vector<Finding> findings;
    std::string error;                     // why the file could not be read
};

// Whether this build reads files of `kind`.
bool readable(Kind kind);

// Reads a file (a UTF-8 path) or bytes as a file of `kind`.
ReadResult readFile(Kind kind, const std::string& path);
ReadResult readBytes(Kind kind, const std::string& bytes);

// The kind that a file's tag line and headers show; empty when they show none.
std::optional<Kind> detectKind(const std::string& bytes);
// Whether detectKind is available in this build.
bool detectsKinds();

// A value that a file of the record's kind cannot carry.
struct CheckItem
{
    std::string path;   // dotted field path
    std::string reason;
};
std::vector<CheckItem> recordCheck(const KivNorvikData& record);

// The lines of one group as the writer writes them, for the format reference.
struct FormatLine
{
    std::string keyword;
    std::string format;    // the format of each value, in order
    std::string field;     // the record fields carried
    std::string condition; // when the line is written
};
struct FormatGroup
{
    std::string header;
    std::vector<FormatLine> lines;
};
// Empty when this build does not describe `kind`.
std::vector<FormatGroup> formatGroups(Kind kind);

} // namespace norvik
