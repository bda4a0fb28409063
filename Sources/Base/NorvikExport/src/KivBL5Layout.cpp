#include "KivBL5Layout.h"

#include "KivBL5Data.h"
#include "KivNorvikSharedRules.h"

#include <iterator>

namespace {

namespace general {
using Target = KivBL5Data::BL5GeneralGroup;
// clang-format off
const KivNorvikLineRule rules[] = {
    {"NBR_DIAG", "", 0, 0, {NORVIK_INTEGER(1, nbrDiag)}, nullptr},
    // The comma after the first number is part of the line.
    {"OPT_CALUL", "", 0, 0, {NORVIK_LIST_INTEGER(1, optCalul[0]), NORVIK_INTEGER(2, optCalul[1])},
     nullptr},
    {"ANGLE_DIAG", "GLOBAL", 0, 0, {NORVIK_FIXED(angleDiag, 1)}, nullptr},
    {"ANGLE_DIAG", "LOCAL", 0, 0, {NORVIK_FIXED(angleDiag, 0)}, nullptr},
    {"TYPE_ATT", "", 0, 0, {NORVIK_INTEGER(1, typeAtt)}, nullptr},
    {"NOEUD", "", 0, 0, {NORVIK_INTEGER(1, noeud)}, nullptr},
    {"XY", "", 0, 0, {NORVIK_REAL(1, xy[0]), NORVIK_REAL(2, xy[1]), NORVIK_REAL(3, xy[2])}, nullptr},
    {"NEIGE", "", 0, 0, {NORVIK_REAL(1, neige)}, nullptr},
    NORVIK_LOADING_ROW(loading),
    {"LIA", "", 0, 0, {NORVIK_TEXT(1, lia)}, nullptr},
    {"BOU_CLS", "", 0, 0, {NORVIK_REAL(1, bouCls)}, nullptr},
    {"Q_SOUD", "", 0, 0, {NORVIK_TEXT(1, qSoud)}, nullptr},
    NORVIK_ORIGIN_ROW,
};
// clang-format on
} // namespace general

namespace main_element {
using Target = KivBL5Data::BL5MainElementGroup;
// clang-format off
const KivNorvikLineRule rules[] = {
    {"ANGLE", "", 0, 0, {NORVIK_REAL(1, angle)}, nullptr},
    {"NUM_MEMB1", "", 0, 0, {NORVIK_INTEGER(1, numMemb1[0]), NORVIK_INTEGER(2, numMemb1[1])}, nullptr},
    {"NUM_MEMB2", "", 0, 0, {NORVIK_INTEGER(1, numMemb2[0]), NORVIK_INTEGER(2, numMemb2[1])}, nullptr},
    {"MAT", "", 0, 0, {NORVIK_TEXT(1, mat)}, nullptr},
    NORVIK_SECTION_ROW("SECTION", section),
    {"TOURNE_SEC", "", 0, 0, {NORVIK_INTEGER(1, tourneSec)}, nullptr},
    {"EFF", "", 0, 0,
     {NORVIK_INTEGER(1, effNumber), NORVIK_REAL(2, eff[0]), NORVIK_REAL(3, eff[1]), NORVIK_REAL(4, eff[2])},
     nullptr},
    {"GOUSSET", "", 0, 0,
     {NORVIK_REAL(1, gousset1), NORVIK_INTEGER(2, gousset2), NORVIK_REAL(3, gousset3)}, nullptr},
};
// clang-format on
} // namespace main_element

namespace column {
using Target = KivBL5Data::BL5ColumnGroup;
// clang-format off
const KivNorvikLineRule rules[] = {
    {"NUM_MONT", "", 0, 0, {NORVIK_INTEGER(1, numMont[0]), NORVIK_INTEGER(2, numMont[1])}, nullptr},
    {"MAT", "", 0, 0, {NORVIK_TEXT(1, mat)}, nullptr},
    {"ANGLE", "", 0, 0, {NORVIK_REAL(1, angle)}, nullptr},
    NORVIK_SECTION_ROW("SECTION", section),
    {"TOURNE_SEC", "", 0, 0, {NORVIK_INTEGER(1, tourneSec)}, nullptr},
};
// clang-format on
} // namespace column

namespace diagonal {
using Target = KivBL5Data::BL5DiagonalElementGroup;
// clang-format off
const KivNorvikLineRule rules[] = {
    {"ANGLE", "", 0, 0, {NORVIK_REAL(1, angle)}, nullptr},
    {"NUM_ELT", "", 0, 0, {NORVIK_LIST_INTEGER(1, numElt[0]), NORVIK_INTEGER(2, numElt[1])}, nullptr},
    {"MAT", "", 0, 0, {NORVIK_TEXT(1, mat)}, nullptr},
    NORVIK_SECTION_ROW("SECTION", section),
    {"TOURNE_SEC", "", 0, 0, {NORVIK_INTEGER(1, tourneSec)}, nullptr},
    {"EFF", "", 0, 0, {NORVIK_INTEGER(1, effNumber), NORVIK_REAL(2, eff)}, nullptr},
    // The nine "GHCP" lines: the word after the keyword names the values.
    {"GHCP", "GOU_DIM", 0, 0,
     {NORVIK_REAL(2, ghcp.gouDim[0]), NORVIK_REAL(3, ghcp.gouDim[1]), NORVIK_REAL(4, ghcp.gouDim[2]),
      NORVIK_REAL(5, ghcp.gouDim[3])},
     nullptr},
    {"GHCP", "GOU_POS", 0, 0,
     {NORVIK_INTEGER(2, ghcp.gouPos1), NORVIK_REAL(3, ghcp.gouPos2), NORVIK_INTEGER(4, ghcp.gouPos3)},
     nullptr},
    {"GHCP", "BOU_DIA", 0, 0, {NORVIK_REAL(2, ghcp.bouDia)}, nullptr},
    {"GHCP", "BOU_X", 0, 0,
     {NORVIK_INTEGER(2, ghcp.bouXNumber), NORVIK_REAL(3, ghcp.bouX[0]), NORVIK_REAL(4, ghcp.bouX[1]),
      NORVIK_REAL(5, ghcp.bouX[2])},
     nullptr},
    {"GHCP", "BOU_Y", 0, 0, {NORVIK_INTEGER(2, ghcp.bouYNumber), NORVIK_REAL(3, ghcp.bouY)}, nullptr},
    {"GHCP", "CHP_DIM", 0, 0,
     {NORVIK_REAL(2, ghcp.chpDim[0]), NORVIK_REAL(3, ghcp.chpDim[1]), NORVIK_REAL(4, ghcp.chpDim[2])},
     nullptr},
    {"GHCP", "SOUDURE", 0, 0, {NORVIK_REAL(2, ghcp.soudure[0]), NORVIK_REAL(3, ghcp.soudure[1])}, nullptr},
    {"GHCP", "JEUX", 0, 0, {NORVIK_REAL(2, ghcp.jeux[0]), NORVIK_REAL(3, ghcp.jeux[1])}, nullptr},
    {"GHCP", "PENETR", 0, 0, {NORVIK_INTEGER(2, ghcp.penetrNumber), NORVIK_REAL(3, ghcp.penetr)}, nullptr},
};
// clang-format on
} // namespace diagonal

// clang-format off
const KivNorvikGroupLayout groups[] = {
    {"GEN", 1, general::rules, static_cast<int>(std::size(general::rules))},
    {"PRIM", 1, main_element::rules, static_cast<int>(std::size(main_element::rules))},
    {"MONTANT", 1, column::rules, static_cast<int>(std::size(column::rules))},
    {"DIAG_", 1, diagonal::rules, static_cast<int>(std::size(diagonal::rules)), true},
};
// clang-format on

const KivNorvikKindLayout layout = {"BL5", groups, static_cast<int>(std::size(groups)), "NV_ATT_05"};

} // namespace

const KivNorvikKindLayout& KivBL5Layout::kind() { return layout; }
