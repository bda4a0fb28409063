#include "Export.h"

#include <cerrno>

namespace norvik {

namespace {
// Fills `problems`; true when the record may be written.
bool checked(const KivNorvikData& record, bool strict, const std::string& name,
             const std::vector<CheckItem>& earlier, ExportOutcome& outcome)
{
    outcome.problems = earlier;
    const std::vector<CheckItem> lost = recordCheck(record);
    outcome.problems.insert(outcome.problems.end(), lost.begin(), lost.end());
    if (strict && !outcome.problems.empty()) {
        const size_t n = outcome.problems.size();
        outcome.refused = name + ": the file cannot carry " + std::to_string(n) +
                          (n == 1 ? " value" : " values") + "; nothing written";
        return false;
    }
    return true;
}

void failed(const std::string& error, ExportOutcome& outcome)
{
    // Taken at once: the writer's failing call left its reason in errno.
    outcome.systemError = error.empty() ? 0 : errno;
    outcome.error = error;
}
} // namespace

std::string outputNameError(const std::string& out, Kind kind)
{
    const auto named = kindFromPath(out);
    if (!named || *named == kind) {
        return {};
    }
    return out + ": the name ends in the extension of " + kindName(*named) + " files; a " + kindName(kind) +
           " record is written to a ." + kindExtension(kind) + " file";
}

ExportOutcome exportRecord(const KivNorvikData& record, const std::string& out, bool strict,
                           const std::string& name, const std::vector<CheckItem>& earlier)
{
    ExportOutcome outcome;
    if (out != "-") {
        outcome.refused = outputNameError(out, record.dataType);
        if (!outcome.refused.empty()) {
            return outcome;
        }
    }
    if (checked(record, strict, name, earlier, outcome)) {
        errno = 0;
        failed(writeRecord(record, out), outcome);
    }
    return outcome;
}

ExportOutcome exportBytes(const KivNorvikData& record, bool strict, const std::string& name,
                          std::string& bytes, const std::vector<CheckItem>& earlier)
{
    ExportOutcome outcome;
    bytes.clear();
    if (checked(record, strict, name, earlier, outcome)) {
        errno = 0;
        failed(recordBytes(record, bytes), outcome);
    }
    return outcome;
}

} // namespace norvik
