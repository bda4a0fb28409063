#include "KivNorvikGroupScan.h"

#include "KivNorvikData.h"
#include "KivNorvikFileSyntax.h"
#include "KivNorvikKinds.h"
#include "KivNorvikSharedLines.h"

#include <KivAssert.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

using Kind = KivNorvikDiagnosis::Kind;

// The row index of a group of one of the built-in kinds, made once; null for
// any other group.
const KivNorvikRowIndex* builtInIndex(const KivNorvikKind& kind, const KivNorvikGroupLayout& group)
{
    static const std::vector<std::vector<KivNorvikRowIndex>> indexes = [] {
        std::vector<std::vector<KivNorvikRowIndex>> all(static_cast<size_t>(KivNorvikKinds::count()));
        for (int k = 0; k < KivNorvikKinds::count(); ++k) {
            const KivNorvikKindLayout& layout = *KivNorvikKinds::at(k).lines;
            all[static_cast<size_t>(k)].reserve(static_cast<size_t>(layout.groupCount));
            for (int g = 0; g < layout.groupCount; ++g) {
                all[static_cast<size_t>(k)].emplace_back(layout.groups[g]);
            }
        }
        return all;
    }();
    const KivNorvikKind* builtIn = KivNorvikKinds::of(kind.type);
    if (builtIn != &kind) {
        return nullptr;
    }
    const std::ptrdiff_t g = &group - kind.lines->groups;
    return g >= 0 && g < kind.lines->groupCount
               ? &indexes[static_cast<size_t>(kind.type)][static_cast<size_t>(g)]
               : nullptr;
}

// The one kind other than `self` that has the header `line`, or null.
const KivNorvikKind* onlyOtherKindWith(const KivNorvikLineCursor::Line& line, const KivNorvikKind& self)
{
    const KivNorvikKind* found = nullptr;
    for (int k = 0; k < KivNorvikKinds::count(); ++k) {
        const KivNorvikKind& kind = KivNorvikKinds::at(k);
        if (&kind == &self || kind.lines->findGroup(line.text, line.length) == nullptr) {
            continue;
        }
        if (found != nullptr) {
            return nullptr;
        }
        found = &kind;
    }
    return found;
}

// Whether no other kind has a group with the header of `group`.
bool onlyThisKindHas(const KivNorvikGroupLayout& group, const KivNorvikKind& self)
{
    for (int k = 0; k < KivNorvikKinds::count(); ++k) {
        const KivNorvikKind& kind = KivNorvikKinds::at(k);
        if (&kind == &self) {
            continue;
        }
        for (int g = 0; g < kind.lines->groupCount; ++g) {
            if (std::strcmp(kind.lines->groups[g].header, group.header) == 0) {
                return false;
            }
        }
    }
    return true;
}

// The names of the kinds whose bits are set: "BL1 or BL2".
std::string kindNames(unsigned kinds)
{
    std::string out;
    for (int k = 0; k < KivNorvikKinds::count(); ++k) {
        if ((kinds & (1u << k)) != 0u) {
            out += (out.empty() ? "" : " or ") + std::string(KivNorvikKinds::at(k).name);
        }
    }
    return out;
}

// Whether `text` is a header of `layout` but for letter case or one
// character; the header, or null.
const char* nearHeader(std::string_view text, const KivNorvikKindLayout& layout)
{
    for (int g = 0; g < layout.groupCount; ++g) {
        const char* header = layout.groups[g].header;
        const std::string_view h = header;
        if (text == h) {
            return header;
        }
        if (text.size() == h.size()) {
            int differences = 0;
            bool caseOnly = true;
            for (size_t i = 0; i < h.size(); ++i) {
                if (text[i] != h[i]) {
                    ++differences;
                    caseOnly = caseOnly && std::toupper(static_cast<unsigned char>(text[i])) ==
                                               std::toupper(static_cast<unsigned char>(h[i]));
                }
            }
            if (differences <= 1 || caseOnly) {
                return header;
            }
            continue;
        }
        const std::string_view longer = text.size() > h.size() ? text : h;
        const std::string_view shorter = text.size() > h.size() ? h : text;
        if (longer.size() != shorter.size() + 1) {
            continue;
        }
        size_t i = 0;
        while (i < shorter.size() && shorter[i] == longer[i]) {
            ++i;
        }
        if (shorter.substr(i) == longer.substr(i + 1)) {
            return header;
        }
    }
    return nullptr;
}

