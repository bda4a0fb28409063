#include "KivBL4Lines.h"

#include "KivNorvikSharedLines.h"
#include "KivNorvikWriterConditions.h"

#include <iterator>

// BL4 lines are written as their values stand; only the snow line has a condition.
namespace {

using Bolt = KivBL4Data::Bolt;

// "BOU1 DIST" (kind 0), "BOU2 DIST" (1), "BOU DIST" (2), "BOUDIST" (any other,
// read back as 3).
const char* const boltKeywordTexts[] = {"BOU1 DIST", "BOU2 DIST", "BOU DIST", "BOUDIST"};
const KivNorvikWords boltKeywords = {boltKeywordTexts, 4, 3, -1};

// The seven values of a bolt line from token `first` on; the kind from the keyword.
void readBolt(Bolt& bolt, int kind, int first, const KivNorvikLineTokens& tokens)
{
    bolt = Bolt();
    bolt.kind = kind;
    const int count = tokens.getLength();
    double* reals[] = {&bolt.value1, nullptr,      &bolt.value3, &bolt.value4,
                       &bolt.value5, &bolt.value6, &bolt.value7};
    for (int i = 0; i < 7 && first + i < count; ++i) {
        if (reals[i] != nullptr) {
            *reals[i] = tokens[first + i].readReal();
        } else {
            bolt.value2 = tokens[first + i].readInteger();
        }
    }
}

// clang-format off
// NOLINTBEGIN(bugprone-macro-parentheses): the paths follow "t." and are quoted with #.
// A bolt line as written: its keyword chosen by the bolt's kind. The rows of
// the four keywords read it.
#define NORVIK_BL4_BOLT_LINE(member)                                                                         \
    NORVIK_ROW(nullptr)                                                                                     \
        .holding({NORVIK_FIXED(member.kind, 0), NORVIK_REAL(2, member.value1), NORVIK_INTEGER(3, member.value2), \
                 NORVIK_REAL(4, member.value3), NORVIK_REAL(5, member.value4), NORVIK_REAL(6, member.value5),    \
                 NORVIK_REAL_AS(7, member.value6, "%1.1f"), NORVIK_REAL(8, member.value7)})                    \
        .chosen(NORVIK_CHOICE(0, boltKeywords, member.kind, 0, nullptr))                                     \
        .outside(NORVIK_OUTSIDE(member.kind, [](const Target& t) { return t.member.kind < 0 || t.member.kind > 3; }, \
                                "a bolt kind outside 0 to 3, unset included, is written BOUDIST and read back as 3")) \
        .with(kNorvikRowWrittenOnly)
// The values of a bolt line whose keyword takes `first` tokens, named for the
// findings; the keyword gives the kind.
#define NORVIK_BL4_BOLT_VALUES(Type, member, first)                                                          \
    { NORVIK_NAMED_IN(Type, 0, Fixed, member.kind), NORVIK_NAMED_IN(Type, first, Real, member.value1), NORVIK_NAMED_IN(Type, first + 1, Integer, member.value2), \
      NORVIK_NAMED_IN(Type, first + 2, Real, member.value3), NORVIK_NAMED_IN(Type, first + 3, Real, member.value4), \
      NORVIK_NAMED_IN(Type, first + 4, Real, member.value5), NORVIK_NAMED_IN(Type, first + 5, Real, member.value6), \
      NORVIK_NAMED_IN(Type, first + 6, Real, member.value7) }
// The four rows of objects of Type that read a bolt line, each filled by
// boltRow; `turns` names the members that the lines fill in turn.
#define NORVIK_BL4_BOLT_ROWS(Type, member, rowFlags, turns)                                                  \
    NORVIK_ROW_OF(Type, "BOU1").words("DIST").holding(NORVIK_BL4_BOLT_VALUES(Type, member, 2))                \
        .reading(NORVIK_FILL_OF(Type, boltRow<0, 2>)).with(kNorvikRowReadOnly | (rowFlags)) turns,           \
    NORVIK_ROW_OF(Type, "BOU2").words("DIST").holding(NORVIK_BL4_BOLT_VALUES(Type, member, 2))                \
        .reading(NORVIK_FILL_OF(Type, boltRow<1, 2>)).with(kNorvikRowReadOnly | (rowFlags)) turns,           \
    NORVIK_ROW_OF(Type, "BOU").words("DIST").holding(NORVIK_BL4_BOLT_VALUES(Type, member, 2))                 \
        .reading(NORVIK_FILL_OF(Type, boltRow<2, 2>)).with(kNorvikRowReadOnly | kNorvikRowRepeats) turns,   \
    NORVIK_ROW_OF(Type, "BOUDIST").holding(NORVIK_BL4_BOLT_VALUES(Type, member, 1))                          \
        .reading(NORVIK_FILL_OF(Type, boltRow<3, 1>)).with(kNorvikRowReadOnly | (rowFlags)) turns
// NOLINTEND(bugprone-macro-parentheses)
// clang-format on

namespace general {
using Target = KivBL4Data::BL4GeneralGroup;
// clang-format off
const KivNorvikLineRule rules[] = {
    NORVIK_ROW("NBR_DIAG").holding({NORVIK_INTEGER(1, nbrDiag)}),
    NORVIK_ROW("OPT_CAL").holding({NORVIK_INTEGER(1, optCal[0]), NORVIK_INTEGER(2, optCal[1])}),
    NORVIK_ROW("GOUSSET").holding({NORVIK_REAL(1, gousset), NORVIK_TEXT(2, goussetText)}),
    NORVIK_ROW("NOEUD").holding({NORVIK_INTEGER(1, noeud)}),
    NORVIK_ROW("NOEUD_XYZ").holding({NORVIK_REAL(1, noeudXyz[0]), NORVIK_REAL(2, noeudXyz[1]), NORVIK_REAL(3, noeudXyz[2])}),
    NORVIK_ROW("NEIGE").holding({NORVIK_REAL(1, neige)})
        .written(NORVIK_WHEN("NEIGE", "the loading is of type 2 or -1", KivNorvikWriterConditions::NEIGE))
        .leftOutAs("snow-without-loading"),
    NORVIK_LOADING_ROW(loading),
    NORVIK_ROW("LIA").holding({NORVIK_TEXT(1, lia)}),
    NORVIK_ORIGIN_ROW,
};
// clang-format on
} // namespace general

namespace main_element {
using Target = KivBL4Data::BL4MainElementGroup;
using Reading = KivBL4Lines::MainTarget;

const char* const boltMembers[] = {"bolt1", "bolt2"};

// The first bolt line fills bolt1, the second bolt2; a third finds no room.
template <int Kind, int First>
KivNorvikFillResult boltRow(Reading& t, const KivNorvikLineTokens& tokens)
{
    if (t.boltLines >= 2) {
        return KivNorvikFillResult::NoRoom;
    }
    readBolt(t.boltLines++ == 0 ? t.bolt1 : t.bolt2, Kind, First, tokens);
    return KivNorvikFillResult::Done;
}

// clang-format off
const KivNorvikLineRule rules[] = {
    NORVIK_ROW("TYPE").holding({NORVIK_INTEGER(1, type)}),
    NORVIK_ROW("MAT").holding({NORVIK_TEXT(1, mat)}),
    NORVIK_BL4_BOLT_ROWS(Reading, bolt1, kNorvikRowRepeats,
                         .inTurn(boltMembers, 2, [](const void* t) { return static_cast<const Reading*>(t)->boltLines; })),
    NORVIK_BL4_BOLT_LINE(bolt1),
    NORVIK_BL4_BOLT_LINE(bolt2),
    NORVIK_ROW("ANGLE").holding({NORVIK_REAL(1, angle)}),
    NORVIK_SECTION_ROWS(section),
    NORVIK_ROW("ROTATION").holding({NORVIK_REAL(1, rotation)}),
    NORVIK_ROW("NUM_MEMB1").holding({NORVIK_INTEGER(1, numMemb1[0]), NORVIK_INTEGER(2, numMemb1[1])}),
    NORVIK_ROW("NUM_MEMB2").holding({NORVIK_INTEGER(1, numMemb2[0]), NORVIK_INTEGER(2, numMemb2[1])}),
    NORVIK_ROW("NUM_PRIM").holding({NORVIK_INTEGER(1, numPrim[0]), NORVIK_INTEGER(2, numPrim[1])}),
    NORVIK_ROW("EFF").holding({NORVIK_INTEGER(1, effNumber), NORVIK_REAL(2, eff[0]), NORVIK_REAL(3, eff[1]),
                              NORVIK_REAL(4, eff[2])}),
};
// clang-format on
} // namespace main_element

namespace diagonal {
using Target = KivBL4Data::BL4DiagonalElementGroup;

// A diagonal has one bolt: a later bolt line replaces it.
template <int Kind, int First>
KivNorvikFillResult boltRow(Target& t, const KivNorvikLineTokens& tokens)
{
    readBolt(t.bolt, Kind, First, tokens);
    return KivNorvikFillResult::Done;
}

// clang-format off
const KivNorvikLineRule rules[] = {
    NORVIK_ROW("DOUBLE").holding({NORVIK_INTEGER(1, doubleDiag)}),
    NORVIK_ROW("NUM_ELT").holding({NORVIK_INTEGER(1, numElt[0]), NORVIK_INTEGER(2, numElt[1])}),
    NORVIK_ROW("JEU").holding({NORVIK_REAL(1, jeu)}),
    NORVIK_ROW("MAT").holding({NORVIK_TEXT(1, mat)}),
    NORVIK_ROW("POSITION").holding({NORVIK_INTEGER(1, position)}),
    NORVIK_BL4_BOLT_ROWS(Target, bolt, 0u, ),
    NORVIK_BL4_BOLT_LINE(bolt),
    NORVIK_SECTION_ROWS(section),
};
// clang-format on
} // namespace diagonal

#undef NORVIK_BL4_BOLT_LINE
#undef NORVIK_BL4_BOLT_VALUES
#undef NORVIK_BL4_BOLT_ROWS

// clang-format off
const KivNorvikGroupLayout groups[] = {
    {"GEN", 1, general::rules, static_cast<int>(std::size(general::rules))},
    {"PRIM", 1, main_element::rules, static_cast<int>(std::size(main_element::rules))},
    {"DIAG_", 1, diagonal::rules, static_cast<int>(std::size(diagonal::rules)), true},
};
// clang-format on

// Both diagonals are written, the first and then the second, whatever
// nbrDiag holds; each "DIAG_n" group read fills the next one.
template <int index>
KivNorvikWrittenGroup diagonalGroup(const char* path)
{
    KivNorvikWrittenGroup w;
    w.group = KivBL4Lines::Diagonal;
    w.path = path;
    w.member = [](const KivNorvikData& d) {
        return KivNorvikTarget::of(static_cast<const KivBL4Data&>(d).diagonalElementGroups[index]);
    };
    w.when.text = "always written, the first and then the second diagonal";
    w.number = [](const void* o) {
        return static_cast<const KivBL4Data::BL4DiagonalElementGroup*>(o)->number;
    };
    w.numberField = "number";
    w.replaces = true;
    return w;
}

const KivNorvikWrittenGroup written[] = {
    KivNorvikWrittenGroup::of<&KivBL4Data::generalGroup>(KivBL4Lines::General, "generalGroup"),
    KivNorvikWrittenGroup::of<&KivBL4Data::mainElementGroup>(KivBL4Lines::MainElement, "mainElementGroup"),
    diagonalGroup<0>("diagonalElementGroups[0]"),
    diagonalGroup<1>("diagonalElementGroups[1]"),
};

} // namespace

const KivNorvikKindLayout KivBL4Lines::layout = {groups, static_cast<int>(std::size(groups)), written,
                                                 static_cast<int>(std::size(written))};
