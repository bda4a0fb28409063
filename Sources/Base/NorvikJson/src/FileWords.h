#pragma once

#include "JsonRecord.h"

#include <string>
#include <vector>

// A record's fields in the file's own words: the line that carries each
// field (as the format reference gives it) and a value's text as the file
// writes it. For the tool's show and diff, the web page and the Python module.
namespace norvik {

struct FieldLine
{
    std::string group;     // the group's header ("GEN", "TRA G|TRA D", "DIAG_%d")
    std::string keyword;   // the line's keyword ("ACIER", "BOU TRA|BOU REN")
    std::string format;    // the value's format ("%3.3f"; "(keyword)" for a code the keyword carries)
    std::string condition; // when the line is written: the condition's name ("exportACIER")
    std::string when;      // the same in plain words
    std::string chooser;   // the field whose value chooses among the keyword's words, if any
};

// The line of the field at the JSON path `path` ("generalGroup.xy[1]",
// "rightTraverse.efforts[2].value1"); null when no line of the file carries it.
const FieldLine* fieldLine(Kind kind, const std::string& path);

// The words of a code field by value ("RAID", "PLAT_ABOUT", ... for BL3
// "secondaryElementGroup.connecType"; "TRA G", "TRA D" for a BL1 side): the
// words the file writes for each code. Empty for a field that is not a code.
// Built from the format reference and the group headers, in one place.
const std::vector<std::string>& codeWords(Kind kind, const std::string& path);

// The keyword of the line of the field at `path` as the file of `doc` (a
// record's JSON) writes it: one of the choices where a field chooses them
// ("RAI PLA SUP" for a position of 0, "BOU REN" for a bolt type of 1); ""
// when no line carries the field.
std::string fieldKeyword(Kind kind, const std::string& path, const Json& doc);

// The header of the group that carries the record part `part`
// ("generalGroup", "leftTraverse", "diagonalElementGroups[1]") as the file
// of `doc` writes it: one of the choices where a code chooses them ("TRA G"
// for a side of 0); "" when the format reference places none of its fields.
std::string groupHeader(Kind kind, const std::string& part, const Json& doc);

// A value as the file writes it: "355.000" for a real written "%3.3f", a
// code's word ("PLAT_ABOUT"), a text as it stands; "" when unset (null).
// Values the format reference does not place are given as JSON would.
std::string fileText(Kind kind, const std::string& path, const Json& value);

} // namespace norvik
