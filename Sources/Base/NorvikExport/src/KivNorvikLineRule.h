#pragma once

#include "KivNorvikData.h"
#include "KivNorvikLineTokens.h"
#include "KivNorvikTarget.h"

#include <KivAssert.h>
#include <KivString.h>

#include <climits>
#include <cstddef>
#include <initializer_list>
#include <type_traits>
#include <utility>

// One line of a group as data: the words that start it, its values (the
// token each is read from, the field it fills and is written from, its
// written format), when the writer writes it, how it is laid out, and what
// reading it stores. A kind's line table is a list of these per group, in
// writer order; the writer, the reader, the record check, the format
// reference and the fuzz dictionary all walk the same rows. Internal to the
// library.

enum class KivNorvikValueKind : unsigned char {
    Integer,     // token converted with toInteger, written "%d"
    Real,        // token converted with toDouble, written "%3.3f"
    Text,        // the token itself, written as it stands
    ListInteger, // an integer followed by the comma of a list ("57,"), written "%d,"
    Code,        // a word of the value's word table, read as its index
    Fixed,       // no token: the keyword's words carry the code, which reading sets
    Sets,        // no token: reading sets the field to a constant
    Word,        // a constant word, written and not read
    Version,     // the writer's version "major.minor", written and not read
};

// What a row's reading made of a line, for the diagnostics.
enum class KivNorvikFillResult {
    Done,
    MissingValues, // too few tokens for the effect: nothing was set
    UnknownWord,   // a word selects no code
    NoRoom,        // the record holds no more lines of this keyword
};

// A written format, parsed from its text when the table is built:
// "%d", "%3d", "%3.3f", "%1.1f", "%s", and "%d," (a list's integer).
struct KivNorvikFormat
{
    const char* text = "%s";
    char conversion = 's';
    int width = 0;
    int precision = -1;
    bool comma = false;

    KivNorvikFormat() = default;
    // NOLINTNEXTLINE(google-explicit-constructor): tables write formats as texts
    KivNorvikFormat(const char* format);
};

// A value as a row's writing reads it from the record.
struct KivNorvikLoaded
{
    int integer = 0;
    double real = 0.0;
    const KivString* text = nullptr;
};

// The functions of rows and values, on objects of the row's type (checked
// once per row by `type`).
using KivNorvikStoreFn = void (*)(void* object, const KivNorvikToken& token);
using KivNorvikSetFn = void (*)(void* object, int code);
using KivNorvikLoadFn = KivNorvikLoaded (*)(const void* object);
using KivNorvikCodeFn = int (*)(const void* object);
using KivNorvikWhenFn = bool (*)(const void* object);
using KivNorvikFillFn = KivNorvikFillResult (*)(void* object, const KivNorvikLineTokens& tokens);
using KivNorvikTransformFn = int (*)(double value);

// Words by code: a value written as a word, a keyword or a word chosen by a code.
struct KivNorvikWords
{
    const char* const* words = nullptr;
    int count = 0;
    // The index written for a code outside the table; -1: the line holds no
    // word (a value) or is not written (a choice).
    int writtenOther = -1;
    // The code read for a word outside the table; -1: none, the word is an
    // unknown word.
    int readOther = -1;

    const char* wordOf(int code) const;
    // The code of a token; -1 for none.
    int codeOf(const KivNorvikToken& token) const;
};

// One value of a line. `token` is the token it is read from and written as
// (the keyword is token 0); `field` its dotted path in the row's object.
struct KivNorvikValue
{
    int token = 0;
    KivNorvikValueKind kind = KivNorvikValueKind::Integer;
    const char* field = nullptr;
    KivNorvikStoreFn store = nullptr; // Integer, Real, Text, ListInteger: the token into the field
    KivNorvikSetFn set = nullptr;     // Code, Fixed, Sets: the code into the field
    KivNorvikLoadFn load = nullptr;   // writing: the field's value; null: not written
    KivNorvikFormat format;
    int constant = 0;                         // Fixed and Sets: the code reading sets
    const KivNorvikWords* words = nullptr;    // Code: its words; Word: words[0] is the word
    KivNorvikTransformFn transform = nullptr; // a real written through "%d": its integer
    // Integer: the only codes the reader takes ("SECTION  DIM" shapes); null: any.
    const int* allowed = nullptr;
    int allowedCount = 0;
    const char* refused = nullptr; // why the reader stops at another value
    // Blanks written before the value: 1, 2 for a wide gap, 0 for a value
    // not written (worked out when the table is built).
    unsigned char gap = 0;
    // The field's place in the object, in bytes, for the writer's direct
    // reads of an int, a double or a KivString; -1 for none.
    std::ptrdiff_t offset = -1;

