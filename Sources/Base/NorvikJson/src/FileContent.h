#pragma once

#include <string>

// A file's bytes with the system's reason when they cannot be had, for
// callers that report it as the system does (the Python module's OSError).
namespace norvik {

// Reads the whole file at `path` (UTF-8) into `bytes`: 0, or the errno of the
// open or read that failed (EISDIR for a folder). Safe on several threads.
int readFileContent(const std::string& path, std::string& bytes);

} // namespace norvik
