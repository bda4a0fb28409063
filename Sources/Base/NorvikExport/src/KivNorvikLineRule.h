#pragma once

#include "KivNorvikLineTokens.h"
#include "NorvikExportApi.h"

#include <KivArray.h>
#include <KivAssert.h>
#include <KivString.h>

#include <cstddef>

// The reading knowledge of a kind as tables: for each group header, the
// keywords it knows, the tokens each line needs and the field each token
// fills. The readers run these tables; the diagnostics, the checker and the
// fuzz dictionary read them.

// The tokens of a line as wide texts, for hosts that hold lines as KivStrings.
using KivNorvikTokens = KivArray<KivString>;

enum class KivNorvikValueKind {
    Integer,     // token converted with toInteger
    Real,        // token converted with toDouble
    Text,        // the token itself
    Fixed,       // no token: the field takes a constant when the line matches
    ListInteger, // an integer followed by the comma of a list ("57,")
};

// What a row's own effect made of a line, for the diagnostics.
enum class KivNorvikFillResult {
    Done,
    MissingValues, // too few tokens for the effect: nothing was set
    UnknownWord,   // token 1 selects no code
    NoRoom,        // the record holds no more lines of this keyword
};

// The object a group's rules fill, with its type. Made only from a typed
// reference, so a row typed for one group cannot reach another group's object.
class KivNorvikTarget
{
public:
    KivNorvikTarget() = default;
    template <class T>
    static KivNorvikTarget of(T& object)
    {
        KivNorvikTarget target;
        target.object_ = &object;
        target.type_ = typeOf<T>();
        return target;
    }
    // The object when it is a T, else null.
    template <class T>
    T* get() const
    {
        return type_ == typeOf<T>() ? static_cast<T*>(object_) : nullptr;
    }
    template <class T>
    static const void* typeOf()
    {
        static const char tag = 0;
        return &tag;
    }
    bool isNull() const { return object_ == nullptr; }

private:
    void* object_ = nullptr;
    const void* type_ = nullptr;
};

// A typed function of a row, kept with its target type: it runs only on a
// target of that type.
template <class Signature>
struct KivNorvikAction;

template <class R, class Argument>
struct KivNorvikAction<R(const Argument&)>
{
    using Erased = void (*)();
    Erased function = nullptr;
    R (*invoke)(Erased, const KivNorvikTarget&, const Argument&) = nullptr;

    KivNorvikAction() = default;
    // No action: the tables write nullptr for it.
    KivNorvikAction(std::nullptr_t) {}

    template <class T>
    static KivNorvikAction of(R (*typed)(T&, const Argument&))
    {
        using Typed = R (*)(T&, const Argument&);
        KivNorvikAction action;
        action.function = reinterpret_cast<Erased>(typed);
        action.invoke = [](Erased f, const KivNorvikTarget& target, const Argument& argument) -> R {
            T* object = target.get<T>();
            if (object == nullptr) {
                KIV_REPORT("the target is of the row's type");
                return R();
            }
            return reinterpret_cast<Typed>(f)(*object, argument);
        };
        return action;
    }
    explicit operator bool() const { return invoke != nullptr; }
    R operator()(const KivNorvikTarget& target, const Argument& argument) const
    {
        return invoke(function, target, argument);
    }
};

using KivNorvikStore = KivNorvikAction<void(const KivNorvikToken&)>;
using KivNorvikFill = KivNorvikAction<KivNorvikFillResult(const KivNorvikLineTokens&)>;

// One value of a line: token `token` goes to `field` of the group's target.
struct KivNorvikValue
{
    int token;
    KivNorvikValueKind kind;
    const char* field; // dotted path in the group
    // Stores the token into the target; empty for values that the row's
    // `fill` function handles itself.
    KivNorvikStore store;
};

// Row flags.
enum : unsigned {
    kNorvikRowRepeats = 1,   // each line adds or fills its own entry: repeats are expected
    kNorvikRowAnyTokens = 2, // the line may carry more tokens than the values name
};

// One keyword row of a group.
struct KivNorvikLineRule
{
    static constexpr int kMaxValues = 8;

