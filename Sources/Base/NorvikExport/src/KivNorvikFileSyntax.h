#pragma once

#include <KivString.h>

#include <cstddef>
#include <string_view>

struct KivNorvikKind;

// The syntax of an exchange file below its groups: white space and the tag
// line, on the file's bytes. (Lines are split into tokens by
// KivNorvikLineTokens.) Internal to the library.
class KivNorvikFileSyntax
{
public:
    // The bytes without the white space around them.
    static std::string_view trimmed(std::string_view text);

    // Whether a line outside the groups is a tag line: it holds the part that
    // every kind's tag starts with ("NV_ATT").
    static bool isTagLine(std::string_view line);

    // The project name that a tag line gives for a kind whose tag is `tag`
    // and whose names start with `prefix` ("" for none). When the first
    // comma-separated field, trimmed and unquoted, is the tag, the name is the
    // rest of the line, trimmed, less one enclosing pair of quotes (false when
    // the line has no comma); otherwise the first field itself, less its
    // quotes. The prefix is removed from the name when it starts with it.
    static bool projectName(std::string_view line, const char* tag, const char* prefix, KivString& name);

    // Whether `text` is probably a mistyped `word`: not the same, but equal
    // to it but for letter case, one character inserted, removed or
    // replaced, or two neighbouring characters swapped ("ACEIR" for "ACIER").
    static bool nearly(std::string_view text, std::string_view word);

    // The kinds that a tag line names, one bit each (bit i for KivNorvikKinds::at(i)):
    // those whose tag is the line's first field; among those, the kinds whose
    // names carry a prefix when the name does, the others when it does not.
    // 0 when the first field is no kind's tag.
    static unsigned tagKinds(std::string_view line);
};