KivNorvikToken tokenOf(const KivNorvikLineCursor::Line& line)
{
    return KivNorvikToken(line.text, line.length);
}

} // namespace

void KivNorvikGroupScan::resetRows(const KivNorvikKind& kind, const KivNorvikGroupLayout& group)
{
    rowIndex_ = builtInIndex(kind, group);
    if (rowIndex_ == nullptr) {
        ownIndex_.build(group);
        rowIndex_ = &ownIndex_;
    }
    rowCount_ = rowIndex_->size();
    if (rowCount_ <= static_cast<size_t>(kRowsInPlace)) {
        seen_ = seenInPlace_;
    } else {
        seenOnHeap_.resize(rowCount_);
        seen_ = seenOnHeap_.data();
    }
    std::fill(seen_, seen_ + rowCount_, static_cast<unsigned char>(0));
}

void KivNorvikGroupScan::scan(const KivNorvikKind& kind, const KivNorvikLineCursor& lines,
                              KivNorvikDiagnosis& diagnosis, Targets& targets, KivNorvikData& record,
                              bool findings)
{
    const KivNorvikKindLayout& layout = *kind.lines;
    layout_ = &layout;
    diagnosis_ = &diagnosis;
    findings_ = findings;
    bool tagSeen = false;
    bool wrongKind = false;
    bool inUnknownGroup = false;
    unsigned char groupSeen[16] = {};
    KIV_ASSERT(layout.groupCount <= 16);
    const KivNorvikKind* headerKind = nullptr; // of an unknown header only another kind has
    const int self = static_cast<int>(kind.type);
    std::fill(headerStart_, headerStart_ + 256, false);
    for (int i = 0; i < layout.groupCount; ++i) {
        headerStart_[static_cast<unsigned char>(layout.groups[i].header[0])] = true;
    }
    Position at;
    Line line;
    while (lines.next(at, line)) {
        if (const KivNorvikGroupLayout* group = findGroup(layout, line)) {
            const int index = static_cast<int>(group - layout.groups);
            unsigned char unused = 0;
            unsigned char& seen = index < 16 ? groupSeen[index] : unused;
            if (findings && (seen != 0u) && !group->numbered) {
                KivNorvikDiagnosis::Entry& entry = diagnosis.add(line.number, Kind::RepeatedGroup);
                entry.keyword = entry.group = tokenOf(line);
                entry.name = group->header;
            }
            seen = 1;
            inUnknownGroup = false;
            KivString header;
            header.assign(line.text, line.length);
            const KivNorvikTarget target = targets.begin(index, header);
            if (findings && target.isNull()) {
                KivNorvikDiagnosis::Entry& entry = diagnosis.add(line.number, Kind::NoRoomForGroup);
                entry.keyword = entry.group = tokenOf(line);
                entry.name = group->header;
            }
            resetRows(kind, *group);
            at = fillGroup(at, lines, *group, target, line);
            targets.end(index);
            continue;
        }
        if (KivNorvikFileSyntax::isTagLine(line.view())) {
            if (kind.everyTagLine || !tagSeen) {
                KivString name;
                if (KivNorvikFileSyntax::projectName(line.view(), kind.tag, kind.namePrefix, name)) {
                    record.projectName = name;
                }
                const unsigned named = findings && !tagSeen ? KivNorvikFileSyntax::tagKinds(line.view()) : 0;
                if (named != 0 && (named & (1u << self)) == 0u) {
                    wrongKind = true;
                    KivNorvikDiagnosis::Entry& entry = diagnosis.add(line.number, Kind::WrongKindTag);
                    entry.keywordText = kind.tag;
                    entry.name = kind.name;
                    entry.text = kindNames(named);
                }
            } else if (findings) {
                diagnosis.add(line.number, Kind::SecondTagLine).keywordText = kind.tag;
            }
            tagSeen = true;
            continue;
        }
        if (!findings) {
            continue;
        }
        const std::string_view text = KivNorvikFileSyntax::trimmed(line.view());
        if (text.empty() || inUnknownGroup) {
            if (line.is(KivNorvikSharedLines::groupEnd)) {
                inUnknownGroup = false;
            }
        } else if (text.data() > line.text || text == KivNorvikSharedLines::groupEnd) {
            diagnosis.add(line.number, Kind::LineOutsideGroup);
        } else {
            // A line where a header belongs: the header of a group the kind
            // does not have, whose lines are passed over up to "FIN".
            inUnknownGroup = true;
            KivNorvikDiagnosis::Entry& entry = diagnosis.add(line.number, Kind::UnknownGroup);
            entry.keyword = tokenOf(line);
            entry.word = KivNorvikToken(text.data(), text.size());
            if (const char* near = nearHeader(text, layout)) {
                entry.text = std::string(" (did you mean ") + near + "?)";
            }
            if (headerKind == nullptr) {
                headerKind = onlyOtherKindWith(line, kind);
            }
        }
    }
    if (!findings) {
        return;
    }
    const int fileLine = lines.bytes().size() == 0 ? 0 : 1;
    if (!tagSeen) {
        diagnosis.add(fileLine, Kind::NoTagLine);
    }
    if (wrongKind || headerKind == nullptr) {
        return;
    }
    bool ownHeader = false;
    for (int g = 0; g < layout.groupCount && g < 16; ++g) {
        ownHeader = ownHeader || ((groupSeen[g] != 0u) && onlyThisKindHas(layout.groups[g], kind));
    }
    if (!ownHeader) {
        KivNorvikDiagnosis::Entry& entry = diagnosis.add(fileLine, Kind::WrongKindHeaders);
        entry.name = kind.name;
        entry.other = headerKind->name;
    }
}

