#pragma once

#include "KivNorvikFileFormat.h"
#include "KivNorvikKindLayout.h"
#include "KivNorvikKinds.h"
#include "KivNorvikRecordCheck.h"

#include <KivArray.h>
#include <KivString.h>

#include <deque>
#include <map>
#include <string>
#include <vector>

// The lines of a file handed over one by one (by KivNorvikTableWalk), each
// with its keyword, its values (format and field), the writer's condition and
// what reading it back stores. The walker either lists the lines (the format
// reference) or follows the values through the file and back (the record
// check). Internal to the library.
class KivNorvikLineWalker
{
public:
    enum class Kind { Integer, Real, Text };

    // A field's value.
    struct Datum
    {
        Kind kind = Kind::Integer;
        int integer = 0;
        double real = 0.0;
        std::wstring text;

        static Datum of(int value);
        static Datum of(double value);
        static Datum of(const KivString& value);
        // Equal kind and value; NaN equals nothing.
        bool same(const Datum& other) const;
    };

    // One line as the writer writes it. Field names are relative to the group.
    class Line
    {
    public:
        // `keyword` as written; `shown` names it in the format reference when
        // the written words depend on a code ("BOU TRA|REN").
        explicit Line(const char* keyword, const char* shown = nullptr);

        // The writer's condition: its name, in plain words, and whether it holds.
        Line& when(const char* name, const char* text, bool holds);
        // The reason code when the condition fails; by default "partly-set-line"
        // when some but not all of the values are set, else "not-selected".
        Line& reason(const char* code);

        Line& integer(const std::string& field, int value, const char* format = "%d");
        Line& real(const std::string& field, double value, const char* format = "%3.3f");
        // A real written through an integer format.
        Line& realAsInteger(const std::string& field, double value, int written);
        Line& text(const std::string& field, const KivString& value);
        // A constant word or number among the values; it fills nothing.
        // `shown` stands for it in the format reference.
        Line& word(const char* text, const char* shown = nullptr);
        // A field that the keyword's words carry (no value of its own).
        Line& code(const std::string& field, int value);

        // Where the last value is read back, relative to the group's reading
        // target; "" when the reader passes over it.
        Line& into(const std::string& field);
        // A field that reading the line stores whatever its tokens.
        Line& sets(const std::string& field, const Datum& value);
        // The line as written, its values as their formats ("  ATMOS  %d").
        Line& layout(const std::string& text);
        // The line's values are not read back; what reading it sets stays.
        Line& unread();
        // The line is read only with at least / exactly this many tokens.
        Line& minTokens(int count);
        Line& exactTokens(int count);
        // The line appends one element to `array`; its fields are those of
        // the element at `index` (-1: the element in the format reference).
        Line& element(const std::string& array, int index);

    private:
        friend class KivNorvikLineWalker;
        struct Value
        {
            std::string field; // "" for a constant word
            Datum datum;
            const char* format;
            std::wstring written; // the text the writer puts in the file
            bool token;           // false for a field carried by the keyword
            std::string target;   // where it is read back; "" none
            Kind readAs;
        };
        Line& add(Value value);

        const char* keyword_;
        const char* shown_;
        const char* condition_;
        const char* conditionText_;
        bool holds_;
        const char* reason_;
        std::vector<Value> values_;
        std::vector<std::pair<std::string, Datum>> sets_;
        int minTokens_;
        int exactTokens_;
        std::string array_;
        int index_;
        std::string layout_;
    };

    enum class Mode { Describe, Check };
    // `exactReals`: a real is set when it differs from the undefined real at
    // all (BL2); otherwise within 1e-6 counts as unset. `reportUndefined`:
    // values written while undefined are listed (BL4, BL5).
    KivNorvikLineWalker(Mode mode, bool exactReals, bool reportUndefined);

    bool describing() const { return mode_ == Mode::Describe; }

    // The tag line of `kind` with the project name.
    void tag(const KivNorvikKind& kind, const KivString& projectName);

    // Starts a group at `path` of the record. A group that is not written
    // leaves its values out with `reason`.
    void group(const char* header, const std::string& path, const char* condition, const char* conditionText,
               bool written, const char* reason);
    // The member that the reader fills from the group ("" when it reads
    // nothing of it); `replaces`: the member starts fresh with the group.
    void readInto(const std::string& member, bool replaces);
    // A field of the reading target that the end of the group stores;
    // `anywhere`: the field's path is the record's, not the target's.
    void groupSets(const std::string& field, const Datum& value, bool anywhere = false);

    void line(const Line& line);

    // A code field outside its table.
    void outsideTable(const std::string& field, const std::string& message);
    // Why a field of the group may come back changed, when no line says it.
    void explain(const std::string& field, const char* code, const std::string& message);

    // The format reference rows.
    const std::vector<KivNorvikLineFormat>& rows() const { return rows_; }

    // The values that do not come back as `original` holds them, given the
    // fields of the record and of a fresh record of its kind.
    void findings(const std::vector<std::pair<std::string, Datum>>& original,
                  const std::vector<std::pair<std::string, Datum>>& fresh,
                  KivArray<KivNorvikRecordIssue>& issues) const;

private:
    struct Note
    {
        int rank;
        std::string code;
        std::string message;
    };
    void note(const std::string& path, int rank, const char* code, const std::string& message);
    std::string full(const std::string& field) const;
    std::string target(const std::string& field) const;
    bool isSet(const Datum& datum) const;
    void describe(const Line& line);
    void leaveOut(const Line& line, const std::string& prefix);

    Mode mode_;
    bool exactReals_;
    bool reportUndefined_;

    const char* header_ = "";
    std::string path_;
    std::string member_;
    bool written_ = true;
    bool readable_ = true;
    const char* groupReason_ = "";
    std::string groupText_;

    std::vector<KivNorvikLineFormat> rows_;
    std::map<std::string, Datum> read_;
    std::map<std::string, int> appended_;
    std::map<std::string, Note> notes_;
    std::vector<std::pair<std::string, Note>> undefined_;
};
