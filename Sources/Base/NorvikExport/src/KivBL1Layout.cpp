#include "KivBL1Layout.h"

#include "KivBL1Data.h"
#include "KivNorvikSharedRules.h"

#include <iterator>

namespace {

namespace general {
using Target = KivBL1Data::BL1GeneralGroup;
// clang-format off
const KivNorvikLineRule rules[] = {
    {"ACIER", "", 0, 0, {NORVIK_REAL(1, acier)}, nullptr},
    {"XY", "", 0, 0, {NORVIK_REAL(1, xy[0]), NORVIK_REAL(2, xy[1]), NORVIK_REAL(3, xy[2])}, nullptr},
    {"REP_PAGE", "", 0, 0, {NORVIK_TEXT(1, repPage)}, nullptr},
    {"NOEUD_NUM", "", 0, 0, {NORVIK_INTEGER(1, noeudNum)}, nullptr},
    {"NOEUD_XYZ", "", 0, 0,
     {NORVIK_REAL(1, noeudXyz[0]), NORVIK_REAL(2, noeudXyz[1]), NORVIK_REAL(3, noeudXyz[2])}, nullptr},
    {"NEIGE", "", 0, 0, {NORVIK_REAL(1, neige)}, nullptr},
    NORVIK_CHA_ROW(loadings),
    {"LIA", "", 0, 0, {NORVIK_TEXT(1, lia)}, nullptr},
    {"BOU", "", 0, 0,
     {NORVIK_INTEGER(1, bolt.number), NORVIK_REAL(2, bolt.value), NORVIK_TEXT(3, bolt.text)}, nullptr},
    {"ATMOS", "", 0, 0, {NORVIK_INTEGER(1, atmos)}, nullptr},
    {"A91", "", 0, 0, {NORVIK_INTEGER(1, a91)}, nullptr},
    {"FRX", "", 0, 0, {NORVIK_INTEGER(1, frx)}, nullptr},
    NORVIK_ORIGIN_ROW,
};
// clang-format on
} // namespace general

namespace column {
using Target = KivBL1Data::BL1PotGroup;
// clang-format off
const KivNorvikLineRule rules[] = {
    NORVIK_BL12_SECTION_ROWS(section),
    {"CON", "", 0, 0, {NORVIK_TEXT(1, con)}, nullptr},
    {"LIA", "", 0, 0, {NORVIK_INTEGER(1, lia1), NORVIK_INTEGER(2, lia2)}, nullptr},
    // Token 1 is "AME" as written; it is not tested.
    {"RAI", "* OBLIQ", 0, 0,
     {NORVIK_FIXED(raiAmeType, 0), NORVIK_REAL(3, raiAmeObliq[0]), NORVIK_REAL(4, raiAmeObliq[1])},
     nullptr},
    {"RAI", "* PLAQ", 0, 0,
     {NORVIK_FIXED(raiAmeType, 1), NORVIK_REAL(3, raiAmePlaqValue),
      NORVIK_INTEGER(4, raiAmePlaqNumber)},
     nullptr},
};
// clang-format on
} // namespace column

namespace acr {
using Target = KivBL1Data::BL1ACR;
// clang-format off
const KivNorvikLineRule rules[] = {
    {"PRO", "", 0, 0, {NORVIK_TEXT(1, pro1), NORVIK_TEXT(2, pro2)}, nullptr},
    {"Y", "", 0, 0, {NORVIK_REAL(1, y)}, nullptr},
    {"LIA", "", 0, 0, {NORVIK_INTEGER(1, lia1), NORVIK_INTEGER(2, lia2), NORVIK_INTEGER(3, lia3)},
     nullptr},
};
// clang-format on
} // namespace acr

namespace traverse {
using Target = KivBL1Data::BL1Traverse;

// "EFF": a default effort filled from the tokens present, appended also for
// the keyword alone.
KivNorvikFillResult appendEffort(Target& target, const KivNorvikLineTokens& tokens)
{
    KivBL1Data::BL1Effort effort;
    const int count = tokens.getLength();
    if (count > 1) {
        effort.number = tokens[1].toInteger();
    }
    if (count > 2) {
        effort.value1 = tokens[2].toDouble(false);
    }
    if (count > 3) {
        effort.value2 = tokens[3].toDouble(false);
    }
    if (count > 4) {
        effort.value3 = tokens[4].toDouble(false);
    }
    target.efforts.append(effort);
    return KivNorvikFillResult::Done;
}

// clang-format off
const KivNorvikLineRule rules[] = {
    NORVIK_BL12_SECTION_ROWS(section),
    {"ANG", "", 0, 0, {NORVIK_REAL(1, ang)}, nullptr},
    {"DY", "", 0, 0, {NORVIK_REAL(1, dy)}, nullptr},
    {"REN", "INF", 0, 0, {NORVIK_REAL(2, renInf[0]), NORVIK_REAL(3, renInf[1])}, nullptr},
    // Token 2 is "INF" as written; it is not tested.
    {"REN", "SEM", 0, 0, {NORVIK_REAL(3, renSemInf)}, nullptr},
    {"RAI", "TRA", 0, 0,
     {NORVIK_REAL(2, raiTra.value1), NORVIK_INTEGER(3, raiTra.number), NORVIK_REAL(4, raiTra.value2)},
     nullptr},
    {"RAI", "PLA SUP", 0, 0,
     {NORVIK_FIXED(extBoltsSup.position, 0), NORVIK_REAL(3, extBoltsSup.raiPla[0]),
      NORVIK_REAL(4, extBoltsSup.raiPla[1]), NORVIK_REAL(5, extBoltsSup.raiPla[2])},
     nullptr},
    {"RAI", "PLA INF", 0, 0,
     {NORVIK_FIXED(extBoltsInf.position, 1), NORVIK_REAL(3, extBoltsInf.raiPla[0]),
      NORVIK_REAL(4, extBoltsInf.raiPla[1]), NORVIK_REAL(5, extBoltsInf.raiPla[2])},
     nullptr},
    // Token 2 is "TRA" as written; it is not tested.
    {"RAI", "POT * SUP", 0, 0,
     {NORVIK_FIXED(raiPotTraSup.position, 0), NORVIK_REAL(4, raiPotTraSup.value1),
      NORVIK_INTEGER(5, raiPotTraSup.number), NORVIK_REAL(6, raiPotTraSup.value2)},
     nullptr},
    {"RAI", "POT * INF", 0, 0,
     {NORVIK_FIXED(raiPotTraInf.position, 1), NORVIK_REAL(4, raiPotTraInf.value1),
      NORVIK_INTEGER(5, raiPotTraInf.number), NORVIK_REAL(6, raiPotTraInf.value2)},
     nullptr},
    {"LIA", "", 0, 0, {NORVIK_INTEGER(1, lia1), NORVIK_INTEGER(2, lia2)}, nullptr},
    {"EFF", "", 1, 0,
     {NORVIK_FILLED(1, Integer, "efforts[].number"), NORVIK_FILLED(2, Real, "efforts[].value1"),
      NORVIK_FILLED(3, Real, "efforts[].value2"), NORVIK_FILLED(4, Real, "efforts[].value3")},
     NORVIK_FILL(appendEffort), kNorvikRowRepeats},
    {"PLA", "", 0, 0,
     {NORVIK_REAL(1, pla.value1), NORVIK_REAL(2, pla.value2), NORVIK_REAL(3, pla.value3),
      NORVIK_REAL(4, pla.value4)},
     nullptr},
    {"SOU_TRA_PLA", "", 0, 0, {NORVIK_REAL(1, souTraPla[0]), NORVIK_REAL(2, souTraPla[1])}, nullptr},
    {"FIL", "", 0, 0,
     {NORVIK_INTEGER(1, fil.number), NORVIK_REAL(2, fil.value1), NORVIK_REAL(3, fil.value2)}, nullptr},
    {"BOU", "TRA", 0, 0,
     {NORVIK_FIXED(bouTra.type, 0), NORVIK_REAL(2, bouTra.value1), NORVIK_REAL(3, bouTra.value2),
      NORVIK_INTEGER(4, bouTra.number)},
     nullptr},
    {"BOU", "REN", 0, 0,
     {NORVIK_FIXED(bouRen.type, 1), NORVIK_REAL(2, bouRen.value1), NORVIK_REAL(3, bouRen.value2),
      NORVIK_INTEGER(4, bouRen.number)},
     nullptr},
    {"BOU", "DIA", 0, 0,
     {NORVIK_REAL(2, bouDia.value1), NORVIK_TEXT(3, bouDia.text), NORVIK_REAL(4, bouDia.value2)},
     nullptr},
    {"BOU", "EXT SUP", 0, 0,
     {NORVIK_FIXED(extBoltsSup.position, 0), NORVIK_REAL(3, extBoltsSup.bouExt)}, nullptr},
    {"BOU", "EXT INF", 0, 0,
     {NORVIK_FIXED(extBoltsInf.position, 1), NORVIK_REAL(3, extBoltsInf.bouExt)}, nullptr},
    {"BOU", "INF", 0, 0, {NORVIK_REAL(2, bouInf)}, nullptr},
};
// clang-format on
} // namespace traverse

// A line is compared only with at least the group's token count: one in the
// general group and the beam sides, two in the column and the ACR group, so a
// bare "PRO" or "I" changes a beam side's section type but not the column's.
// clang-format off
const KivNorvikGroupLayout groups[] = {
    {"GEN", 1, general::rules, static_cast<int>(std::size(general::rules))},
    {"POT", 2, column::rules, static_cast<int>(std::size(column::rules))},
    {"ACR", 2, acr::rules, static_cast<int>(std::size(acr::rules))},
    {"TRA D", 1, traverse::rules, static_cast<int>(std::size(traverse::rules))},
    {"TRA G", 1, traverse::rules, static_cast<int>(std::size(traverse::rules))},
};
// clang-format on

} // namespace

const KivNorvikKindLayout& KivBL1Layout::kind()
{
    static const KivNorvikKindLayout layout = {"BL1", groups, static_cast<int>(std::size(groups)), "NV_ATT"};
    return layout;
}