    bool reads() const { return store != nullptr || set != nullptr; }
    bool isNumber() const
    {
        return kind == KivNorvikValueKind::Integer || kind == KivNorvikValueKind::Real ||
               kind == KivNorvikValueKind::ListInteger;
    }
};

// When the writer writes a line (or a group): a named test of the row's
// object, with its text in plain words.
struct KivNorvikCondition
{
    const char* name = "always";
    const char* text = "always written";
    KivNorvikWhenFn holds = nullptr; // null: always
};

// A word of the written line chosen by a code of the row's object: the
// written word is `words.wordOf(code)`; `own` is the code whose word the row
// itself reads (its keyword or pattern word at `position`). So the rows of
// one member each read their own word, while each writes the word of its own
// member's code ("BOU TRA" read into bouTra, written from bouRen with a type of 0).
struct KivNorvikChoice
{
    int position = -1; // the token: 0 the keyword, 1 the first pattern word; -1 none
    const KivNorvikWords* words = nullptr;
    KivNorvikCodeFn code = nullptr;
    const char* field = nullptr; // the code's path in the object
    int own = 0;
    // Why a code outside the table does not come back as it stands.
    const char* outside = nullptr;
};

// Row flags.
enum : unsigned {
    kNorvikRowRepeats = 1,     // each line adds or fills its own entry: repeats are expected
    kNorvikRowAnyTokens = 2,   // the line may carry more tokens than the values name
    kNorvikRowReadOnly = 4,    // the writer never writes the line; a file may hold it
    kNorvikRowWrittenOnly = 8, // the row is not read: other rows of its group read its line
};

// The array a row writes one line per element of, and appends to when reading.
struct KivNorvikElements
{
    const char* field = nullptr;                  // the array's path in the group's object
    const KivNorvikTarget::Type* owner = nullptr; // the group's type
    int (*count)(const void* object) = nullptr;
    KivNorvikTarget (*at)(const void* object, int index) = nullptr;
    // A default element appended; a null target when the array is full.
    KivNorvikTarget (*append)(void* object) = nullptr;
    // A default element, for the format reference.
    const void* (*fresh)() = nullptr;
    // The first element, the others following it `stride` bytes apart; null
    // for an empty array.
    const void* (*first)(const void* object) = nullptr;
    std::size_t stride = 0;
};

// A note for the record check about a field of the row, when the row is written.
struct KivNorvikNote
{
    const char* field = nullptr;
    const char* code = nullptr;
    const char* message = nullptr;
};

// A field of the row's object whose value the writer cannot say, when a
// test of the object holds (a code outside its table); the record check
// reports it with `message`.
struct KivNorvikOutside
{
    const char* field = nullptr;
    KivNorvikWhenFn holds = nullptr;
    const char* message = nullptr;
};

// A default object of a type, made once: elements appended while reading
// start as a copy of it.
template <class T>
const T& kivNorvikDefault()
{
    static const T value;
    return value;
}

// One row of a group's table.
struct KivNorvikLineRule
{
    static constexpr int kMaxValues = 8;

