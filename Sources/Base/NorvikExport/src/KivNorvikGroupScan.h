#pragma once

#include "KivNorvikDiagnosis.h"
#include "KivNorvikLineCursor.h"
#include "KivNorvikLineTokens.h"
#include "KivNorvikRowIndex.h"

#include <KivString.h>

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

    // Scans the lines; the project name goes to `record`. Findings are made
    // only when `findings` is set. Throws std::bad_alloc.
    void scan(const KivNorvikKind& kind, const KivNorvikLineCursor& lines, KivNorvikDiagnosis& diagnosis,
              Targets& targets, KivNorvikData& record, bool findings);

private:
    using Line = KivNorvikLineCursor::Line;
    using Position = KivNorvikLineCursor::Position;

    // Reads the lines of a group from `start`; the position after them.
    Position fillGroup(Position start, const KivNorvikLineCursor& lines, const KivNorvikGroupLayout& group,
                       const KivNorvikTarget& target, const Line& header);
    void resetRows(const KivNorvikKind& kind, const KivNorvikGroupLayout& group);
    const KivNorvikGroupLayout* findGroup(const KivNorvikKindLayout& layout, const Line& line) const
    {
        return line.length > 0 && headerStart_[static_cast<unsigned char>(line.text[0])]
                   ? layout.findGroup(line.text, line.length)
                   : nullptr;
    }
    // Whether a line that its row filled gives no finding, judged from what
    // the row's earlier lines worked out; marks the row seen then.
    bool isClean(const KivNorvikLineRule& rule, int index, const KivNorvikLineTokens& tokens)
    {
        const KivNorvikRowIndex::Look look = rowIndex_->look(index, tokens);
        if (look == KivNorvikRowIndex::Look::WrongCount ||
            (look == KivNorvikRowIndex::Look::CheckNumbers &&
             !KivNorvikDiagnosis::numbersWhole(rule, tokens))) {
            return false;
        }
        if (!rowIndex_->repeats(index)) {
            unsigned char& seen = seen_[index];
            if (seen != 0u) {
                return false;
            }
            seen = 1;
        }
        return true;
    }

    const KivNorvikKindLayout* layout_ = nullptr;
    KivNorvikDiagnosis* diagnosis_ = nullptr;
    bool findings_ = false;
    // The index of the rows of the group being read: a built-in kind's is
    // made once for the process, any other group's is made here.
    const KivNorvikRowIndex* rowIndex_ = nullptr;
    KivNorvikRowIndex ownIndex_;
    // Whether the group being read has had a line of each row; in place for
    // the groups the tables have, on the heap for a larger one.
    static constexpr int kRowsInPlace = 48;
    unsigned char seenInPlace_[kRowsInPlace] = {};
    std::vector<unsigned char> seenOnHeap_;
    unsigned char* seen_ = seenInPlace_;
    size_t rowCount_ = 0;
    // Which first bytes the headers of the kind being read start with.
    bool headerStart_[256] = {};
    KivNorvikLineTokens tokens_; // reused from line to line
};
