#include "KivBL2Lines.h"

#include "KivNorvikSharedLines.h"
#include "KivNorvikWriterConditions.h"

#include <iterator>

// The BL2 lines are decided by the groups' export predicates, which hold the
// exact comparison of BL2 reals; the lines without a predicate are always
// written, their values as they stand.
namespace {

using When = KivNorvikWriterConditions;

namespace general {
using Target = KivBL2Data::BL2GeneralGroup;
// clang-format off
const KivNorvikLineRule rules[] = {
    NORVIK_ROW("REP_PAGE").holding({NORVIK_TEXT(1, repPage)}).written(NORVIK_IF(exportREP_PAGE, "repPage set")),
    NORVIK_ROW("NOEUD_XYZ")
        .holding({NORVIK_REAL(1, noeudXyz[0]), NORVIK_REAL(2, noeudXyz[1]), NORVIK_REAL(3, noeudXyz[2])})
        .written(NORVIK_IF(exportNOEUD_XYZ, "the three noeudXyz set")),
    NORVIK_ROW("NEIGE").holding({NORVIK_REAL(1, neige)})
        .written(NORVIK_WHEN("NEIGE", "neige set (exportNEIGE) and a loading of type 2 or -1",
                             [](const Target& g) { return When::NEIGE(g); }))
        .leftOutAs("snow-without-loading"),
    NORVIK_LOADINGS_ROW(loadings),
    NORVIK_ROW("NOEUD_NUM").holding({NORVIK_INTEGER(1, noeudNum)})
        .written(NORVIK_IF(exportNOEUD_NUM, "noeudNum set")),
    NORVIK_ROW("BETON").holding({NORVIK_REAL(1, beton1), NORVIK_REAL(2, beton2)})
        .written(NORVIK_IF(exportBETON, "beton1 and beton2 set")),
    NORVIK_ROW("LIA").holding({NORVIK_TEXT(1, lia)}).written(NORVIK_IF(exportLIA, "lia set")),
    NORVIK_ROW("MASSIF").holding({NORVIK_REAL(1, massif1), NORVIK_REAL(2, massif2)})
        .written(NORVIK_IF(exportMASSIF, "massif1 and massif2 set")),
    NORVIK_ROW("VERIF.TIGE.ADD80").holding({NORVIK_INTEGER(1, verifTigeAdd80)})
        .written(NORVIK_IF(exportVERIF_TIGE_ADD80, "verifTigeAdd80 set")),
    NORVIK_ROW("VERIF.TP.T1T2MIN").holding({NORVIK_INTEGER(1, verifTpT1T2Min)})
        .written(NORVIK_IF(exportVERIF_TP_T1T2MIN, "verifTpT1T2Min set")),
    NORVIK_ROW("EPMAX_ENC_NORAID").holding({NORVIK_REAL(1, epmaxEncNoraid)})
        .written(NORVIK_IF(exportEPMAX_ENC_NORAID, "epmaxEncNoraid set")),
    NORVIK_ORIGIN_ROW,
};
// clang-format on
} // namespace general

namespace column {
using Target = KivBL2Data::BL2ColumnGroup;
// clang-format off
const KivNorvikLineRule rules[] = {
    NORVIK_ROW("MAT").holding({NORVIK_TEXT(1, mat)}).written(NORVIK_IF(exportMAT, "mat set")),
    NORVIK_BL12_SECTION_ROWS(section),
    NORVIK_ROW("LIA").holding({NORVIK_INTEGER(1, lia1), NORVIK_INTEGER(2, lia2)})
        .written(NORVIK_IF(exportLIA, "lia1 and lia2 set")),
    NORVIK_ROW("EFF")
        .holding({NORVIK_INTEGER(1, effort.number), NORVIK_REAL(2, effort.value1), NORVIK_REAL(3, effort.value2),
                 NORVIK_REAL(4, effort.value3)}),
    NORVIK_ROW("ROTMAX").holding({NORVIK_REAL(1, rotMax)}).written(NORVIK_IF(exportROTMAX, "rotMax set")),
};
// clang-format on
} // namespace column

// The column base: baseType 0 writes "RAID_ART" and "FILE.CEN"; any other
// writes "RAIDL", "RAIDT" and the rod row that rowType selects. Every
// column-base line stores the codes it stands for, so that a base read back
// is written again the same. They need at least one value (2 tokens): a bare
// keyword selects nothing.
namespace support {
using Target = KivBL2Data::BL2SupportGroup;

bool articulated(const Target& s) { return s.columnBase.baseType == 0; }

// clang-format off
const KivNorvikLineRule rules[] = {
    NORVIK_ROW("MAT_PLATS").holding({NORVIK_TEXT(1, matPlats)}).written(NORVIK_IF(exportMAT_PLATS, "matPlats set")),
    NORVIK_ROW("OPTIONS").holding({NORVIK_INTEGER(1, options[0]), NORVIK_INTEGER(2, options[1]), NORVIK_INTEGER(3, options[2])})
        .written(NORVIK_IF(exportOPTIONS, "the three options set")),
    NORVIK_ROW("COEF_ADAPT").holding({NORVIK_REAL(1, coefAdapt)}).written(NORVIK_IF(exportCOEF_ADAPT, "coefAdapt set")),
    NORVIK_ROW("BECHE_PROF")
        .holding({NORVIK_TEXT(1, becheProfile.text1), NORVIK_TEXT(2, becheProfile.text2), NORVIK_TEXT(3, becheProfile.text3)}),
    NORVIK_ROW("MAT_BECHE").holding({NORVIK_TEXT(1, matBeche)}).written(NORVIK_IF(exportMAT_BECHE, "matBeche set")),
    NORVIK_ROW("PLATINE")
        .holding({NORVIK_REAL(1, endPlate.value1), NORVIK_REAL(2, endPlate.value2), NORVIK_REAL(3, endPlate.value3)}),
    NORVIK_ROW("BOULON").holding({NORVIK_REAL(1, bolt.value1), NORVIK_REAL(2, bolt.value2)}),
    NORVIK_ROW("BECHE").holding({NORVIK_REAL(1, beche)}).written(NORVIK_IF(exportBECHE, "beche set")),
    NORVIK_ROW("ADHER").holding({NORVIK_REAL(1, adher)}).written(NORVIK_IF(exportADHER, "adher set")),
    NORVIK_ROW("PRESCEL").holding({NORVIK_REAL(1, prescel)}).written(NORVIK_IF(exportPRESCEL, "prescel set")),
    NORVIK_ROW("TIGE").holding({NORVIK_INTEGER(1, stem.number), NORVIK_REAL(2, stem.value1)}),
    NORVIK_ROW("CALAGE").holding({NORVIK_REAL(1, calage)}).written(NORVIK_IF(exportCALAGE, "calage set")),
    NORVIK_ROW("PLATINE_TROU")
        .holding({NORVIK_INTEGER(1, trouEndPlate.number), NORVIK_REAL(2, trouEndPlate.value1),
                 NORVIK_REAL(3, trouEndPlate.value2)}),
    NORVIK_ROW("PLAQUETTE_DIM")
        .holding({NORVIK_REAL(1, smallPlateDim.value1), NORVIK_INTEGER(2, smallPlateDim.number),
                 NORVIK_REAL(3, smallPlateDim.value2), NORVIK_REAL(4, smallPlateDim.value3)}),
    NORVIK_ROW("RAID_ART")
        .holding({NORVIK_FIXED(columnBase.baseType, 0), NORVIK_REAL(1, columnBase.articulatedRadius.value1),
                 NORVIK_REAL(2, columnBase.articulatedRadius.value2), NORVIK_REAL(3, columnBase.articulatedRadius.value3),
                 NORVIK_REAL(4, columnBase.articulatedRadius.value4), NORVIK_REAL(5, columnBase.articulatedRadius.value5),
                 NORVIK_REAL(6, columnBase.articulatedRadius.value6),
                 NORVIK_INTEGER(7, columnBase.articulatedRadius.number)})
        .written(NORVIK_WHEN("baseType 0", "baseType is 0", articulated))
        .outside(NORVIK_CODE_RANGE(columnBase.baseType, 0, 1, "a base type other than 0 and 1 is read back as 1"))
        .tokens(2),
    NORVIK_ROW("FILE.CEN").holding({NORVIK_FIXED(columnBase.baseType, 0), NORVIK_REAL(1, columnBase.fileCen)})
        .written(NORVIK_WHEN("baseType 0", "baseType is 0", articulated))
        .outside(NORVIK_OUTSIDE(columnBase.rowType,
                                [](const Target& s) {
                                    const int row = s.columnBase.rowType;
                                    return !articulated(s) && row != 0 && row != 1;
                                },
                                "a row type other than 0 and 1 is read back as 1"))
        .tokens(2),
    NORVIK_ROW("RAIDL").holding({NORVIK_FIXED(columnBase.baseType, 1), NORVIK_REAL(1, columnBase.radiusL.value1),
                                NORVIK_REAL(2, columnBase.radiusL.value2)})
        .written(NORVIK_WHEN("RAID", "baseType is not 0 and neither radiusL value is 0",
                             [](const Target& s) { return !articulated(s) && When::RAID(s.columnBase.radiusL); }))
        .leftOutAs("partly-set-line").selectedBy(NORVIK_TEST([](const Target& s) { return !articulated(s); }))
        .tokens(2),
    NORVIK_ROW("RAIDT").holding({NORVIK_FIXED(columnBase.baseType, 1), NORVIK_REAL(1, columnBase.radiusT.value1),
                                NORVIK_REAL(2, columnBase.radiusT.value2)})
        .written(NORVIK_WHEN("RAID", "baseType is not 0 and neither radiusT value is 0",
                             [](const Target& s) { return !articulated(s) && When::RAID(s.columnBase.radiusT); }))
        .leftOutAs("partly-set-line").selectedBy(NORVIK_TEST([](const Target& s) { return !articulated(s); }))
        .tokens(2),
    NORVIK_ROW("FILE.EXT")
        .holding({NORVIK_FIXED(columnBase.baseType, 1), NORVIK_FIXED(columnBase.rowType, 0),
                 NORVIK_INTEGER(1, columnBase.extTige.number), NORVIK_REAL(2, columnBase.extTige.value1),
                 NORVIK_REAL(3, columnBase.extTige.value2), NORVIK_REAL(4, columnBase.extTige.value3)})
        .written(NORVIK_WHEN("rowType 0", "baseType is not 0 and rowType is 0",
                             [](const Target& s) { return !articulated(s) && s.columnBase.rowType == 0; }))
        .tokens(2),
    NORVIK_ROW("FILE.INT")
        .holding({NORVIK_FIXED(columnBase.baseType, 1), NORVIK_FIXED(columnBase.rowType, 1),
                 NORVIK_REAL(1, columnBase.intTige.value1), NORVIK_REAL(2, columnBase.intTige.value2)})
        .written(NORVIK_WHEN("rowType not 0", "baseType is not 0 and rowType is not 0",
                             [](const Target& s) { return !articulated(s) && s.columnBase.rowType != 0; }))
        .tokens(2),
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

const KivNorvikWrittenGroup written[] = {
    KivNorvikWrittenGroup::of<&KivBL2Data::generalGroup>(KivBL2Lines::General, "generalGroup"),
    KivNorvikWrittenGroup::of<&KivBL2Data::columnGroup>(KivBL2Lines::Column, "columnGroup"),
    KivNorvikWrittenGroup::of<&KivBL2Data::supportGroup>(KivBL2Lines::Support, "supportGroup"),
};

} // namespace

const KivNorvikKindLayout KivBL2Lines::layout = {groups, static_cast<int>(std::size(groups)), written,
                                                 static_cast<int>(std::size(written))};
