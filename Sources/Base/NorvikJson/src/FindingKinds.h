#pragma once

#include <string>
#include <vector>

// The kinds of finding that a read can give, for the rules of a SARIF log,
// the codes that --select and --ignore take and their "did you mean".
namespace norvik {

struct FindingKind
{
    std::string code;        // kebab case, as Finding::code
    bool error = false;      // the default severity; a finding carries its own
    std::string description; // one short sentence
};

// Every kind, in the order of reading: the file, its lines, its groups, their
// lines. One list, so that it can come from the library's own table.
const std::vector<FindingKind>& findingKinds();

// The kind of `code`; null for a code the list does not have.
const FindingKind* findingKind(const std::string& code);

} // namespace norvik