    const char* keyword = nullptr; // token 0, compared exactly
    // The words after the keyword, as written; each is compared with its
    // token, except a word in parentheses ("(AME)"), which is written and not
    // compared, and "*", which takes any token and is not written.
    const char* pattern = "";
    int minTokens = 0;   // the line is passed over with fewer tokens (0: 1 + the pattern's words)
    int exactTokens = 0; // when nonzero, the line must have exactly this many tokens
    KivNorvikValue values[kMaxValues]; // in token order; read when present
    int valueCount = 0;
    // Reading that does more than store the values: appending to an array of
    // its own making, codes from words. Empty for most rows.
    KivNorvikFillFn fill = nullptr;
    unsigned flags = 0;
    const KivNorvikTarget::Type* type = nullptr; // the type of the object the row fills

    // Writing.
    KivNorvikCondition when;
    const char* reason = nullptr; // the record check's reason when the line is left out
    int indent = 2;
    unsigned wideGaps = 0; // bit t: two blanks before token t
    KivNorvikChoice choice;
    KivNorvikElements elements; // one line per element (`type` is then the element's)
    // Members that the row's lines fill in turn (the first line the first),
    // named in the values' fields by the first; `turn` gives how many lines
    // the object has had. Null for none.
    const char* const* turns = nullptr;
    int turnCount = 0;
    KivNorvikCodeFn turn = nullptr;
    KivNorvikNote note;
    KivNorvikOutside range;
    // A test of the codes that select the line among its kind (BL2 "RAIDL"
    // needs a base type other than 0): when it fails, the record check says
    // the line is not selected rather than `reason`.
    KivNorvikWhenFn selected = nullptr;

    // Worked out when the table is built, for the checks of each line: the
    // tokens the values read (valueTokens()) and one bit for each value read
    // as a number; for reading, the values that store their token as it is,
    // apart from those that need more.
    int readTokens = 0;
    unsigned numberValues = 0;
    struct Plain
    {
        int token;
        KivNorvikStoreFn store;
    };
    Plain plain[kMaxValues] = {};
    int plainCount = 0;
    bool otherValues = false;
    // For writing: the line's start as written (indent, keyword, pattern
    // words) when no word of it is chosen; empty when longer than it holds.
    static constexpr int kPrefixBytes = 48;
    char prefix[kPrefixBytes] = {};
    int prefixLength = 0;
    int textValues = 0; // written texts
    // The room a line takes but for its chosen words and texts longer than kShortText.
    static constexpr std::size_t kShortText = 64;
    std::size_t writeBound = 0;
    // The values written, in order, as the writer takes them.
    struct Written
    {
        KivNorvikValueKind kind;
        unsigned char gap; // blanks before the value
        unsigned char width;
        signed char precision;
        bool comma;
        int index;             // in values (a row is copied when the table is built: no pointer into it)
        std::ptrdiff_t offset; // the field's place in the object
    };
    Written writtenValues[kMaxValues] = {};
    int writtenCount = 0;
    void makePrefix();

    // The builder the tables use: KivNorvikLineRule::row<Target>("ACIER").holding(...).
    template <class T>
    static KivNorvikLineRule row(const char* keyword)
    {
        KivNorvikLineRule rule;
        rule.keyword = keyword;
        rule.type = KivNorvikTarget::typeOf<T>();
        rule.makePrefix();
        return rule;
    }
    KivNorvikLineRule& words(const char* pattern);
    KivNorvikLineRule& holding(std::initializer_list<KivNorvikValue> list);
    KivNorvikLineRule& written(const KivNorvikCondition& condition);
    KivNorvikLineRule& leftOutAs(const char* reasonCode);
    KivNorvikLineRule& tokens(int minimum);
    KivNorvikLineRule& exactly(int count);
    KivNorvikLineRule& reading(KivNorvikFillFn function);
    KivNorvikLineRule& with(unsigned rowFlags);
    KivNorvikLineRule& indented(int blanks);
    KivNorvikLineRule& wideBefore(int token);
    KivNorvikLineRule& chosen(const KivNorvikChoice& wordChoice);
    KivNorvikLineRule& each(const KivNorvikElements& array);
    KivNorvikLineRule& inTurn(const char* const* members, int count, KivNorvikCodeFn lines);
    KivNorvikLineRule& noting(const char* field, const char* code, const char* message);
    KivNorvikLineRule& outside(const KivNorvikOutside& codeOutside);
    KivNorvikLineRule& selectedBy(KivNorvikWhenFn test);

