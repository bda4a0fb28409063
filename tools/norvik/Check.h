#pragma once

#include "Diagnostics.h"
#include "Input.h"

#include <string>
#include <vector>

namespace norvik {

// How `check` prints: compiler-shaped text, the JSON report, a SARIF log,
// GitHub workflow annotations.
enum class CheckFormat { Text, Json, Sarif, Github };

struct CheckOptions
{
    KindChoice kind;
    bool recursive = false;
    CheckFormat format = CheckFormat::Text;
    bool denyWarnings = false;
    unsigned jobs = 0; // 0: one per core
    FindingFilter filter;
    ReadOptions read;
    bool color = false;  // ANSI colours in the text
    std::string version; // the tool's, for the reports
};

// The files that `paths` name, in order: files as given, and the exchange
// files of folders (their top level, or all levels when recursive), sorted
// by name. Links to folders are not followed; the writer's temporary files
// (".name.tmp") are skipped; "-" is standard input. Each path given is
// listed in `given` with its outcome; paths that name nothing have an error.
std::vector<std::string> findFiles(const std::vector<std::string>& paths, bool recursive,
                                   std::vector<CheckedPath>& given);

// A finding as text (diagnosticText), with the tool's note on what to do
// where it has one ("--kind auto" after a wrong-kind error).
std::string findingText(const std::string& name, const Finding& finding, const std::string* source,
                        bool color);

// Checks the files and prints their findings; the exit status: 0 no error,
// 1 an error (or a warning when denied), 2 a file unreadable or none found.
int runCheck(const std::vector<std::string>& paths, const CheckOptions& options);

} // namespace norvik
