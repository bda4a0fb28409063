#pragma once

#include "Input.h"

#include <string>
#include <vector>

namespace norvik {

struct CheckOptions
{
    KindChoice kind;
    bool recursive = false;
    bool json = false;
    bool denyWarnings = false;
    unsigned jobs = 0; // 0: one per core
};

// The files that `paths` name, in order: files as given, and the exchange
// files of folders (their top level, or all levels when recursive), sorted
// by name. Links to folders are not followed; the writer's temporary files
// (".name.tmp") are skipped; "-" is standard input. Paths that name nothing
// go to `missing`.
std::vector<std::string> findFiles(const std::vector<std::string>& paths, bool recursive,
                                   std::vector<std::string>& missing);

// Checks the files and prints their findings; the exit status: 0 no error,
// 1 an error (or a warning when denied), 2 a file unreadable or none found.
int runCheck(const std::vector<std::string>& paths, const CheckOptions& options);

// "FILE:LINE: error: MESSAGE [code]", one line whatever the file holds.
std::string findingLine(const std::string& file, const Finding& finding);

// The text with its control characters (C0, DEL, C1) written as escapes
// ("\r", "\x1b", "\u0085"), so that it stays on one line of a terminal.
std::string printable(const std::string& text);

} // namespace norvik
