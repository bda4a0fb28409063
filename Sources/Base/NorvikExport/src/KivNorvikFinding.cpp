#include "KivNorvikFinding.h"

#include "KivNorvikDiagnosis.h"

const char* KivNorvikFinding::severityName(Severity severity)
{
    return severity == Error ? "Error" : "Warning";
}

const KivNorvikFinding::Code* KivNorvikFinding::codes(int& count)
{
    const std::vector<Code>& all = KivNorvikDiagnosis::codes();
    count = static_cast<int>(all.size());
    return all.data();
}
