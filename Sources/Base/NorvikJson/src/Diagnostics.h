#pragma once

#include "JsonRecord.h"
#include "Library.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

// Findings as people and programs read them: compiler-shaped text with the
// source line, GitHub workflow annotations, a SARIF 2.1.0 log and the JSON
// report of a check.
namespace norvik {

// The text with its control characters (C0, DEL, C1) written as escapes
// ("\r", "\x1b", "\u0085"), so that it stays on one line of a terminal.
std::string printable(const std::string& text);

// "FILE:LINE:COLUMN: error: MESSAGE [code]", or "FILE:LINE:" when the column
// is unknown, "FILE:" for the file as a whole; one line whatever the file holds.
std::string findingLine(const std::string& file, const Finding& finding, bool color = false);

// The finding line, then (given the text of its line) the line under a
// gutter with its number and a caret under the column, as clang shows them:
//   x.bl1:4:3: error: Unknown keyword "ACEIR" ... [unknown-keyword]
//       4 |   ACEIR 355.000
//         |   ^~~~~
// Lines end in "\n". Colour: ANSI escapes as clang's.
std::string diagnosticText(const std::string& file, const Finding& finding, const std::string* source,
                           bool color);

// The lines `numbers` (1-based, "\n" ends a line, a "\r" before it is not
// part of it) of a file's bytes or of a file; lines beyond the end are absent.
std::map<int, std::string> linesOfBytes(const std::string& bytes, const std::set<int>& numbers);
std::map<int, std::string> linesOfFile(const std::string& path, const std::set<int>& numbers);

// A GitHub Actions workflow command: "::error file=F,line=L,col=C,title=norvik CODE::MESSAGE".
std::string githubAnnotation(const std::string& file, const Finding& finding);
// The same for a file that could not be read.
std::string githubError(const std::string& file, const std::string& reason);

// The codes that --select and --ignore leave: all but the ignored ones, or
// only the selected ones. A "too-many-findings" finding stays unless ignored:
// it tells that selected findings may be among those left out.
struct FindingFilter
{
    std::set<std::string> select; // empty: every code
    std::set<std::string> ignore;
    bool keeps(const std::string& code) const;
};

// One path as given to a check, with what became of it.
struct CheckedPath
{
    std::string path;
    std::string outcome; // "file", "folder" (with its count of files) or "missing"
    size_t files = 0;
    std::string error; // why it names nothing
};

// One file of a check.
struct CheckedFile
{
    std::string path;              // "-" for standard input
    std::optional<Kind> kind;      // when it was read
    std::string error;             // why it could not be read
    std::vector<Finding> findings; // those the filter keeps
    std::vector<OmittedFindings> omitted;
    size_t errors = 0; // of every finding the filter keeps, the omitted ones included
    size_t warnings = 0;
};

// Counts the errors and warnings of `file`'s findings and omitted findings.
void countFindings(CheckedFile& file);

constexpr int kCheckReportVersion = 1;

// The JSON of a check: the tool and its version, the report's format version,
// every path given with its outcome, every file with its findings, the totals.
Json checkReport(const std::vector<CheckedPath>& paths, const std::vector<CheckedFile>& files,
                 const std::string& toolVersion);

// A SARIF 2.1.0 log of one run: the rules of the finding kinds (and of any
// other code found), each finding with its file, line and column; the files
// that could not be read as notifications of the run.
Json sarifLog(const std::vector<CheckedPath>& paths, const std::vector<CheckedFile>& files,
              const std::string& toolVersion);

// A path as a SARIF URI: relative paths as relative references with "/",
// absolute ones as "file:" URIs; reserved characters percent-encoded.
std::string pathUri(const std::string& path);

} // namespace norvik
