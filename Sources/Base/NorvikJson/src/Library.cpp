#include "Library.h"

#include <KivNorvikBL1Reader.h>
#include <KivNorvikBL2Reader.h>
#include <KivNorvikBL3Reader.h>
#include <KivNorvikBL4Reader.h>
#include <KivNorvikBL5Reader.h>
#include <KivNorvikFileFormat.h>
#include <KivNorvikKinds.h>
#include <KivNorvikRecordCheck.h>

#include <algorithm>
#include <new>

namespace norvik {

namespace {
Finding findingOf(const KivNorvikFinding& f)
{
    Finding out;
    out.line = f.line;
    out.error = f.severity == KivNorvikFinding::Error;
    out.code = f.code;
    out.column = f.column;
    out.message = toUtf8(f.message);
    out.keyword = toUtf8(f.keyword);
    out.group = toUtf8(f.group);
    for (int i = 0; i < f.fields.getLength(); ++i) {
        out.fields.push_back(toUtf8(f.fields[i]));
    }
    for (int i = 0; i < f.paths.getLength(); ++i) {
        out.paths.push_back(toUtf8(f.paths[i]));
    }
    return out;
}

// Runs `reader` into a fresh record of `kind`; on failure the error is the
// reader's first error finding.
ReadResult run(KivNorvikFileReader& reader, Kind kind, const ReadOptions& options)
{
    ReadResult result;
    reader.setMaxFindings(options.maxFindings);
    reader.setFieldLines(options.fieldLines);
    auto record = freshRecord(kind);
    const bool read = reader.readFile(*record) != 0;
    const KivArray<KivNorvikFinding>& findings = reader.getFindings();
    bool bounded = false;
    for (int i = 0; i < findings.getLength(); ++i) {
        result.findings.push_back(findingOf(findings[i]));
        bounded = bounded || result.findings.back().code == "too-many-findings";
    }
    if (bounded) {
        // What the bound left out, by code and severity: the library's counts
        // less the findings kept.
        int count = 0;
        const KivNorvikFinding::Code* codes = KivNorvikFinding::codes(count);
        for (int c = 0; c < count; ++c) {
            for (const auto severity : {KivNorvikFinding::Error, KivNorvikFinding::Warning}) {
                const bool error = severity == KivNorvikFinding::Error;
                int left = reader.countFindings(severity, codes[c].code);
                for (const Finding& f : result.findings) {
                    left -= f.error == error && f.code == codes[c].code ? 1 : 0;
                }
                if (left > 0) {
                    result.omitted.push_back({codes[c].code, error, left});
                }
            }
        }
    }
    const KivArray<KivNorvikFileReader::FieldLine>& fieldLines = reader.getFieldLines();
    for (int i = 0; i < fieldLines.getLength(); ++i) {
        result.fieldLines.emplace(toUtf8(fieldLines[i].path), fieldLines[i].line);
    }
    if (read) {
        result.record = std::move(record);
        return result;
    }
    for (const Finding& f : result.findings) {
        if (f.error) {
            result.error = f.message;
            break;
        }
    }
    if (result.error.empty()) {
        result.error = "cannot be read";
    }
    return result;
}

template <class Reader, class... Source>
ReadResult readAs(Kind kind, const ReadOptions& options, const Source&... source)
{
    Reader reader(source...);
    return run(reader, kind, options);
}

template <class... Source>
ReadResult readKind(Kind kind, const ReadOptions& options, const Source&... source)
{
    switch (kind) {
    case KivNorvikData::eBL1: return readAs<KivNorvikBL1Reader>(kind, options, source...);
    case KivNorvikData::eBL2: return readAs<KivNorvikBL2Reader>(kind, options, source...);
    case KivNorvikData::eBL3: return readAs<KivNorvikBL3Reader>(kind, options, source...);
    case KivNorvikData::eBL4: return readAs<KivNorvikBL4Reader>(kind, options, source...);
    case KivNorvikData::eBL5: return readAs<KivNorvikBL5Reader>(kind, options, source...);
    }
    ReadResult result;
    result.error = "not a kind of exchange file";
    return result;
}

} // namespace

ReadResult readFile(Kind kind, const std::string& path, const ReadOptions& options)
{
    return readKind(kind, options, fromUtf8(path));
}

ReadResult readBytes(Kind kind, const std::string& bytes, const ReadOptions& options)
{
    return readKind(kind, options, bytes.data(), bytes.size());
}

namespace {
std::string kindList(const std::vector<Kind>& kinds)
{
    std::string out;
    for (size_t i = 0; i < kinds.size(); ++i) {
        out += std::string(i == 0 ? "" : i + 1 == kinds.size() ? " and " : ", ") + kindName(kinds[i]);
    }
    return out;
}
} // namespace

ReadResult readBytesAs(const std::string& name, const std::string& bytes, std::optional<Kind> kind,
                       const ReadOptions& options)
{
    if (!kind) {
        const std::vector<Kind> kinds = detectKind(bytes);
        if (kinds.size() != 1) {
            ReadResult result;
            result.error =
                name +
                (kinds.empty() ? ": neither the tag line nor the headers show the kind of file"
                               : ": the tag line and the headers fit " + kindList(kinds) + " alike") +
                "; give --kind BL1..BL5";
            return result;
        }
        kind = kinds.front();
    }
    ReadResult result = readBytes(*kind, bytes, options);
    if (!result.record) {
        result.error = name + ": " + result.error;
    }
    return result;
}

std::vector<Kind> detectKind(const std::string& bytes)
{
    KivArray<const KivNorvikKind*> kinds;
    std::vector<Kind> out;
    if (KivNorvikKinds::detect(bytes.data(), bytes.size(), kinds) < 0) {
        throw std::bad_alloc();
    }
    out.reserve(static_cast<size_t>(kinds.getLength()));
    for (int i = 0; i < kinds.getLength(); ++i) {
        out.push_back(kinds[i]->type);
    }
    return out;
}

std::vector<CheckItem> recordCheck(const KivNorvikData& record)
{
    KivArray<KivNorvikRecordIssue> issues;
    if (KivNorvikRecordCheck::check(record, issues) == 0) {
        return {{"(record)", "check-failed", "the record could not be checked (memory ran out)"}};
    }
    std::vector<CheckItem> items;
    items.reserve(static_cast<size_t>(issues.getLength()));
    for (int i = 0; i < issues.getLength(); ++i) {
        items.push_back({toUtf8(issues[i].path), toUtf8(issues[i].code), toUtf8(issues[i].message)});
    }
    return items;
}

std::vector<FormatGroup> formatGroups(Kind kind)
{
    std::vector<FormatGroup> groups;
    KivArray<KivNorvikLineFormat> lines;
    if (KivNorvikFileFormat::lines(kind, lines) == 0) {
        return groups;
    }
    for (int i = 0; i < lines.getLength(); ++i) {
        const KivNorvikLineFormat& line = lines[i];
        const std::string group = toUtf8(line.group);
        // A group's own header line starts it; a group may be written more than once.
        if (line.keyword == line.group && !group.empty()) {
            groups.push_back({group, toUtf8(line.condition), toUtf8(line.when), {}});
            continue;
        }
        if (groups.empty() || groups.back().header != group) {
            groups.push_back({group, {}, {}, {}});
        }
        groups.back().lines.push_back({toUtf8(line.keyword), toUtf8(line.formats), toUtf8(line.fields),
                                       toUtf8(line.condition), toUtf8(line.when), toUtf8(line.layout)});
    }
    return groups;
}

} // namespace norvik
