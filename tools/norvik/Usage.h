#pragma once

#include <cstdio>
#include <string>
#include <vector>

// What the command line needs beyond CLI11: "did you mean" for a mistyped
// subcommand, option or code, and whether to colour the output.
namespace norvik {

// The edit distance of two words (case ignored), a swap of two neighbouring
// letters counting as one edit (the optimal string alignment distance).
size_t editDistance(const std::string& a, const std::string& b);

// The candidates nearest to `word`: at most one edit away for words of up
// to four letters, two for longer ones, or else the one candidate that
// `word` begins. Leading dashes are compared as letters; a one-letter short
// option only matches in another case ("-R" for "-r").
std::vector<std::string> suggestions(const std::string& word, const std::vector<std::string>& candidates);

// " (did you mean X?)", " (did you mean X or Y?)", or "".
std::string didYouMean(const std::string& word, const std::vector<std::string>& candidates);

// Whether output to `stream` is coloured: `when` is "always", "never" or
// "auto" (a terminal, NO_COLOR unset or empty, TERM not "dumb"; on Windows a
// console that takes ANSI escapes).
bool useColor(const std::string& when, FILE* stream);

} // namespace norvik
