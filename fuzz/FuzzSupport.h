#pragma once

// What every fuzz target of the library shares: a contract violation stops
// the run like a crash, and each process writes its files under a name of
// its own.

#include <NorvikExport.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace norvik_fuzz {

inline void abortOnReport(const wchar_t* condition, const wchar_t* file, unsigned int line)
{
    std::fprintf(stderr, "contract violation: %ls (%ls:%u)\n", condition, file, line);
    std::abort();
}

inline void abortOnContractViolation()
{
    static const bool installed = (KivAssert::setHandler(&abortOnReport), true);
    (void)installed;
}

// The start of the names of this process's files, in $TMPDIR.
inline const std::string& workBase()
{
    static const std::string base = [] {
        const char* dir = std::getenv("TMPDIR");
        return std::string(dir != nullptr ? dir : "/tmp") + "/norvik_fuzz_" + std::to_string(getpid());
    }();
    return base;
}

} // namespace norvik_fuzz
