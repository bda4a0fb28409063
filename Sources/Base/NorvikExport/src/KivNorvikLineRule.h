#pragma once

#include "NorvikExportApi.h"

#include <KivArray.h>
#include <KivString.h>

// The reading knowledge of a kind as tables: for each group header, the
// keywords it knows, the tokens each line needs and the field each token
// fills. The readers run these tables; the checker and the fuzz dictionary
// read them.

using KivNorvikTokens = KivArray<KivString>;

enum class KivNorvikValueKind {
    Integer, // token converted with toInteger
    Real,    // token converted with toDouble
    Text,    // the token itself
    Fixed,   // no token: the field takes a constant when the line matches
};

// One value of a line: token `token` goes to `field` of the group's target.
struct KivNorvikValue
{
    int token;
    KivNorvikValueKind kind;
    const char* field;
    // Stores the token into the target; null for values that the rule's
    // `fill` function handles itself.
    void (*store)(void* target, const KivString& token);
};

// One keyword row of a group.
struct KivNorvikLineRule
{
    static constexpr int kMaxValues = 8;

    const char* keyword;   // token 0, compared exactly
    const char* pattern;   // words required in tokens 1, 2, ...; "*" takes any token; "" none
    int minTokens;         // the line is passed over with fewer tokens (0: 1 + the pattern's words)
    int exactTokens;       // when nonzero, the line must have exactly this many tokens
    KivNorvikValue values[kMaxValues]; // in the order of their effects; read when present
    // Rows whose effect is more than storing tokens (appending to an array,
    // codes from words) do it here; null for plain rows.
    void (*fill)(void* target, const KivNorvikTokens& tokens);

    // Whether the line's tokens select this row.
    bool matches(const KivNorvikTokens& tokens) const;
    // Applies the row: plain values each when its token is present, then `fill`.
    void apply(void* target, const KivNorvikTokens& tokens) const;
    int valueCount() const;
    int requiredTokens() const;
};

// One group of a kind: its header line and its keyword rows in comparison order.
struct KivNorvikGroupLayout
{
    const char* header;
    int minTokens;                 // lines with fewer tokens are passed over
    const KivNorvikLineRule* rules;
    int ruleCount;

    // The first row that the tokens select, or null.
    const KivNorvikLineRule* find(const KivNorvikTokens& tokens) const;
};

// All groups of a kind.
struct KivNorvikKindLayout
{
    const char* name;              // "BL1", "BL2", "BL3"
    const KivNorvikGroupLayout* groups;
    int groupCount;

    // The group whose header equals the whole line, or null.
    const KivNorvikGroupLayout* findGroup(const KivString& line) const;
};

// Helpers for the tables. Each group table defines `using Target = ...;`
// before it, so that the stores are typed for that group.
#define NORVIK_INTEGER(k, path)                                                        \
    KivNorvikValue { k, KivNorvikValueKind::Integer, #path,                             \
        [](void* t, const KivString& s) { static_cast<Target*>(t)->path = s.toInteger(); } }
#define NORVIK_REAL(k, path)                                                           \
    KivNorvikValue { k, KivNorvikValueKind::Real, #path,                                \
        [](void* t, const KivString& s) { static_cast<Target*>(t)->path = s.toDouble(false); } }
#define NORVIK_TEXT(k, path)                                                           \
    KivNorvikValue { k, KivNorvikValueKind::Text, #path,                                \
        [](void* t, const KivString& s) { static_cast<Target*>(t)->path = s; } }
#define NORVIK_FIXED(path, value)                                                      \
    KivNorvikValue { 0, KivNorvikValueKind::Fixed, #path,                               \
        [](void* t, const KivString&) { static_cast<Target*>(t)->path = value; } }
// A value documented for the checker and stored by the row's `fill` function.
#define NORVIK_FILLED(k, kind, name) KivNorvikValue { k, KivNorvikValueKind::kind, name, nullptr }