    bool reads() const { return (flags & kNorvikRowWrittenOnly) == 0u; }
    bool writes() const { return (flags & kNorvikRowReadOnly) == 0u; }

    // Whether the line's tokens select this row.
    bool matches(const KivNorvikLineTokens& tokens) const;
    // Whether the keyword and the compared pattern words match, whatever the token count.
    bool matchesWords(const KivNorvikLineTokens& tokens) const;
    // Applies the row to the object of `target`: each read value whose token
    // is present, then `fill`.
    KivNorvikFillResult apply(const KivNorvikTarget& target, const KivNorvikLineTokens& tokens) const;
    int requiredTokens() const;
    int patternWordCount() const;
    // 1 + the highest token index that a value reads (the pattern's words at least).
    int valueTokens() const;
    // Bit v set when values[v] is an integer or a real read from the line.
    unsigned numberValueMask() const;
};

// The tables' helpers. Each group's table defines `using Target = ...;`
// before its rows: the functions below are functions of a Target, so a row
// that names a field its group does not have does not compile.
// clang-format off
// NOLINTBEGIN(bugprone-macro-parentheses): the paths ("a.b", "xy[0]") follow "t." and are quoted with #.
#define NORVIK_ROW(keyword) KivNorvikLineRule::row<Target>(keyword)
// The place of the field at `path` in an object of Type, from a default object.
#define NORVIK_OFFSET(Type, path)                                                               \
    (reinterpret_cast<const char*>(&kivNorvikDefault<Type>().path) -                           \
     reinterpret_cast<const char*>(&kivNorvikDefault<Type>()))
#define NORVIK_ROW_OF(Type, keyword) KivNorvikLineRule::row<Type>(keyword)

#define NORVIK_VALUE_IN(Type, k, valueKind, path, storeExpression, loadMember, formatText)      \
    [] { KivNorvikValue v; v.token = k; v.kind = KivNorvikValueKind::valueKind; v.field = #path;   \
         v.store = [](void* o, const KivNorvikToken& s) { static_cast<Type*>(o)->path = storeExpression; }; \
         v.load = [](const void* o) { KivNorvikLoaded l; l.loadMember = static_cast<const Type*>(o)->path; return l; }; \
         v.offset = NORVIK_OFFSET(Type, path); v.format = formatText; return v; }()
#define NORVIK_INTEGER_IN(Type, k, path) NORVIK_VALUE_IN(Type, k, Integer, path, s.readInteger(), integer, "%d")
#define NORVIK_INTEGER_AS_IN(Type, k, path, fmt) NORVIK_VALUE_IN(Type, k, Integer, path, s.readInteger(), integer, fmt)
#define NORVIK_LIST_INTEGER_IN(Type, k, path) NORVIK_VALUE_IN(Type, k, ListInteger, path, s.readInteger(), integer, "%d,")
#define NORVIK_REAL_IN(Type, k, path) NORVIK_VALUE_IN(Type, k, Real, path, s.readReal(), real, "%3.3f")
#define NORVIK_REAL_AS_IN(Type, k, path, fmt) NORVIK_VALUE_IN(Type, k, Real, path, s.readReal(), real, fmt)
#define NORVIK_TEXT_IN(Type, k, path)                                                           \
    [] { KivNorvikValue v; v.token = k; v.kind = KivNorvikValueKind::Text; v.field = #path;        \
         v.store = [](void* o, const KivNorvikToken& s) { static_cast<Type*>(o)->path.assign(s.data(), s.size()); }; \
         v.load = [](const void* o) { KivNorvikLoaded l; l.text = &static_cast<const Type*>(o)->path; return l; }; \
         v.offset = NORVIK_OFFSET(Type, path); return v; }()

