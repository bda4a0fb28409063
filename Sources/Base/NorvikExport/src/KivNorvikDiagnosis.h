#pragma once

#include "KivNorvikFinding.h"
#include "KivNorvikKindLayout.h"

#include <KivArray.h>
#include <KivString.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct KivNorvikKind;

// The reader's findings: what each kind of finding is (its code, severity
// and wording, in one table), the judging of a group's lines against their
// rows, the bound on how many are kept, and the texts, which are made only
// when the findings are asked for: what they are made of stays in the file's
// bytes until then. Internal to the library.
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
        EmptyFile,
        NotText,
        ByteOrderMark,
        LoneCr,
        TabInLine,
        Utf8Text,
        RepeatedGroupSame,
        RepeatedGroupDiffers,
        NoRoomForGroup,
        WrongKindTag,
        SecondTagLineSame,
        SecondTagLineDiffers,
        LineOutsideGroup,
        LinesOutsideGroup,
        FinOutsideGroup,
        UnknownGroup,
        HeaderBlanks,
        NoTagLine,
        WrongKindHeaders,
        MissingFin,
        EndBlanks,
        SetsNothing,
        UnknownWord,
        NoRoom,
        NoValue,
        NoNumber,
        FieldsUnset,
        ExtraValues,
        ExtraWords,
        NotANumber,
        NotAnInteger,
        OutOfRange,
        RepeatedKeywordSame,
        RepeatedKeywordDiffers,
        OtherGroup,
        UnknownKeyword,
        NoValueNothing,
        NoNumberNothing,
        UnknownWordAfter,
        TokenCount,
        TooManyErrors,
        TooManyWarnings,
    };
    static constexpr int kKindCount = static_cast<int>(Kind::TooManyWarnings) + 1;

    // What a finding's text is made of, besides its kind. Tokens are spans
    // of the file's bytes, which stay until the next read.
    struct Entry
    {
        int line = 0;
        int column = 0; // 1-based byte of the line; 0 for none
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
        const char* path = nullptr;        // the record path of the group's object; null: none
        int element = -1;                  // the index of the element the line filled
    };

    // The earlier line of a row in the group: the line a repeat overwrites.
    struct Seen
    {
        const char* text = nullptr;
        unsigned length = 0;
        int number = 0;
    };

    // Findings kept in full by default; the others are counted.
    static constexpr int kDefaultMaxFindings = 1000;

    void clear();
    // At most `count` findings of a read are kept in full (0 or less: all);
    // findings about the whole file are always kept.
    void setMaxFindings(int count) { max_ = count; }

    // A new finding, in the order found. A finding beyond the bound is only
    // counted: the entry returned is then a scratch one.
    Entry& add(int line, Kind kind);
    // A finding about a line of a group, with the line's keyword and token 1
    // (the value's token when one is named), at the column of that token.
    Entry& add(int line, Kind kind, const KivNorvikLineTokens& tokens, const KivNorvikLineRule* rule,
               int firstToken, const KivNorvikValue* value = nullptr, int count = 0);
    // The group the next findings of lines are in, and the record path of
    // the object its rows fill (null for none).
    void inGroup(const KivNorvikToken& header, const KivNorvikGroupLayout* layout,
                 const KivNorvikKindLayout* kindLayout, const char* path)
    {
        group_ = header;
        layout_ = layout;
        kindLayout_ = kindLayout;
        path_ = path;
    }
    // The line whose findings come next: columns count from its first byte.
    void atLine(const char* text) { lineText_ = text; }
    // The column of a span of the current line.
    int columnOf(const char* at) const
    {
        return lineText_ != nullptr ? static_cast<int>(at - lineText_) + 1 : 0;
    }

    // Judges a line that `rule` read (`result` is what its reading made of
    // it; `element` the index of the element it filled, or -1); `seen` is the
    // row's earlier line in the group, which the line then becomes.
    void matched(const KivNorvikLineRule& rule, const KivNorvikLineTokens& tokens, KivNorvikFillResult result,
                 int number, int element, Seen& seen);
    // Judges a line of the group that no row reads.
    void unmatched(const KivNorvikLineTokens& tokens, int number);

    // Whether each number value of `rule` is wholly a number in range, as the
    // reader converts it.
    static bool numbersWhole(const KivNorvikLineRule& rule, const KivNorvikLineTokens& tokens);
    // Whether two lines give the same values: the same tokens, numbers
    // compared by value.
    bool sameValues(const KivNorvikLineTokens& tokens, const Seen& earlier);
    static bool sameToken(const KivNorvikToken& a, const KivNorvikToken& b);
    // The record path of a value of `rule` read into the group at `group`
    // (element `element` of the row's array; -1: the array itself).
    static std::string fieldPath(const char* group, const KivNorvikLineRule& rule,
                                 const KivNorvikValue& value, int element);
    // Whether reading a line of `count` tokens with `rule` sets the value's field.
    static bool sets(const KivNorvikLineRule& rule, const KivNorvikValue& value, int count);
    // The blanks around `word` within `line`: "followed by 2 blanks".
    static std::string blanksAround(std::string_view line, std::string_view word);

    // The state of the findings, to drop those made after it.
    struct Mark
    {
        size_t entries = 0;
        std::vector<int> leftOut;
        int firstLeftOut = 0;
    };
    Mark mark() const { return {entries_.size(), leftOut_, firstLeftOut_}; }
    // Drops the findings made since `mark`, but those of kind `keep`.
    void dropSince(const Mark& mark, Kind keep);

    // The number of findings of `severity` (and `code`, unless null), those
    // left out included.
    int count(KivNorvikFinding::Severity severity, const char* code = nullptr) const;

    // The findings with their texts, in line order, ended by one that counts
    // those left out. Quietly, texts that memory does not allow stay empty
    // and nothing throws.
    const KivArray<KivNorvikFinding>& findings(bool quiet);
    bool empty() const { return entries_.empty() && findings_.getLength() == 0 && leftOutTotal_ == 0; }

    // The codes of the table, each once, in table order.
    static const std::vector<KivNorvikFinding::Code>& codes();

private:
    void write(const Entry& entry, KivNorvikFinding& finding) const;
    // The finding that counts those left out, at the end of the list.
    void writeLeftOut(KivNorvikFinding& finding) const;

    std::vector<Entry> entries_;
    KivArray<KivNorvikFinding> findings_;
    KivNorvikToken group_;
    const KivNorvikGroupLayout* layout_ = nullptr;
    const KivNorvikKindLayout* kindLayout_ = nullptr;
    const char* path_ = nullptr;
    const char* lineText_ = nullptr;
    int lastLine_ = 0;
    bool outOfOrder_ = false;
    int max_ = kDefaultMaxFindings;
    int kept_ = 0; // entries kept under the bound
    std::vector<int> leftOut_ = std::vector<int>(kKindCount, 0);
    int leftOutTotal_ = 0;
    int firstLeftOut_ = 0;        // the line of the first finding left out
    bool leftOutWritten_ = false; // the finding that counts them is in findings_
    Entry scratch_;
    KivNorvikLineTokens earlier_; // an earlier line's tokens, to compare
};
