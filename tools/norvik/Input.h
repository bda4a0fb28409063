#pragma once

#include "Library.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace norvik {

// How the kind of an input is chosen: from its extension, given, or from its content.
struct KindChoice
{
    std::optional<Kind> given; // --kind BL1..BL5
    bool detect = false;       // --kind auto
};

// Parses a --kind value ("" for none); false for an unknown one.
bool parseKindChoice(const std::string& text, KindChoice& choice);

// Reads an exchange file ("-": standard input) of the chosen kind. The
// result's error says why it could not be read, starting with the path.
// The bytes that were read here (standard input, a kind read from the
// content) go to `bytes` when given; a file read by its path leaves it empty.
ReadResult loadExchangeFile(const std::string& path, const KindChoice& choice,
                            const ReadOptions& options = {}, std::string* bytes = nullptr);

// The text of the lines of `findings` (for their source lines): from `bytes`
// when not empty, else from the file at `path`.
std::map<int, std::string> findingLines(const std::string& path, const std::string& bytes,
                                        const std::vector<Finding>& findings);

// The whole content of a file ("-": standard input); false with `error` set
// ("path: reason") when it cannot be read.
bool readWhole(const std::string& path, std::string& bytes, std::string& error);

} // namespace norvik
