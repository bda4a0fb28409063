#pragma once

#include "NorvikExportApi.h"

#include <KivArray.h>
#include <KivString.h>

// One thing a reader passed over or read doubtfully. The readers give their
// findings after readFile, in file order. The texts other than `message` are
// given apart, so that a host can word its own message.
struct NORVIK_API KivNorvikFinding
{
    enum Severity {
        Error,   // a value is lost, misread or set to something the file did not say
        Warning, // harmless, or probably not what was meant
    };

    /// Line as a text editor counts it, from 1 (empty lines count, "\r\n" is
    /// one line end); 1 for the file as a whole.
    int line = 1;
    /// Byte of the line the finding points at, from 1 (a tab counts one);
    /// 0 when it is about a whole line, group or file.
    int column = 0;
    Severity severity = Error;
    /// Stable code in kebab case, e.g. "unknown-keyword"; a static text.
    const char* code = "";
    /// One line in plain words.
    KivString message;
    /// The line's keyword, or the header for group findings; may be empty.
    KivString keyword;
    /// The header of the group the line is in; empty outside groups.
    KivString group;
    /// Dotted paths of the fields concerned, within the group's record part.
    KivArray<KivString> fields;
    /// The same fields by their paths in the record, as KivBLnFields names
    /// them ("generalGroup.xy[2]"); empty when the group is not one the
    /// record keeps.
    KivArray<KivString> paths;

    /// "Error" or "Warning".
    static const char* severityName(Severity severity);

    /// A code the readers give: its severity (Error when a finding of the
    /// code can be an error) and what it means, in one sentence.
    struct Code
    {
        const char* code;
        Severity severity;
        const char* summary;
    };
    /// Every code the readers give, each once, in a stable order; `count`
    /// receives how many there are.
    static const Code* codes(int& count);
};