    const char* keyword; // token 0, compared exactly
    const char* pattern; // words required in tokens 1, 2, ...; "*" takes any token; "" none
    int minTokens;       // the line is passed over with fewer tokens (0: 1 + the pattern's words)
    int exactTokens;     // when nonzero, the line must have exactly this many tokens
    KivNorvikValue values[kMaxValues]; // in the order of their effects; read when present
    // Rows whose effect is more than storing tokens (appending to an array,
    // codes from words) do it here; empty for plain rows.
    KivNorvikFill fill;
    unsigned flags = 0;
    // Worked out from the fields above when the table is built, for the
    // checks of each line: the tokens the values read (valueTokens()) and
    // one bit for each value read as a number.
    int readTokens = valueTokens();
    unsigned numberValues = numberValueMask();

    // Whether the line's tokens select this row.
    bool matches(const KivNorvikTokens& tokens) const;
    bool matches(const KivNorvikLineTokens& tokens) const;
    // Whether the keyword and the pattern words match, whatever the token count.
    bool matchesWords(const KivNorvikTokens& tokens) const;
    bool matchesWords(const KivNorvikLineTokens& tokens) const;
    // Applies the row: plain values each when its token is present, then `fill`.
    KivNorvikFillResult apply(const KivNorvikTarget& target, const KivNorvikLineTokens& tokens) const;
    int valueCount() const;
    int requiredTokens() const;
    int patternWordCount() const;
    // 1 + the highest token index that a value reads (the pattern's words at least).
    int valueTokens() const;
    // Bit v set when values[v] is an integer or a real read from the line.
    unsigned numberValueMask() const;
};

// One group of a kind: its header line and its keyword rows in comparison order.
struct NORVIK_API KivNorvikGroupLayout
{
    const char* header;
    int minTokens; // lines with fewer tokens are passed over
    const KivNorvikLineRule* rules;
    int ruleCount;
    // The header is a prefix followed by an integer ("DIAG_12"); the group may recur.
    bool numbered = false;

    // The first row that the tokens select, or null.
    const KivNorvikLineRule* find(const KivNorvikTokens& tokens) const;
    const KivNorvikLineRule* find(const KivNorvikLineTokens& tokens) const;
    // Whether `line` is this group's header.
    bool isHeader(const KivString& line) const;
    // The same for a line of `length` 8-bit characters.
    bool isHeader(const char* line, size_t length) const;
};

// All groups of a kind.
struct NORVIK_API KivNorvikKindLayout
{
    const char* name; // "BL1" to "BL5"
    const KivNorvikGroupLayout* groups;
    int groupCount;
    const char* tag; // the tag of its tag line: "NV_ATT", "NV_ATT_04", "NV_ATT_05"

    // The group whose header equals the whole line, or null.
    const KivNorvikGroupLayout* findGroup(const KivString& line) const;
    const KivNorvikGroupLayout* findGroup(const char* line, size_t length) const;
};

// Helpers for the tables. Each group table defines `using Target = ...;`
// before it: the stores are functions of a Target, so a row that names a
// field the group does not have does not compile.
// clang-format off
#define NORVIK_STORE(path, expression)                                                        \
    KivNorvikStore::of<Target>([](Target& t, const KivNorvikToken& s) { t.path = expression; })
#define NORVIK_INTEGER(k, path)                                                              \
    KivNorvikValue { k, KivNorvikValueKind::Integer, #path, NORVIK_STORE(path, s.toInteger()) }
#define NORVIK_LIST_INTEGER(k, path)                                                         \
    KivNorvikValue { k, KivNorvikValueKind::ListInteger, #path, NORVIK_STORE(path, s.toInteger()) }
#define NORVIK_REAL(k, path)                                                                 \
    KivNorvikValue { k, KivNorvikValueKind::Real, #path, NORVIK_STORE(path, s.toDouble(false)) }
#define NORVIK_TEXT(k, path)                                                                 \
    KivNorvikValue { k, KivNorvikValueKind::Text, #path,                                      \
        KivNorvikStore::of<Target>([](Target& t, const KivNorvikToken& s) { t.path.assign(s.data(), s.size()); }) }
#define NORVIK_FIXED(path, value)                                                            \
    KivNorvikValue { 0, KivNorvikValueKind::Fixed, #path,                                     \
        KivNorvikStore::of<Target>([](Target& t, const KivNorvikToken&) { t.path = value; }) }
// A value documented for the checker and stored by the row's `fill` function.
#define NORVIK_FILLED(k, kind, name) KivNorvikValue { k, KivNorvikValueKind::kind, name, {} }
// The row's own effect, a function of the group's Target.
#define NORVIK_FILL(...) KivNorvikFill::of<Target>(__VA_ARGS__)
// clang-format on
