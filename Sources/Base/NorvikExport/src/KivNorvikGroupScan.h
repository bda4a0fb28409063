#pragma once

#include "KivNorvikDiagnosis.h"
#include "KivNorvikLineCursor.h"
#include "KivNorvikLineTokens.h"
#include "KivNorvikRowIndex.h"

#include <KivString.h>

#include <string>
#include <string_view>
#include <vector>

class KivNorvikData;
struct KivNorvikKind;

// The scan of a file's lines: each line equal to a header of the kind
// starts its group, whose lines run until "FIN" or the next header; each of
// a group's lines is split into tokens and read by the first row of the
// group that reads it (found through the group's row index). Tag lines
// outside the groups give the project name. What the scan passes over goes
// to the diagnosis. Internal to the library.
class KivNorvikGroupScan
{
public:
    // Where a group's rows read into, and what ends it: the kind reader's.
    class Targets
    {
    public:
        virtual ~Targets() = default;
        // The object the rows of group `group` (an index of the kind's
        // groups) fill, given its header line; a null target passes the group
        // over as one the record has no room for.
        virtual KivNorvikTarget begin(int group, const KivString& header) = 0;
        virtual void end(int group) = 0;
    };

    // A line that a row read into a group the record keeps, noted when
    // asked for: the fields it set follow from its row and token count.
    struct Read
    {
        const KivNorvikLineRule* rule;
        const char* path; // the group's record path
        int element;      // the element the row filled; -1 for none
        int line;
        int count; // the line's tokens
    };
    // Whether the next scans note each line a row read.
    void noteReads(bool on) { noteReads_ = on; }
    const std::vector<Read>& reads() const { return reads_; }

    // Scans the lines; the project name goes to `record`. Findings are made
    // only when `findings` is set. Throws std::bad_alloc.
    void scan(const KivNorvikKind& kind, const KivNorvikLineCursor& lines, KivNorvikDiagnosis& diagnosis,
              Targets& targets, KivNorvikData& record, bool findings);

private:
    using Line = KivNorvikLineCursor::Line;
    using Position = KivNorvikLineCursor::Position;

    using Seen = KivNorvikDiagnosis::Seen;
    // Where a group's lines were, for a later group of the same header.
    struct Span
    {
        Position start;   // its first line after the header
        size_t end = 0;   // the offset after its last line
        int header = 0;   // its header's line number
        bool any = false; // whether it was read
    };
    // A run of lines outside any group, reported as one.
    struct Run
    {
        int first = 0;
        int count = 0;
        int votes[16] = {}; // per group: lines whose keyword one of its rows reads
        int indented = 0;   // the line of a header with blanks before it
        const char* header = nullptr;
    };

    // Reads the lines of a group from `start`; the position after them.
    Position fillGroup(Position start, const KivNorvikLineCursor& lines, const KivNorvikGroupLayout& group,
                       const KivNorvikTarget& target, const Line& header);
    // The end of the group whose lines start at `start`: its "FIN" or the next header.
    size_t groupEnd(Position start, const KivNorvikLineCursor& lines) const;
    // Judges a group given again: whether its lines change what the earlier
    // one's gave (the detail to `detail`).
    bool overwrites(const KivNorvikKind& kind, int group, const Span& earlier, Position start,
                    const KivNorvikLineCursor& lines, std::string& detail);
    // The element that a row filled, or -1.
    static int elementOf(const KivNorvikLineRule& rule, const KivNorvikTarget& target,
                         KivNorvikFillResult result);
    // Judges a line of a group that no row reads.
    void judgeUnread(const Line& line);
    // A line outside any group: adds it to the run of such lines.
    void outside(const KivNorvikKind& kind, const Line& line, std::string_view text);
    // Reports the run of lines outside any group, if any.
    void endRun(const KivNorvikKind& kind);
    // The record path of the object a group's rows fill: the written group
    // of the header, the `occurrence`-th of a numbered one.
    static const char* pathOf(const KivNorvikKind& kind, int group, int occurrence);
    void resetRows(const KivNorvikKind& kind, const KivNorvikGroupLayout& group);
    const KivNorvikGroupLayout* findGroup(const KivNorvikKindLayout& layout, const Line& line) const
    {
        return line.length > 0 && headerStart_[static_cast<unsigned char>(line.text[0])]
                   ? layout.findGroup(line.text, line.length)
                   : nullptr;
    }
    // Whether a line that its row filled gives no finding, judged from what
    // the row's earlier lines worked out; marks the row seen then.
    bool isClean(const KivNorvikLineRule& rule, int index, const KivNorvikLineTokens& tokens,
                 const Line& line)
    {
        const KivNorvikRowIndex::Look look = rowIndex_->look(index, tokens);
        if (look == KivNorvikRowIndex::Look::WrongCount ||
            (look == KivNorvikRowIndex::Look::CheckNumbers &&
             !KivNorvikDiagnosis::numbersWhole(rule, tokens))) {
            return false;
        }
        if (!rowIndex_->repeats(index)) {
            Seen& seen = seen_[index];
            if (seen.text != nullptr) {
                return false;
            }
            seen.text = line.text;
            seen.length = static_cast<unsigned>(line.length);
            seen.number = line.number;
        }
        return true;
    }

    const KivNorvikKindLayout* layout_ = nullptr;
    KivNorvikDiagnosis* diagnosis_ = nullptr;
    const char* groupPath_ = nullptr; // the record path of the group being read
    bool findings_ = false;
    // The index of the rows of the group being read: a built-in kind's is
    // made once for the process, any other group's is made here.
    const KivNorvikRowIndex* rowIndex_ = nullptr;
    KivNorvikRowIndex ownIndex_;
    // The line of each row that the group being read has had; in place for
    // the groups the tables have, on the heap for a larger one.
    static constexpr int kRowsInPlace = 48;
    Seen seenInPlace_[kRowsInPlace] = {};
    std::vector<Seen> seenOnHeap_;
    Seen* seen_ = seenInPlace_;
    size_t rowCount_ = 0;
    std::vector<Seen> earlierRows_; // the rows of a group given before, by row
    Run run_;
    KivNorvikLineTokens other_; // a second line's tokens
    bool noteReads_ = false;
    std::vector<Read> reads_;
    // Which first bytes the headers of the kind being read start with.
    bool headerStart_[256] = {};
    KivNorvikLineTokens tokens_; // reused from line to line
};
