#pragma once

#include "KivNorvikData.h"
#include "NorvikExportApi.h"

#include <KivArray.h>
#include <KivString.h>

// One line of an exchange file as the writer writes it.
struct NORVIK_API KivNorvikLineFormat
{
    /// Header of the group the line belongs to ("GEN", "TRA D|TRA G", "DIAG_%d").
    /// A group's own header line is listed as a line whose keyword is the header;
    /// each group ends with "FIN", which is not listed.
    KivString group;
    /// Keyword words as written ("ACIER", "RAI AME OBLIQ"); when a code
    /// chooses the words, the choices joined by "|" ("BOU TRA|BOU REN").
    KivString keyword;
    /// Format of each value in line order, separated by blanks ("%3.3f %d %s");
    /// "(keyword)" for a field that the keyword's words carry, a constant
    /// written as it stands.
    KivString formats;
    /// Dotted path of the record field behind each value, in the same order
    /// ("generalGroup.xy[0] generalGroup.xy[1]"); "[]" stands for each element
    /// of an array, "-" for a constant.
    KivString fields;
    /// Name of the condition: "always", "each" (one line per array element),
    /// an export predicate of the record ("exportACIER") or a writer
    /// condition ("NEIGE", "JEU").
    KivString condition;
    /// The condition in plain words.
    KivString when;
    /// The line as the writer lays it out, each value as its format:
    /// "  ATMOS  %d" (two blanks before the value), "     ATT.NOE_NUM %d %d".
    /// A word chosen by a code shows its choices ("BOU TRA|REN %3.3f ...").
    KivString layout;
};

// The format reference: every line of every kind, in writer order, with the
// writer's own formats and conditions.
class NORVIK_API KivNorvikFileFormat
{
public:
    /// Replaces `lines` with the lines of `kind`'s file in writer order.
    /// Returns 1; 0 for a kind outside the enumeration or when memory runs
    /// out (`lines` is then empty). Throws nothing.
    static int lines(KivNorvikData::eNorvikDataType kind, KivArray<KivNorvikLineFormat>& lines);
};
