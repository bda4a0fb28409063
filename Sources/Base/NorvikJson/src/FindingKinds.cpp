#include "FindingKinds.h"

#include <algorithm>

namespace norvik {

const std::vector<FindingKind>& findingKinds()
{
    // The codes that the readers give (KivNorvikFileReader, the layout
    // tables), with the severity that loss gives them: an error when a value
    // the file states does not reach the record as stated.
    // clang-format off
    static const std::vector<FindingKind> kinds = {
        {"cannot-open", true, "The file cannot be opened."},
        {"read-error", true, "The file cannot be read to its end."},
        {"out-of-memory", true, "Memory ran out while the file was read."},
        {"wrong-record", true, "The host's record is not of the reader's kind."},
        {"not-text", true, "The bytes are not those of a text exchange file."},
        {"byte-order-mark", false, "The file starts with a UTF-8 byte-order mark."},
        {"lone-cr", true, "A carriage return without a line feed joins two lines into one."},
        {"tab-in-line", true, "A tab does not separate values: it is read as part of one."},
        {"utf8-text", false, "Text that looks like UTF-8 is read as Windows-1252."},
        {"no-tag-line", false, "The file has no tag line naming its kind and project."},
        {"second-tag-line", true, "A second tag line: the project name comes from the first."},
        {"wrong-kind", true, "The file is of another kind than the one it is read as."},
        {"line-outside-group", true, "Lines outside any group are passed over with their values."},
        {"unknown-group", true, "A header that names no group of the kind: its lines are passed over."},
        {"repeated-group", true, "A group given again overwrites the values of the earlier one."},
        {"missing-fin", false, "A group ends without its FIN line."},
        {"too-many-entries", true, "The record has no room for one more line or group of this kind."},
        {"unknown-keyword", true, "A keyword the group does not know: the line is passed over."},
        {"keyword-of-other-group", true, "A keyword of another group: the line is passed over."},
        {"repeated-keyword", true, "A keyword given again in its group: the later line wins."},
        {"missing-values", true, "Fewer values than the line needs: fields are left unset."},
        {"no-value", false, "A keyword without a value: its text is read as empty."},
        {"extra-values", true, "More values than the line takes: the last ones are passed over."},
        {"token-count", true, "A number of values that fits no form of the line."},
        {"not-a-number", true, "A value that is not wholly a number where the line reads one."},
        {"unknown-word", true, "A word that is not one of the line's choices."},
        {"too-many-findings", true, "Findings beyond the read's limit are counted, not listed."},
    };
    // clang-format on
    return kinds;
}

const FindingKind* findingKind(const std::string& code)
{
    const std::vector<FindingKind>& kinds = findingKinds();
    const auto found =
        std::find_if(kinds.begin(), kinds.end(), [&](const FindingKind& k) { return k.code == code; });
    return found == kinds.end() ? nullptr : &*found;
}

} // namespace norvik