#define NORVIK_INTEGER(k, path) NORVIK_INTEGER_IN(Target, k, path)
#define NORVIK_INTEGER_AS(k, path, fmt) NORVIK_INTEGER_AS_IN(Target, k, path, fmt)
#define NORVIK_LIST_INTEGER(k, path) NORVIK_LIST_INTEGER_IN(Target, k, path)
#define NORVIK_REAL(k, path) NORVIK_REAL_IN(Target, k, path)
#define NORVIK_REAL_AS(k, path, fmt) NORVIK_REAL_AS_IN(Target, k, path, fmt)
#define NORVIK_TEXT(k, path) NORVIK_TEXT_IN(Target, k, path)

// A real written through "%d" after `function` (a named transform); read back as a real.
#define NORVIK_REAL_WRITTEN_AS_INTEGER(k, path, function)                                     \
    [] { KivNorvikValue v = NORVIK_REAL_AS(k, path, "%d"); v.transform = function; return v; }()
// An integer read only when it is one of `list` (an array of int); `text`
// says what the reader does with another.
#define NORVIK_INTEGER_ONE_OF(k, path, list, text)                                             \
    [] { KivNorvikValue v = NORVIK_INTEGER(k, path); v.allowed = list;                          \
         v.allowedCount = static_cast<int>(sizeof(list) / sizeof((list)[0])); v.refused = text; return v; }()
// A value written and read as a word of `table` (a KivNorvikWords).
#define NORVIK_CODE_WORD(k, path, table)                                                       \
    [] { KivNorvikValue v; v.token = k; v.kind = KivNorvikValueKind::Code; v.field = #path;       \
         v.set = [](void* o, int c) { static_cast<Target*>(o)->path = c; };                         \
         v.load = [](const void* o) { KivNorvikLoaded l; l.integer = static_cast<const Target*>(o)->path; return l; }; \
         v.offset = NORVIK_OFFSET(Target, path); v.words = &(table); return v; }()
// A code that the keyword's words carry: the line stands for it, reading sets it.
#define NORVIK_FIXED(path, value)                                                              \
    [] { KivNorvikValue v; v.kind = KivNorvikValueKind::Fixed; v.field = #path; v.constant = value; \
         v.set = [](void* o, int c) { static_cast<Target*>(o)->path = c; };                         \
         v.load = [](const void* o) { KivNorvikLoaded l; l.integer = static_cast<const Target*>(o)->path; return l; }; \
         return v; }()
// A field that reading the line sets to a constant, though the line does not carry it.
#define NORVIK_SETS(path, value)                                                               \
    [] { KivNorvikValue v; v.kind = KivNorvikValueKind::Sets; v.field = #path; v.constant = value; \
         v.set = [](void* o, int c) { static_cast<Target*>(o)->path = c; }; return v; }()
// A constant word among the values, written and not read.
#define NORVIK_WORD(k, table)                                                                  \
    [] { KivNorvikValue v; v.token = k; v.kind = KivNorvikValueKind::Word; v.field = "";          \
         v.words = &(table); return v; }()
// The writer's version "major.minor", written and not read.
#define NORVIK_VERSION(k)                                                                      \
    [] { KivNorvikValue v; v.token = k; v.kind = KivNorvikValueKind::Version; v.field = ""; return v; }()
// A value the row's reading effect stores, written from `path`.
#define NORVIK_FILLED_IN(Type, k, valueKind, path, loadMember, formatText)                     \
    [] { KivNorvikValue v; v.token = k; v.kind = KivNorvikValueKind::valueKind; v.field = #path;   \
         v.load = [](const void* o) { KivNorvikLoaded l; l.loadMember = static_cast<const Type*>(o)->path; return l; }; \
         v.offset = NORVIK_OFFSET(Type, path); v.format = formatText; return v; }()
#define NORVIK_FILLED_TEXT_IN(Type, k, path)                                                    \
    [] { KivNorvikValue v; v.token = k; v.kind = KivNorvikValueKind::Text; v.field = #path;        \
         v.load = [](const void* o) { KivNorvikLoaded l; l.text = &static_cast<const Type*>(o)->path; return l; }; \
         v.offset = NORVIK_OFFSET(Type, path); return v; }()