KivNorvikGroupScan::Position KivNorvikGroupScan::fillGroup(Position start, const KivNorvikLineCursor& lines,
                                                           const KivNorvikGroupLayout& group,
                                                           const KivNorvikTarget& target, const Line& header)
{
    const bool record = findings_ && !target.isNull();
    const int minTokens = group.minTokens > 1 ? group.minTokens : 1;
    KivNorvikDiagnosis& diagnosis = *diagnosis_;
    if (record) {
        diagnosis.inGroup(tokenOf(header), &group, layout_);
    }
    int looseEnd = -1; // line number of a "FIN" with blanks around it
    KivNorvikLineTokens& tokens = tokens_;
    Position at = start;
    Position before = start;
    Line line;
    for (; lines.next(at, line); before = at) {
        if (line.is(KivNorvikSharedLines::groupEnd)) {
            return at;
        }
        if (findGroup(*layout_, line) != nullptr) {
            at = before;
            break;
        }
        tokens.split(line.text, line.length);
        const int n = tokens.getLength();
        if (n < minTokens) {
            if (record && n > 0) {
                diagnosis.unmatched(tokens, line.number);
            }
            continue;
        }
        const int index = rowIndex_->find(tokens);
        if (index >= 0) {
            const KivNorvikLineRule& rule = group.rules[index];
            const KivNorvikFillResult result = rule.apply(target, tokens);
            if (record && (result != KivNorvikFillResult::Done || !isClean(rule, index, tokens))) {
                bool seen = static_cast<size_t>(index) < rowCount_ && seen_[index] != 0u;
                diagnosis.matched(rule, tokens, result, line.number, seen);
                if (static_cast<size_t>(index) < rowCount_) {
                    seen_[index] = seen ? 1 : 0;
                }
            }
        } else if (record) {
            if (n == 1 && tokens[0] == KivNorvikSharedLines::groupEnd) {
                looseEnd = looseEnd < 0 ? line.number : looseEnd;
            } else {
                diagnosis.unmatched(tokens, line.number);
            }
        }
    }
    if (record) {
        KivNorvikDiagnosis::Entry& entry = diagnosis.add(header.number, Kind::MissingFin);
        entry.keyword = entry.group = tokenOf(header);
        entry.name = group.header;
        if (looseEnd >= 0) {
            entry.text = std::string(" (did you mean ") + KivNorvikSharedLines::groupEnd + " on line " +
                         std::to_string(looseEnd) + "?)";
        }
    }
    return at;
}
