#include "KivBL4Layout.h"

#include "KivNorvikSharedRules.h"

#include <iterator>

namespace {

using Bolt = KivBL4Data::Bolt;

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
            *reals[i] = tokens[first + i].toDouble(false);
        } else {
            bolt.value2 = tokens[first + i].toInteger();
        }
    }
}

// The values of a bolt line whose keyword takes `first` tokens.
// clang-format off
// NOLINTBEGIN(bugprone-macro-parentheses): the arguments are member paths ("a.b") that
// follow "t." and are quoted with #; parentheses would break both.
#define NORVIK_BL4_BOLT_VALUES(path, first)                                                   \
    { NORVIK_FILLED(first, Real, path ".value1"), NORVIK_FILLED(first + 1, Integer, path ".value2"), \
      NORVIK_FILLED(first + 2, Real, path ".value3"), NORVIK_FILLED(first + 3, Real, path ".value4"), \
      NORVIK_FILLED(first + 4, Real, path ".value5"), NORVIK_FILLED(first + 5, Real, path ".value6"), \
      NORVIK_FILLED(first + 6, Real, path ".value7") }

// The four bolt rows of a group, filled by the group's boltRow.
#define NORVIK_BL4_BOLT_ROWS(path, flags)                                                             \
    {"BOU1", "DIST", 0, 0, NORVIK_BL4_BOLT_VALUES(path, 2), NORVIK_FILL(boltRow<0, 2>), flags}, \
    {"BOU2", "DIST", 0, 0, NORVIK_BL4_BOLT_VALUES(path, 2), NORVIK_FILL(boltRow<1, 2>), flags}, \
    {"BOU", "DIST", 0, 0, NORVIK_BL4_BOLT_VALUES(path, 2), NORVIK_FILL(boltRow<2, 2>), kNorvikRowRepeats},  \
    {"BOUDIST", "", 0, 0, NORVIK_BL4_BOLT_VALUES(path, 1), NORVIK_FILL(boltRow<3, 1>), flags}
// NOLINTEND(bugprone-macro-parentheses)
// clang-format on

namespace general {
using Target = KivBL4Data::BL4GeneralGroup;
// clang-format off
const KivNorvikLineRule rules[] = {
    {"NBR_DIAG", "", 0, 0, {NORVIK_INTEGER(1, nbrDiag)}, nullptr},
    {"OPT_CAL", "", 0, 0, {NORVIK_INTEGER(1, optCal[0]), NORVIK_INTEGER(2, optCal[1])}, nullptr},
    {"GOUSSET", "", 0, 0, {NORVIK_REAL(1, gousset), NORVIK_TEXT(2, goussetText)}, nullptr},
    {"NOEUD", "", 0, 0, {NORVIK_INTEGER(1, noeud)}, nullptr},
    {"NOEUD_XYZ", "", 0, 0,
     {NORVIK_REAL(1, noeudXyz[0]), NORVIK_REAL(2, noeudXyz[1]), NORVIK_REAL(3, noeudXyz[2])}, nullptr},
    {"NEIGE", "", 0, 0, {NORVIK_REAL(1, neige)}, nullptr},
    NORVIK_LOADING_ROW(loading),
    {"LIA", "", 0, 0, {NORVIK_TEXT(1, lia)}, nullptr},
    NORVIK_ORIGIN_ROW,
};
// clang-format on
} // namespace general

namespace main_element {
using Target = KivBL4Layout::MainTarget;

// The first bolt line fills bolt1, the second bolt2; a third finds no room.
template <int Kind, int First>
KivNorvikFillResult boltRow(Target& t, const KivNorvikLineTokens& tokens)
{
    if (t.boltLines >= 2) {
        return KivNorvikFillResult::NoRoom;
    }
    readBolt(t.boltLines++ == 0 ? t.bolt1 : t.bolt2, Kind, First, tokens);
    return KivNorvikFillResult::Done;
}

// clang-format off
const KivNorvikLineRule rules[] = {
    {"TYPE", "", 0, 0, {NORVIK_INTEGER(1, type)}, nullptr},
    {"MAT", "", 0, 0, {NORVIK_TEXT(1, mat)}, nullptr},
    NORVIK_BL4_BOLT_ROWS("bolt1 or bolt2", kNorvikRowRepeats),
    {"ANGLE", "", 0, 0, {NORVIK_REAL(1, angle)}, nullptr},
    NORVIK_SECTION_ROW("SECTION", section),
    {"ROTATION", "", 0, 0, {NORVIK_REAL(1, rotation)}, nullptr},
    {"NUM_MEMB1", "", 0, 0, {NORVIK_INTEGER(1, numMemb1[0]), NORVIK_INTEGER(2, numMemb1[1])}, nullptr},
    {"NUM_MEMB2", "", 0, 0, {NORVIK_INTEGER(1, numMemb2[0]), NORVIK_INTEGER(2, numMemb2[1])}, nullptr},
    {"NUM_PRIM", "", 0, 0, {NORVIK_INTEGER(1, numPrim[0]), NORVIK_INTEGER(2, numPrim[1])}, nullptr},
    {"EFF", "", 0, 0,
     {NORVIK_INTEGER(1, effNumber), NORVIK_REAL(2, eff[0]), NORVIK_REAL(3, eff[1]), NORVIK_REAL(4, eff[2])},
     nullptr},
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
    {"DOUBLE", "", 0, 0, {NORVIK_INTEGER(1, doubleDiag)}, nullptr},
    {"NUM_ELT", "", 0, 0, {NORVIK_INTEGER(1, numElt[0]), NORVIK_INTEGER(2, numElt[1])}, nullptr},
    {"JEU", "", 0, 0, {NORVIK_REAL(1, jeu)}, nullptr},
    {"MAT", "", 0, 0, {NORVIK_TEXT(1, mat)}, nullptr},
    {"POSITION", "", 0, 0, {NORVIK_INTEGER(1, position)}, nullptr},
    NORVIK_BL4_BOLT_ROWS("bolt", 0u),
    NORVIK_SECTION_ROW("SECTION", section),
};
// clang-format on
} // namespace diagonal

#undef NORVIK_BL4_BOLT_ROWS
#undef NORVIK_BL4_BOLT_VALUES

// clang-format off
const KivNorvikGroupLayout groups[] = {
    {"GEN", 1, general::rules, static_cast<int>(std::size(general::rules))},
    {"PRIM", 1, main_element::rules, static_cast<int>(std::size(main_element::rules))},
    {"DIAG_", 1, diagonal::rules, static_cast<int>(std::size(diagonal::rules)), true},
};
// clang-format on

const KivNorvikKindLayout layout = {"BL4", groups, static_cast<int>(std::size(groups)), "NV_ATT_04"};

} // namespace

const KivNorvikKindLayout& KivBL4Layout::kind() { return layout; }