// A value that the row's reading effect fills, named for the findings only.
#define NORVIK_NAMED_IN(Type, k, valueKind, path)                                               \
    [] { static_cast<void>(sizeof(std::declval<Type&>().path)); KivNorvikValue v; v.token = k;   \
         v.kind = KivNorvikValueKind::valueKind; v.field = #path; return v; }()
#define NORVIK_NAMED(k, valueKind, path) NORVIK_NAMED_IN(Target, k, valueKind, path)

// The writer's condition: an export predicate of the row's object, or a named test.
#define NORVIK_IF(predicate, whenText)                                                         \
    [] { KivNorvikCondition c; c.name = #predicate; c.text = whenText;                         \
         c.holds = [](const void* o) { return static_cast<const Target*>(o)->predicate(); }; return c; }()
#define NORVIK_WHEN(conditionName, conditionText, test)                                         \
    [] { KivNorvikCondition c; c.name = conditionName; c.text = conditionText;                   \
         c.holds = [](const void* o) { return (test)(*static_cast<const Target*>(o)); }; return c; }()

// A word chosen by the code at `path`, at token `position` of the line.
#define NORVIK_CHOICE(positionIndex, table, path, ownCode, outsideText)                         \
    [] { KivNorvikChoice c; c.position = positionIndex; c.words = &(table); c.field = #path;     \
         c.code = [](const void* o) { return static_cast<const Target*>(o)->path; };            \
         c.own = ownCode; c.outside = outsideText; return c; }()
// A code set outside [low, high], which the file cannot say.
#define NORVIK_CODE_RANGE(path, lowCode, highCode, text)                                        \
    [] { KivNorvikOutside r; r.field = #path; r.message = text;                                   \
         r.holds = [](const void* o) { const int c = static_cast<const Target*>(o)->path;         \
             return c != KivNorvikData::kUndefinedInteger && (c < (lowCode) || c > (highCode)); };       \
         return r; }()
// A field whose value the file cannot say when `test` of the object holds.
#define NORVIK_OUTSIDE(path, test, text)                                                        \
    [] { KivNorvikOutside r; r.field = #path; r.message = text;                                   \
         r.holds = [](const void* o) { return (test)(*static_cast<const Target*>(o)); }; return r; }()
// A test of the object, as a selection test.
#define NORVIK_TEST(test) [](const void* o) { return (test)(*static_cast<const Target*>(o)); }
// One line per element of the KivArray at `path`, whose rows are of type Element.
#define NORVIK_ELEMENTS(path)                                                                   \
    [] { using Element = std::remove_reference_t<decltype(std::declval<Target&>().path[0])>;      \
         KivNorvikElements e; e.field = #path; e.owner = KivNorvikTarget::typeOf<Target>();        \
         e.count = [](const void* o) { return static_cast<const Target*>(o)->path.getLength(); };  \
         e.at = [](const void* o, int i) { return KivNorvikTarget::of(static_cast<const Target*>(o)->path[i]); }; \
         e.append = [](void* o) { auto& a = static_cast<Target*>(o)->path; const int n = a.getLength(); \
             if (n == INT_MAX) { return KivNorvikTarget(); }                                          \
             a.setLength(n + 1);                                                                      \
             if (a.getLength() != n + 1) { return KivNorvikTarget(); }                                \
             a[n] = kivNorvikDefault<Element>(); return KivNorvikTarget::of(a[n]); };                  \
         e.fresh = [] { return static_cast<const void*>(&kivNorvikDefault<Element>()); };              \
         e.first = [](const void* o) -> const void* { const auto& a = static_cast<const Target*>(o)->path; \
             return a.getLength() > 0 ? &a[0] : nullptr; };                                            \
         e.stride = sizeof(Element);                                                                    \
         return e; }()
// The row's own reading effect, a function of the group's Target (or of Type).
#define NORVIK_FILL_OF(Type, ...)                                                              \
    [](void* o, const KivNorvikLineTokens& tokens) { return (__VA_ARGS__)(*static_cast<Type*>(o), tokens); }
#define NORVIK_FILL(...) NORVIK_FILL_OF(Target, __VA_ARGS__)
// NOLINTEND(bugprone-macro-parentheses)
// clang-format on
