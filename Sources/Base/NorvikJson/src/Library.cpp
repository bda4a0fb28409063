#include "Library.h"

#include <KivBL1Layout.h>
#include <KivBL2Layout.h>
#include <KivBL3Layout.h>
#include <KivBL4Layout.h>
#include <KivBL5Layout.h>
#include <KivNorvikBL1Reader.h>
#include <KivNorvikBL2Reader.h>
#include <KivNorvikBL3Reader.h>
#include <KivNorvikBL4Reader.h>
#include <KivNorvikBL5Reader.h>
#include <KivNorvikFileFormat.h>
#include <KivNorvikRecordCheck.h>

#include <algorithm>

namespace norvik {

namespace {
Finding findingOf(const KivNorvikFinding& f)
{
    Finding out;
    out.line = f.line;
    out.error = f.severity == KivNorvikFinding::Error;
    out.code = f.code;
    out.message = toUtf8(f.message);
    out.keyword = toUtf8(f.keyword);
    out.group = toUtf8(f.group);
    for (int i = 0; i < f.fields.getLength(); ++i) {
        out.fields.push_back(toUtf8(f.fields[i]));
    }
    return out;
}

// Runs `reader` into a fresh record of `kind`; on failure the error is the
// reader's first error finding.
ReadResult run(KivNorvikFileReader& reader, Kind kind, const ReadOptions& options)
{
    ReadResult result;
    // The library's cap of the findings goes here once it has one:
    // reader.setMaxFindings(options.maxFindings), and result.omitted from its counts.
    (void)options;
    auto record = freshRecord(kind);
    const bool read = reader.readFile(*record) != 0;
    const KivArray<KivNorvikFinding>& findings = reader.getFindings();
    for (int i = 0; i < findings.getLength(); ++i) {
        result.findings.push_back(findingOf(findings[i]));
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

const KivNorvikKindLayout& layoutOf(Kind kind)
{
    switch (kind) {
    case KivNorvikData::eBL1: return KivBL1Layout::kind();
    case KivNorvikData::eBL2: return KivBL2Layout::kind();
    case KivNorvikData::eBL3: return KivBL3Layout::kind();
    case KivNorvikData::eBL4: return KivBL4Layout::kind();
    default: return KivBL5Layout::kind();
    }
}

std::string trimmed(const std::string& text, const char* blanks = " \t")
{
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// The non-empty lines of a file as its readers split them.
std::vector<KivString> linesOf(const std::string& bytes)
{
    std::vector<KivString> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        const size_t next = end == std::string::npos ? bytes.size() : end + 1;
        if (end == std::string::npos) {
            end = bytes.size();
        }
        if (end > start && bytes[end - 1] == '\r') {
            --end;
        }
        if (end > start) {
            lines.emplace_back(bytes.substr(start, end - start).c_str());
        }
        start = next;
    }
    return lines;
}

// The kinds whose tag a tag line carries; among the kinds sharing a tag,
// only BL3 names its project with the prefix that its reader removes.
std::vector<Kind> tagKinds(const KivString& line)
{
    std::string text = trimmed(toUtf8(line));
    const size_t comma = text.find(',');
    if (comma == std::string::npos) {
        return {};
    }
    const std::string tag = trimmed(trimmed(text.substr(0, comma)), "\"");
    KivString plain, unprefixed;
    KivNorvikFileReader::projectNameFromTagLine(line, false, plain, tag.c_str());
    KivNorvikFileReader::projectNameFromTagLine(line, true, unprefixed, tag.c_str());
    const bool prefixed = !(plain == unprefixed);
    std::vector<Kind> kinds;
    for (Kind k : kAllKinds) {
        if (tag == layoutOf(k).tag) {
            kinds.push_back(k);
        }
    }
    if (kinds.size() > 1) {
        const auto bl3 = std::find(kinds.begin(), kinds.end(), KivNorvikData::eBL3);
        if (prefixed) {
            kinds = {KivNorvikData::eBL3};
        } else if (bl3 != kinds.end()) {
            kinds.erase(bl3);
        }
    }
    return kinds;
}

// How well the lines fit a kind's tables: two for each header of its
// groups, one for each line a row of its group reads.
int fit(const std::vector<KivString>& lines, const KivNorvikKindLayout& layout)
{
    int score = 0;
    const KivNorvikGroupLayout* group = nullptr;
    KivNorvikTokens tokens;
    for (const KivString& line : lines) {
        if (const KivNorvikGroupLayout* header = layout.findGroup(line)) {
            group = header;
            score += 2;
            continue;
        }
        if (group == nullptr) {
            continue;
        }
        KivNorvikFileReader::tokenize(line, tokens);
        if (tokens.getLength() == 1 && tokens[0] == KivString(L"FIN")) {
            group = nullptr;
        } else if (group->find(tokens) != nullptr) {
            ++score;
        }
    }
    return score;
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
    const bool mark = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0; // a byte-order mark hides the tag
    const std::vector<KivString> lines = linesOf(mark ? bytes.substr(3) : bytes);
    std::vector<Kind> candidates;
    for (const KivString& line : lines) {
        bool header = false;
        for (Kind k : kAllKinds) {
            header = header || layoutOf(k).findGroup(line) != nullptr;
        }
        if (header) {
            break; // the tag line comes before the groups
        }
        candidates = tagKinds(line);
        if (!candidates.empty()) {
            break;
        }
    }
    if (candidates.size() == 1) {
        return candidates;
    }
    const bool tagged = !candidates.empty();
    if (!tagged) {
        candidates.assign(std::begin(kAllKinds), std::end(kAllKinds));
    }
    std::vector<Kind> best;
    int bestScore = 0;
    for (Kind k : candidates) {
        const int score = fit(lines, layoutOf(k));
        if (score > bestScore) {
            best.clear();
        }
        if (score >= bestScore && score > 0) {
            best.push_back(k);
        }
        bestScore = std::max(bestScore, score);
    }
    return best.empty() && tagged ? candidates : best;
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
                                       toUtf8(line.condition), toUtf8(line.when)});
    }
    return groups;
}

} // namespace norvik
