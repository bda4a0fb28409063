#include "KivBL2Layout.h"

#include "KivBL2Data.h"
#include "KivNorvikSharedRules.h"

#include <iterator>

namespace {

namespace general {
using Target = KivBL2Data::BL2GeneralGroup;
// clang-format off
const KivNorvikLineRule rules[] = {
    {"REP_PAGE", "", 0, 0, {NORVIK_TEXT(1, repPage)}, nullptr},
    {"NOEUD_XYZ", "", 0, 0,
     {NORVIK_REAL(1, noeudXyz[0]), NORVIK_REAL(2, noeudXyz[1]), NORVIK_REAL(3, noeudXyz[2])}, nullptr},
    {"NEIGE", "", 0, 0, {NORVIK_REAL(1, neige)}, nullptr},
    NORVIK_CHA_ROW(loadings),
    {"NOEUD_NUM", "", 0, 0, {NORVIK_INTEGER(1, noeudNum)}, nullptr},
    {"BETON", "", 0, 0, {NORVIK_REAL(1, beton1), NORVIK_REAL(2, beton2)}, nullptr},
    {"LIA", "", 0, 0, {NORVIK_TEXT(1, lia)}, nullptr},
    {"MASSIF", "", 0, 0, {NORVIK_REAL(1, massif1), NORVIK_REAL(2, massif2)}, nullptr},
    {"VERIF.TIGE.ADD80", "", 0, 0, {NORVIK_INTEGER(1, verifTigeAdd80)}, nullptr},
    {"VERIF.TP.T1T2MIN", "", 0, 0, {NORVIK_INTEGER(1, verifTpT1T2Min)}, nullptr},
    {"EPMAX_ENC_NORAID", "", 0, 0, {NORVIK_REAL(1, epmaxEncNoraid)}, nullptr},
    NORVIK_ORIGIN_ROW,
};
// clang-format on
} // namespace general

namespace column {
using Target = KivBL2Data::BL2ColumnGroup;
// clang-format off
const KivNorvikLineRule rules[] = {
    {"MAT", "", 0, 0, {NORVIK_TEXT(1, mat)}, nullptr},
    NORVIK_BL12_SECTION_ROWS(section),
    {"LIA", "", 0, 0, {NORVIK_INTEGER(1, lia1), NORVIK_INTEGER(2, lia2)}, nullptr},
    {"EFF", "", 0, 0,
     {NORVIK_INTEGER(1, effort.number), NORVIK_REAL(2, effort.value1), NORVIK_REAL(3, effort.value2),
      NORVIK_REAL(4, effort.value3)},
     nullptr},
    {"ROTMAX", "", 0, 0, {NORVIK_REAL(1, rotMax)}, nullptr},
};
// clang-format on
} // namespace column

// The column-base rows also record which base and which rod row the file
// describes, so that a base read back is written again the same. They need
// at least one value (2 tokens): a bare keyword selects nothing.
namespace support {
using Target = KivBL2Data::BL2SupportGroup;
// clang-format off
const KivNorvikLineRule rules[] = {
    {"MAT_PLATS", "", 0, 0, {NORVIK_TEXT(1, matPlats)}, nullptr},
    {"OPTIONS", "", 0, 0,
     {NORVIK_INTEGER(1, options[0]), NORVIK_INTEGER(2, options[1]), NORVIK_INTEGER(3, options[2])},
     nullptr},
    {"COEF_ADAPT", "", 0, 0, {NORVIK_REAL(1, coefAdapt)}, nullptr},
    {"BECHE_PROF", "", 0, 0,
     {NORVIK_TEXT(1, becheProfile.text1), NORVIK_TEXT(2, becheProfile.text2),
      NORVIK_TEXT(3, becheProfile.text3)},
     nullptr},
    {"MAT_BECHE", "", 0, 0, {NORVIK_TEXT(1, matBeche)}, nullptr},
    {"PLATINE", "", 0, 0,
     {NORVIK_REAL(1, endPlate.value1), NORVIK_REAL(2, endPlate.value2), NORVIK_REAL(3, endPlate.value3)},
     nullptr},
    {"BOULON", "", 0, 0, {NORVIK_REAL(1, bolt.value1), NORVIK_REAL(2, bolt.value2)}, nullptr},
    {"BECHE", "", 0, 0, {NORVIK_REAL(1, beche)}, nullptr},
    {"ADHER", "", 0, 0, {NORVIK_REAL(1, adher)}, nullptr},
    {"PRESCEL", "", 0, 0, {NORVIK_REAL(1, prescel)}, nullptr},
    {"TIGE", "", 0, 0, {NORVIK_INTEGER(1, stem.number), NORVIK_REAL(2, stem.value1)}, nullptr},
    {"CALAGE", "", 0, 0, {NORVIK_REAL(1, calage)}, nullptr},
    {"PLATINE_TROU", "", 0, 0,
     {NORVIK_INTEGER(1, trouEndPlate.number), NORVIK_REAL(2, trouEndPlate.value1),
      NORVIK_REAL(3, trouEndPlate.value2)},
     nullptr},
    {"PLAQUETTE_DIM", "", 0, 0,
     {NORVIK_REAL(1, smallPlateDim.value1), NORVIK_INTEGER(2, smallPlateDim.number),
      NORVIK_REAL(3, smallPlateDim.value2), NORVIK_REAL(4, smallPlateDim.value3)},
     nullptr},
    {"RAID_ART", "", 2, 0,
     {NORVIK_FIXED(columnBase.baseType, 0), NORVIK_REAL(1, columnBase.articulatedRadius.value1),
      NORVIK_REAL(2, columnBase.articulatedRadius.value2),
      NORVIK_REAL(3, columnBase.articulatedRadius.value3),
      NORVIK_REAL(4, columnBase.articulatedRadius.value4),
      NORVIK_REAL(5, columnBase.articulatedRadius.value5),
      NORVIK_REAL(6, columnBase.articulatedRadius.value6),
      NORVIK_INTEGER(7, columnBase.articulatedRadius.number)},
     nullptr},
    {"RAIDL", "", 2, 0,
     {NORVIK_FIXED(columnBase.baseType, 1), NORVIK_REAL(1, columnBase.radiusL.value1),
      NORVIK_REAL(2, columnBase.radiusL.value2)},
     nullptr},
    {"RAIDT", "", 2, 0,
     {NORVIK_FIXED(columnBase.baseType, 1), NORVIK_REAL(1, columnBase.radiusT.value1),
      NORVIK_REAL(2, columnBase.radiusT.value2)},
     nullptr},
    {"FILE.CEN", "", 2, 0, {NORVIK_FIXED(columnBase.baseType, 0), NORVIK_REAL(1, columnBase.fileCen)},
     nullptr},
    {"FILE.EXT", "", 2, 0,
     {NORVIK_FIXED(columnBase.baseType, 1), NORVIK_FIXED(columnBase.rowType, 0),
      NORVIK_INTEGER(1, columnBase.extTige.number), NORVIK_REAL(2, columnBase.extTige.value1),
      NORVIK_REAL(3, columnBase.extTige.value2), NORVIK_REAL(4, columnBase.extTige.value3)},
     nullptr},
    {"FILE.INT", "", 2, 0,
     {NORVIK_FIXED(columnBase.baseType, 1), NORVIK_FIXED(columnBase.rowType, 1),
      NORVIK_REAL(1, columnBase.intTige.value1), NORVIK_REAL(2, columnBase.intTige.value2)},
     nullptr},
};
// clang-format on
} // namespace support

// clang-format off
const KivNorvikGroupLayout groups[] = {
    {"GEN", 1, general::rules, static_cast<int>(std::size(general::rules))},
    {"POT", 1, column::rules, static_cast<int>(std::size(column::rules))},
    {"APP", 1, support::rules, static_cast<int>(std::size(support::rules))},
};
// clang-format on

const KivNorvikKindLayout layout = {"BL2", groups, static_cast<int>(std::size(groups)), "NV_ATT"};

} // namespace

const KivNorvikKindLayout& KivBL2Layout::kind() { return layout; }
