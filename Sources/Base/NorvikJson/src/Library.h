#pragma once

#include "Records.h"

#include <map>
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
    int line = 0;                    // 1-based; a finding about the whole file is on line 1
    int column = 0;                  // 1-based byte of the line; 0 when unknown
    bool error = false;              // else a warning
    std::string code;                // short stable identifier
    std::string message;             // UTF-8
    std::string keyword;             // the line's keyword, when known
    std::string group;               // the group's header, when known
    std::vector<std::string> fields; // dotted paths of the fields concerned, in the group
    std::vector<std::string> paths;  // the same as JSON paths of the record ("generalGroup.acier")
};

// How a file is read.
struct ReadOptions
{
    // The findings kept in full; the library counts the ones beyond and ends
    // the list with one "too-many-findings" finding.
    int maxFindings = 1000;
    // Whether ReadResult::fieldLines is filled (it costs memory per line).
    bool fieldLines = false;
};

// Findings of one code and severity that a read left out beyond its cap.
struct OmittedFindings
{
    std::string code;
    bool error = false;
    int count = 0;
};

struct ReadResult
{
    std::unique_ptr<KivNorvikData> record; // null when the file could not be read
    std::vector<Finding> findings;
    std::string error; // why the file could not be read
    // The first line each field was read from, by JSON path
    // ("generalGroup.acier"); filled when ReadOptions::fieldLines is set.
    std::map<std::string, int> fieldLines;
    // The findings left out beyond ReadOptions::maxFindings, by code and
    // severity, so that summaries count every finding.
    std::vector<OmittedFindings> omitted;
};

// Reads a file (a UTF-8 path) or bytes as a file of `kind` with that kind's
// reader; the findings are the reader's, in file order. Each call uses its
// own reader: calls may run on several threads at once.
ReadResult readFile(Kind kind, const std::string& path, const ReadOptions& options = {});
ReadResult readBytes(Kind kind, const std::string& bytes, const ReadOptions& options = {});

// Reads bytes named `name` (for messages) as a file of `kind`, or, without
// one, of the kind that detectKind finds; when it finds none or several, the
// result has no record and its error says so ("name: ...; give --kind").
// An error always starts with `name`.
ReadResult readBytesAs(const std::string& name, const std::string& bytes, std::optional<Kind> kind,
                       const ReadOptions& options = {});

// The kinds that a file's tag line and headers fit best: one when they tell
// the kind, several when they fit those alike, none when they fit no kind.
std::vector<Kind> detectKind(const std::string& bytes);

// A value that a file of the record's kind cannot carry.
struct CheckItem
{
    std::string path;   // dotted field path
    std::string code;   // short stable identifier
    std::string reason; // UTF-8
};
// The values of `record` that its file will not give back as they stand, in field order.
std::vector<CheckItem> recordCheck(const KivNorvikData& record);

// The lines of one group as the writer writes them, for the format reference.
struct FormatLine
{
    std::string keyword;   // its words; choices joined by "|"
    std::string format;    // the format of each value, in order
    std::string field;     // the record field behind each value, in order
    std::string condition; // the condition's name: "always", "each", a predicate
    std::string when;      // the condition in plain words
    std::string layout;    // the line as written, each value as its format ("  ATMOS  %d")
};
struct FormatGroup
{
    std::string header;    // empty for the tag line, which precedes the groups
    std::string condition; // when the group is written: name and plain words
    std::string when;
    std::vector<FormatLine> lines; // the header line itself not included
};
// The groups of `kind`'s file in writer order, a group written twice listed
// twice; empty when the library does not describe `kind`.
std::vector<FormatGroup> formatGroups(Kind kind);

} // namespace norvik
