#include "KivNorvikFinding.h"

const char* KivNorvikFinding::severityName(Severity severity)
{
    return severity == Error ? "Error" : "Warning";
}
