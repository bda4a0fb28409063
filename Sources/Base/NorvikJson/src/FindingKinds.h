#pragma once

#include <string>
#include <vector>

// The kinds of finding that a read can give, for the rules of a SARIF log,
// the codes that --select and --ignore take and their "did you mean".
namespace norvik {

struct FindingKind
{
    std::string code;        // kebab case, as Finding::code
    bool error = false;      // a finding of the code can be an error; each finding carries its own
    std::string description; // one short sentence
};

// Every kind, from the library's table of codes (KivNorvikFinding::codes),
// in its order.
const std::vector<FindingKind>& findingKinds();

// The kind of `code`; null for a code the list does not have.
const FindingKind* findingKind(const std::string& code);

} // namespace norvik
