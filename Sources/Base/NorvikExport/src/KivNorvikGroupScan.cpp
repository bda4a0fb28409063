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

// The header of `layout` that `text` probably mistypes, or null.
const char* nearHeader(std::string_view text, const KivNorvikKindLayout& layout)
{
    for (int g = 0; g < layout.groupCount; ++g) {
        if (KivNorvikFileSyntax::nearly(text, layout.groups[g].header)) {
            return layout.groups[g].header;
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
    std::fill(seen_, seen_ + rowCount_, Seen());
}

const char* KivNorvikGroupScan::pathOf(const KivNorvikKind& kind, int group, int occurrence)
{
    const KivNorvikKindLayout& layout = *kind.lines;
    const char* path = nullptr;
    int n = 0;
    for (int w = 0; w < layout.writtenCount && n <= occurrence; ++w) {
        if (layout.written[w].group == group) {
            path = layout.written[w].path;
            ++n;
        }
    }
    return path;
}

void KivNorvikGroupScan::outside(const KivNorvikKind& kind, const Line& line, std::string_view text)
{
    if (run_.count == 0) {
        run_ = Run();
        run_.first = line.number;
    }
    // The lines that guess the group they lost: a few are enough.
    if (++run_.count > 64) {
        return;
    }
    const KivNorvikKindLayout& layout = *kind.lines;
    if (run_.indented == 0) {
        if (const KivNorvikGroupLayout* group = layout.findGroup(text.data(), text.size())) {
            run_.indented = line.number;
            run_.header = group->header;
        }
    }
    tokens_.split(line.text, line.length);
    for (int g = 0; g < layout.groupCount && g < 16; ++g) {
        run_.votes[g] += layout.groups[g].find(tokens_) != nullptr ? 1 : 0;
    }
}

void KivNorvikGroupScan::endRun(const KivNorvikKind& kind)
{
    if (run_.count == 0) {
        return;
    }
    const KivNorvikKindLayout& layout = *kind.lines;
    std::string hint;
    if (run_.indented != 0) {
        hint = std::string(": \"") + run_.header + "\" on line " + std::to_string(run_.indented) +
               " has blanks before it, so it is no header; remove them";
    } else {
        int best = -1;
        for (int g = 0; g < layout.groupCount && g < 16; ++g) {
            best = run_.votes[g] > 0 && (best < 0 || run_.votes[g] > run_.votes[best]) ? g : best;
        }
        if (best >= 0) {
            hint = std::string(": is the \"") + layout.groups[best].header +
                   (layout.groups[best].numbered ? "<number>" : "") + "\" header missing?";
        }
    }
    KivNorvikDiagnosis::Entry& entry =
        diagnosis_->add(run_.first, run_.count == 1 ? Kind::LineOutsideGroup : Kind::LinesOutsideGroup);
    entry.count = run_.count;
    entry.text = std::move(hint);
    run_.count = 0;
}

bool KivNorvikGroupScan::overwrites(const KivNorvikKind& kind, int group, const Span& earlier, Position start,
                                    const KivNorvikLineCursor& lines, std::string& detail)
{
    bool replaces = false;
    for (int w = 0; w < kind.lines->writtenCount; ++w) {
        replaces = replaces || (kind.lines->written[w].group == group && kind.lines->written[w].replaces);
    }
    // The earlier group's line of each row.
    earlierRows_.assign(rowCount_, Seen());
    bool any = false;
    Position at = earlier.start;
    Line line;
    while (lines.next(at, line) && !line.is(KivNorvikSharedLines::groupEnd) &&
           findGroup(*layout_, line) == nullptr) {
        tokens_.split(line.text, line.length);
        if (tokens_.getLength() == 0) {
            continue;
        }
        any = true;
        const int index = rowIndex_->find(tokens_);
        if (index >= 0 && !rowIndex_->repeats(index)) {
            earlierRows_[static_cast<size_t>(index)] = {line.text, static_cast<unsigned>(line.length),
                                                        line.number};
        }
    }
    if (!any) {
        return false;
    }
    if (replaces) {
        // The object starts afresh: the earlier lines are lost unless given again alike.
        Position a = earlier.start;
        Position b = start;
        Line other;
        for (;;) {
            bool moreA = lines.next(a, line);
            moreA = moreA && !line.is(KivNorvikSharedLines::groupEnd) && findGroup(*layout_, line) == nullptr;
            bool moreB = lines.next(b, other);
            moreB =
                moreB && !other.is(KivNorvikSharedLines::groupEnd) && findGroup(*layout_, other) == nullptr;
            if (!moreA && !moreB) {
                return false;
            }
            if (moreA != moreB) {
                break;
            }
            tokens_.split(line.text, line.length);
            other_.split(other.text, other.length);
            bool same = tokens_.getLength() == other_.getLength();
            for (int i = 0; same && i < tokens_.getLength(); ++i) {
                same = KivNorvikDiagnosis::sameToken(tokens_[i], other_[i]);
            }
            if (!same) {
                break;
            }
        }
        detail = "the group of line " + std::to_string(earlier.header) + " is replaced";
        return true;
    }
    at = start;
    while (lines.next(at, line) && !line.is(KivNorvikSharedLines::groupEnd) &&
           findGroup(*layout_, line) == nullptr) {
        tokens_.split(line.text, line.length);
        if (tokens_.getLength() == 0) {
            continue;
        }
        const int index = rowIndex_->find(tokens_);
        if (index < 0 || rowIndex_->repeats(index)) {
            continue;
        }
        const Seen& before = earlierRows_[static_cast<size_t>(index)];
        if (before.text != nullptr && !diagnosis_->sameValues(tokens_, before)) {
            detail = "\"" + std::string(tokens_[0].data(), tokens_[0].size()) + "\" of line " +
                     std::to_string(before.number) + " is overwritten";
            return true;
        }
    }
    return false;
}

void KivNorvikGroupScan::scan(const KivNorvikKind& kind, const KivNorvikLineCursor& lines,
                              KivNorvikDiagnosis& diagnosis, Targets& targets, KivNorvikData& record,
                              bool findings)
{
    const KivNorvikKindLayout& layout = *kind.lines;
    layout_ = &layout;
    diagnosis_ = &diagnosis;
    findings_ = findings;
    run_ = Run();
    reads_.clear();
    const KivNorvikDiagnosis::Mark mark = findings ? diagnosis.mark() : KivNorvikDiagnosis::Mark();
    Line firstTag;
    bool tagSeen = false;
    bool wrongKind = false;
    bool inUnknownGroup = false;
    int occurrences[16] = {};
    Span spans[16];
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
            const bool counted = index < 16;
            const int occurrence = counted ? occurrences[index]++ : 0;
            if (findings) {
                endRun(kind);
            }
            resetRows(kind, *group);
            KivString header;
            header.assign(line.text, line.length);
            const KivNorvikTarget target = targets.begin(index, header);
            if (findings && counted && spans[index].any && !group->numbered) {
                std::string detail;
                const bool lost = overwrites(kind, index, spans[index], at, lines, detail);
                KivNorvikDiagnosis::Entry& entry =
                    diagnosis.add(line.number, lost ? Kind::RepeatedGroupDiffers : Kind::RepeatedGroupSame);
                entry.keyword = entry.group = tokenOf(line);
                entry.name = group->header;
                entry.text = std::move(detail);
            }
            if (findings && target.isNull()) {
                KivNorvikDiagnosis::Entry& entry = diagnosis.add(line.number, Kind::NoRoomForGroup);
                entry.keyword = entry.group = tokenOf(line);
                entry.name = group->header;
            }
            if (counted) {
                spans[index].start = at;
                spans[index].header = line.number;
                spans[index].any = true;
            }
            groupPath_ = pathOf(kind, index, occurrence);
            at = fillGroup(at, lines, *group, target, line);
            targets.end(index);
            continue;
        }
        if (KivNorvikFileSyntax::isTagLine(line.view())) {
            if (findings) {
                endRun(kind);
            }
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
            }
            if (findings && tagSeen) {
                const bool same = KivNorvikFileSyntax::trimmed(line.view()) ==
                                  KivNorvikFileSyntax::trimmed(firstTag.view());
                KivNorvikDiagnosis::Entry& entry =
                    diagnosis.add(line.number, same ? Kind::SecondTagLineSame : Kind::SecondTagLineDiffers);
                entry.keywordText = kind.tag;
                entry.text = kind.everyTagLine ? "the project name is this line's"
                                               : "it is passed over, the project name is that of line " +
                                                     std::to_string(firstTag.number);
            }
            if (!tagSeen) {
                firstTag = line;
            }
            tagSeen = true;
            continue;
        }
        if (!findings) {
            continue;
        }
        const std::string_view text = KivNorvikFileSyntax::trimmed(line.view());
        if (text.empty()) {
            continue;
        }
        if (inUnknownGroup) {
            inUnknownGroup = text != KivNorvikSharedLines::groupEnd;
        } else if (text.data() > line.text) {
            outside(kind, line, text); // a record line
        } else if (text == KivNorvikSharedLines::groupEnd) {
            if (run_.count != 0) {
                endRun(kind); // the end of the group whose header is missing
            } else {
                diagnosis.add(line.number, Kind::FinOutsideGroup).keyword = tokenOf(line);
            }
        } else {
            // A line where a header belongs: the header of a group the kind
            // does not have, or one with blanks after it; its lines are
            // passed over up to "FIN".
            endRun(kind);
            inUnknownGroup = true;
            if (const KivNorvikGroupLayout* group = layout.findGroup(text.data(), text.size())) {
                KivNorvikDiagnosis::Entry& entry = diagnosis.add(line.number, Kind::HeaderBlanks);
                entry.keyword = tokenOf(line);
                entry.word = KivNorvikToken(text.data(), text.size());
                entry.name = group->header;
                entry.text = KivNorvikDiagnosis::blanksAround(line.view(), text);
                entry.column = static_cast<int>(text.size()) + 1;
                continue;
            }
            KivNorvikDiagnosis::Entry& entry = diagnosis.add(line.number, Kind::UnknownGroup);
            entry.keyword = tokenOf(line);
            entry.word = KivNorvikToken(text.data(), text.size());
            entry.column = 1;
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
    endRun(kind);
    if (!tagSeen) {
        diagnosis.add(1, Kind::NoTagLine);
    }
    if (!wrongKind && headerKind != nullptr) {
        bool ownHeader = false;
        for (int g = 0; g < layout.groupCount && g < 16; ++g) {
            ownHeader = ownHeader || (occurrences[g] != 0 && onlyThisKindHas(layout.groups[g], kind));
        }
        if (!ownHeader) {
            wrongKind = true;
            KivNorvikDiagnosis::Entry& entry = diagnosis.add(1, Kind::WrongKindHeaders);
            entry.name = kind.name;
            entry.other = headerKind->name;
            diagnosis.dropSince(mark, Kind::WrongKindHeaders);
        }
    } else if (wrongKind) {
        // What follows from reading the file as this kind says nothing more.
        diagnosis.dropSince(mark, Kind::WrongKindTag);
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
        diagnosis.inGroup(tokenOf(header), &group, layout_, groupPath_);
    }
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
                diagnosis.atLine(line.text);
                judgeUnread(line);
            }
            continue;
        }
        const int index = rowIndex_->find(tokens);
        if (index >= 0) {
            const KivNorvikLineRule& rule = group.rules[index];
            const KivNorvikFillResult result = rule.apply(target, tokens);
            if (noteReads_ && groupPath_ != nullptr && !target.isNull()) {
                reads_.push_back({&rule, groupPath_, elementOf(rule, target, result), line.number, n});
            }
            if (record && (result != KivNorvikFillResult::Done || !isClean(rule, index, tokens, line))) {
                const int element = elementOf(rule, target, result);
                Seen none;
                diagnosis.atLine(line.text);
                diagnosis.matched(rule, tokens, result, line.number, element,
                                  static_cast<size_t>(index) < rowCount_ ? seen_[index] : none);
            }
        } else if (record) {
            diagnosis.atLine(line.text);
            if (n == 1 && tokens[0] == KivNorvikSharedLines::groupEnd) {
                // A "FIN" with blanks around it, which does not end the group.
                KivNorvikDiagnosis::Entry& entry = diagnosis.add(line.number, Kind::EndBlanks);
                entry.keyword = tokens[0];
                entry.group = tokenOf(header);
                entry.text =
                    KivNorvikDiagnosis::blanksAround(line.view(), {tokens[0].data(), tokens[0].size()});
                entry.column = tokens[0].data() > line.text ? 1 : static_cast<int>(tokens[0].size()) + 1;
            } else {
                judgeUnread(line);
            }
        }
    }
    if (record) {
        KivNorvikDiagnosis::Entry& entry = diagnosis.add(header.number, Kind::MissingFin);
        entry.keyword = entry.group = tokenOf(header);
        entry.name = group.header;
    }
    return at;
}

