#pragma once

#include "KivNorvikFinding.h"
#include "KivNorvikKindLayout.h"

#include <KivArray.h>
#include <KivString.h>

#include <cstddef>
#include <string>
#include <vector>

struct KivNorvikKind;

// The reader's findings: what each kind of finding is (its code, severity
// and wording, in one table), the judging of a group's lines against their
// rows, and the texts, which are made only when the findings are asked for:
// what they are made of stays in the file's bytes until then. Internal to
// the library.
class KivNorvikDiagnosis
{
public:
    // The kinds of findings; each has one code, severity and wording in the
    // table of KivNorvikDiagnosis.cpp.
    enum class Kind : unsigned char {
        CannotOpen,
        ReadError,
        ReadFailed,
        OutOfMemory,
        WrongRecordRefused,
        WrongRecordLost,
        ByteOrderMark,
        LoneCr,
        TabInLine,
        Utf8Text,
        RepeatedGroup,
        NoRoomForGroup,
        WrongKindTag,
        SecondTagLine,
        LineOutsideGroup,
        UnknownGroup,
        NoTagLine,
        WrongKindHeaders,
        MissingFin,
        SetsNothing,
        UnknownWord,
        NoRoom,
        NoValue,
        FieldsUnset,
        ExtraValues,
        NotANumber,
        NotAnInteger,
        RepeatedKeyword,
        OtherGroup,
        UnknownKeyword,
        NoValueNothing,
        UnknownWordAfter,
        TokenCount,
    };

    // What a finding's text is made of, besides its kind. Tokens are spans
    // of the file's bytes, which stay until the next read.
    struct Entry
    {
        int line = 0;
        Kind kind = Kind::CannotOpen;
        KivNorvikToken keyword;                       // the line's keyword, or the line itself
        KivNorvikToken word;                          // token 1, or the value's token
        KivNorvikToken group;                         // the header line of the group
        const KivNorvikLineRule* rule = nullptr;      // whose fields are named
        const KivNorvikGroupLayout* layout = nullptr; // the group being read
        const KivNorvikKindLayout* kindLayout = nullptr;
        const char* name = nullptr;  // a header, a kind's name, a reason
        const char* other = nullptr; // another group's header, another kind's name
        std::string text;            // a text of its own: a reason, kinds' names
        // The one field named, else those from firstToken on (none when < 0).
        const KivNorvikValue* value = nullptr;
        int firstToken = -1;
        int count = 0;                     // the extra values, a line's number, a token count
        const char* keywordText = nullptr; // the finding's keyword when no line gives it
    };

    void clear();
    // A new finding, in the order found.
    Entry& add(int line, Kind kind);
    // A finding about a line of a group, with the line's keyword and token 1.
    Entry& add(int line, Kind kind, const KivNorvikLineTokens& tokens, const KivNorvikLineRule* rule,
               int firstToken, const KivNorvikValue* value = nullptr, int count = 0);
    // The group the next findings of lines are in.
    void inGroup(const KivNorvikToken& header, const KivNorvikGroupLayout* layout,
                 const KivNorvikKindLayout* kindLayout)
    {
        group_ = header;
        layout_ = layout;
        kindLayout_ = kindLayout;
    }

    // Judges a line that `rule` read (`result` is what its reading made of
    // it); `seen` is whether the group had a line of the row before, which
    // the line then becomes.
    void matched(const KivNorvikLineRule& rule, const KivNorvikLineTokens& tokens, KivNorvikFillResult result,
                 int number, bool& seen);
    // Judges a line of the group that no row reads.
    void unmatched(const KivNorvikLineTokens& tokens, int number);

    // Whether each number value of `rule` is wholly a number, as the reader
    // converts it.
    static bool numbersWhole(const KivNorvikLineRule& rule, const KivNorvikLineTokens& tokens);

    // The findings with their texts, in line order. Quietly, texts that
    // memory does not allow stay empty and nothing throws.
    const KivArray<KivNorvikFinding>& findings(bool quiet);
    bool empty() const { return entries_.empty() && findings_.getLength() == 0; }

private:
    void write(const Entry& entry, KivNorvikFinding& finding) const;

    std::vector<Entry> entries_;
    KivArray<KivNorvikFinding> findings_;
    KivNorvikToken group_;
    const KivNorvikGroupLayout* layout_ = nullptr;
    const KivNorvikKindLayout* kindLayout_ = nullptr;
    int lastLine_ = 0;
    bool outOfOrder_ = false;
};
