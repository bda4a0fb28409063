#pragma once

#include "Library.h"

#include <string>
#include <vector>

// A record written as its exchange file the way `from-json` writes it: the
// values that the file cannot carry are reported, and refused when strict.
// For the tool and the Python module.
namespace norvik {

struct ExportOutcome
{
    std::vector<CheckItem> problems; // values the file cannot carry, in field order
    std::string refused;             // why nothing was written: those values (strict), or the output name
    std::string error;               // the writer failed ("path: reason"); an existing file is untouched
    int systemError = 0;             // the errno behind `error`, when the system gave one
};

// Why `out` cannot name a file of `kind`: it ends in another kind's extension
// ("y.bl2" for a BL1 record). Empty when it can.
std::string outputNameError(const std::string& out, Kind kind);

// Checks `record` and writes it through writeRecord to `out` ("-": standard
// output) unless `strict` and a value cannot be carried, or `out` names
// another kind. `name` names the record in `refused` ("x.json"). `earlier`
// are problems found before, listed first and refused alike: the values that
// fromJson read as unset because the JSON gave them as an undefined value.
ExportOutcome exportRecord(const KivNorvikData& record, const std::string& out, bool strict,
                           const std::string& name, const std::vector<CheckItem>& earlier = {});

// The same into `bytes`: what exportRecord would write.
ExportOutcome exportBytes(const KivNorvikData& record, bool strict, const std::string& name,
                          std::string& bytes, const std::vector<CheckItem>& earlier = {});

} // namespace norvik
