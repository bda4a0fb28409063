#pragma once

#include "KivNorvikData.h"
#include "NorvikExportApi.h"

#include <KivArray.h>
#include <KivString.h>

// One value that a file will not give back as the host set it.
struct NORVIK_API KivNorvikRecordIssue
{
    /// Dotted path of the field, as the kind's Fields class names it
    /// ("rightTraverse.efforts[1].value2"); "projectName" for the project name.
    KivString path;
    /// Stable kebab-case code of the reason ("text-with-blank").
    KivString code;
    /// The reason in plain words.
    KivString message;
};

// Checks a filled record before export: which values the file of its kind
// will not give back as they stand, and why. Codes:
//   text-with-blank     a text with white space: it splits, the values after it shift
//   empty-text          an empty text: the file holds no token for it
//   text-line-end       a line end in a text: written as a blank
//   not-windows-1252    a character with no Windows-1252 form: written as "?"
//   extra-decimals      a real with more decimals than its format writes
//   not-finite          NaN or infinity
//   near-undefined      a BL2 real within 1e-6 of the undefined value
//   code-outside-table  a code with no word or line of its own (a BL1 side
//                       other than 0 and 1, a bolt kind, a BL3 attachment type)
//   shifted             an earlier value of the line splits or vanishes
//   line-dropped        the reader passes over the line: its token count changed
//   not-read            the reader passes over the value
//   read-elsewhere      the line is read back into another member
//   group-repeated      a later group with the same header replaces this one
//   read-as-zero        BL3 "ATT.NOE_NUM" with one number: the second comes back 0
//   partly-set-line     the line is left out: some but not all of its values are set
//   not-selected        the line is left out: a code selects another line
//   group-not-selected  the group is left out (BL1 "POT"/"ACR" by `con`, a beam
//                       side without `side`, the BL5 group `typeAtt` does not select)
//   group-unreadable    the group is written under a header no reader knows
//   snow-without-loading "NEIGE" without a loading of type 2 or -1
//   not-written         the file has no line for the value
//   undefined-written   BL4/BL5: a value written while undefined, as it stands
//                       (read back unchanged, listed for the host)
class NORVIK_API KivNorvikRecordCheck
{
public:
    /// Replaces `issues` with the findings for `record`, a KivBL1Data to
    /// KivBL5Data (by class), in field order. Returns 1; 0 for a record of
    /// another class or when memory runs out (`issues` is then empty).
    /// Throws nothing.
    static int check(const KivNorvikData& record, KivArray<KivNorvikRecordIssue>& issues);
};
