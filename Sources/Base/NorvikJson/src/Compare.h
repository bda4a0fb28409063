#pragma once

#include "JsonRecord.h"
#include "Library.h"

#include <string>
#include <vector>

// Records field by field: the tree of `show` and the differences of `diff`.
namespace norvik {

// One field of a record: its dotted path and, inside a KivArray, the path of its element.
struct FieldPath
{
    std::string path;
    std::string element;
};
std::vector<FieldPath> fieldPaths(const KivNorvikData& record);

// A JSON value as the terminal shows it: unset, texts in double quotes,
// objects as {name: value, ...}.
std::string render(const Json& value);

// The indented tree of a record's fields: those that differ from a fresh
// record of its kind, or all of them.
std::string showTree(const KivNorvikData& record, bool all);

struct Difference
{
    std::string path;
    const Json* before = nullptr; // null: no such element
    const Json* after = nullptr;
};

// The differences of two records of one kind, in field order; the documents
// keep the values that the differences point to.
struct Comparison
{
    Json before;
    Json after;
    std::vector<Difference> differences;
};
Comparison compare(const KivNorvikData& a, const KivNorvikData& b);

// "path: old -> new" per difference.
std::string diffText(const Comparison& comparison);
Json diffJson(const Comparison& comparison);

} // namespace norvik

// The same in the file's words, for `show` and `diff`: each field with the
// keyword of its line, the line it was read from (ReadResult::fieldLines,
// where the library gives it) and its value as the file writes it.
namespace norvik {

// A value as `show` and `diff` give it: "unset", a text in double quotes, a
// code with its word ("1 (PLAT_ABOUT)"), a number as the file writes it.
std::string valueText(Kind kind, const std::string& path, const Json& value);

struct ShownField
{
    std::string path;
    std::string keyword;                // as the file writes the line; "" when no line carries the field
    int line = 0;                       // the line it was read from; 0 when unknown
    std::string value;                  // valueText
    std::vector<const Finding*> errors; // the error findings that concern it (Finding::paths)
};

// The fields of a read record that differ from a fresh record, or all of
// them; a field that an error finding concerns is always given.
std::vector<ShownField> shownFields(const ReadResult& read, bool all);

// The fields as aligned columns: path, keyword, "line N", value, and
// "[error: CODE, line N]" for each error finding that concerns the value.
// The line column is left out when no line is known.
std::string showText(const ReadResult& read, bool all);

// A difference in the file's words.
struct FileDifference
{
    std::string path;             // a field, an array element, or a record part
    std::string keyword;          // of the field's line, or the header of a part's group
    bool group = false;           // a group that one file has and the other has not
    const Json* before = nullptr; // null: absent
    const Json* after = nullptr;
    int lineBefore = 0; // 0: unknown or absent
    int lineAfter = 0;
    size_t values = 0; // of a group: its set values
};

struct FileComparison
{
    Kind kind = KivNorvikData::eBL1;
    Comparison values;
    std::vector<FileDifference> differences;
};

// The differences of two read records of one kind, a group that only one
// file has given as one difference. A group is there when a line of it was
// read (fieldLines) or, while the lines are unknown, when a value of it
// differs from a fresh record.
FileComparison compareFiles(const ReadResult& before, const ReadResult& after);

// "path  KEYWORD  line 4: old -> line 5: new" per difference; a group as
// "path  HEADER  (none) -> line 40: group of 55 values".
std::string diffText(const FileComparison& comparison);
// {"kind", "equal", "differences": [{"path", "keyword", "old", "new", "oldLine", "newLine"}]};
// a group: {"path", "group": HEADER, "old" or "new": the group, "values"}.
Json diffJson(const FileComparison& comparison);

} // namespace norvik
