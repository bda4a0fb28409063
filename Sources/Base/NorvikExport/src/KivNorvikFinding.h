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
    /// one line end); 1 for the file as a whole, 0 when the file is empty.
    int line = 0;
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

    /// "Error" or "Warning".
    static const char* severityName(Severity severity);
};