int KivNorvikGroupScan::elementOf(const KivNorvikLineRule& rule, const KivNorvikTarget& target,
                                  KivNorvikFillResult result)
{
    if (result == KivNorvikFillResult::NoRoom) {
        return -1;
    }
    if (rule.turn != nullptr) {
        const void* object = target.as(rule.type);
        return object != nullptr ? rule.turn(object) - 1 : -1;
    }
    if (rule.elements.count == nullptr) {
        return -1;
    }
    const void* owner = target.as(rule.elements.owner);
    return owner != nullptr ? rule.elements.count(owner) - 1 : -1;
}

void KivNorvikGroupScan::judgeUnread(const Line& line)
{
    const KivNorvikLineTokens& tokens = tokens_;
    if (tokens.getLength() == 1) {
        // A header with blanks around it, which the reader does not take for one.
        const KivNorvikToken& word = tokens[0];
        if (const KivNorvikGroupLayout* group = layout_->findGroup(word.data(), word.size())) {
            KivNorvikDiagnosis::Entry& entry = diagnosis_->add(line.number, Kind::HeaderBlanks);
            entry.keyword = KivNorvikToken(line.text, line.length);
            entry.word = word;
            entry.name = group->header;
            entry.text =
                KivNorvikDiagnosis::blanksAround(line.view(), std::string_view(word.data(), word.size()));
            entry.column = word.data() > line.text ? 1 : static_cast<int>(word.size()) + 1;
            return;
        }
    }
    diagnosis_->unmatched(tokens, line.number);
}
