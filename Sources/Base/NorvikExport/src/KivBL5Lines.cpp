#include "KivBL5Lines.h"

#include "KivNorvikSharedLines.h"
#include "KivNorvikWriterConditions.h"

#include <iterator>

// BL5 lines are written as their values stand; only the snow line has a condition.
namespace {

using When = KivNorvikWriterConditions;

// Any reference but 1 is written "LOCAL"; a word that is neither is unknown.
const char* const angleReferences[] = {"LOCAL", "GLOBAL"};
const KivNorvikWords angleWords = {angleReferences, 2, 0, -1};

namespace general {
using Target = KivBL5Data::BL5GeneralGroup;
// clang-format off
const KivNorvikLineRule rules[] = {
    NORVIK_ROW("NBR_DIAG").holding({NORVIK_INTEGER(1, nbrDiag)}),
    // The comma after the first number is part of the line.
    NORVIK_ROW("OPT_CALUL").holding({NORVIK_LIST_INTEGER(1, optCalul[0]), NORVIK_INTEGER(2, optCalul[1])}),
    NORVIK_ROW("ANGLE_DIAG").holding({NORVIK_CODE_WORD(1, angleDiag, angleWords)}).tokens(2)
        .outside(NORVIK_OUTSIDE(angleDiag, [](const Target& g) { return g.angleDiag != 0 && g.angleDiag != 1; },
                                "an angle reference other than 0 and 1, unset included, is written LOCAL "
                                "and read back as 0")),
    NORVIK_ROW("TYPE_ATT").holding({NORVIK_INTEGER(1, typeAtt)}),
    NORVIK_ROW("NOEUD").holding({NORVIK_INTEGER(1, noeud)}),
    NORVIK_ROW("XY").holding({NORVIK_REAL(1, xy[0]), NORVIK_REAL(2, xy[1]), NORVIK_REAL(3, xy[2])}),
    NORVIK_ROW("NEIGE").holding({NORVIK_REAL(1, neige)})
        .written(NORVIK_WHEN("NEIGE", "the loading is of type 2 or -1", When::NEIGE))
        .leftOutAs("snow-without-loading"),
    NORVIK_LOADING_ROW(loading),
    NORVIK_ROW("LIA").holding({NORVIK_TEXT(1, lia)}),
    NORVIK_ROW("BOU_CLS").holding({NORVIK_REAL_AS(1, bouCls, "%1.1f")}),
    NORVIK_ROW("Q_SOUD").holding({NORVIK_TEXT(1, qSoud)}),
    NORVIK_ORIGIN_ROW,
};
// clang-format on
} // namespace general

namespace main_element {
using Target = KivBL5Data::BL5MainElementGroup;
// clang-format off
const KivNorvikLineRule rules[] = {
    NORVIK_ROW("ANGLE").wideBefore(1).holding({NORVIK_REAL(1, angle)}),
    NORVIK_ROW("NUM_MEMB1").holding({NORVIK_INTEGER(1, numMemb1[0]), NORVIK_INTEGER(2, numMemb1[1])}),
    NORVIK_ROW("NUM_MEMB2").holding({NORVIK_INTEGER(1, numMemb2[0]), NORVIK_INTEGER(2, numMemb2[1])}),
    NORVIK_ROW("MAT").holding({NORVIK_TEXT(1, mat)}),
    NORVIK_SECTION_ROWS(section),
    NORVIK_ROW("TOURNE_SEC").holding({NORVIK_INTEGER(1, tourneSec)}),
    NORVIK_ROW("EFF").holding({NORVIK_INTEGER(1, effNumber), NORVIK_REAL(2, eff[0]), NORVIK_REAL(3, eff[1]),
                              NORVIK_REAL(4, eff[2])}),
    NORVIK_ROW("GOUSSET").holding({NORVIK_REAL(1, gousset1), NORVIK_INTEGER(2, gousset2), NORVIK_REAL(3, gousset3)}),
};
// clang-format on
} // namespace main_element

namespace column {
using Target = KivBL5Data::BL5ColumnGroup;
// clang-format off
const KivNorvikLineRule rules[] = {
    NORVIK_ROW("NUM_MONT").holding({NORVIK_INTEGER(1, numMont[0]), NORVIK_INTEGER(2, numMont[1])}),
    NORVIK_ROW("MAT").holding({NORVIK_TEXT(1, mat)}),
    NORVIK_ROW("ANGLE").holding({NORVIK_REAL(1, angle)}),
    NORVIK_SECTION_ROWS(section),
    NORVIK_ROW("TOURNE_SEC").holding({NORVIK_INTEGER(1, tourneSec)}),
};
// clang-format on
} // namespace column

namespace diagonal {
using Target = KivBL5Data::BL5DiagonalElementGroup;
// clang-format off
const KivNorvikLineRule rules[] = {
    NORVIK_ROW("ANGLE").holding({NORVIK_REAL(1, angle)}),
    NORVIK_ROW("NUM_ELT").holding({NORVIK_LIST_INTEGER(1, numElt[0]), NORVIK_INTEGER(2, numElt[1])}),
    NORVIK_ROW("MAT").holding({NORVIK_TEXT(1, mat)}),
    NORVIK_SECTION_ROWS(section),
    NORVIK_ROW("TOURNE_SEC").holding({NORVIK_INTEGER(1, tourneSec)}),
    NORVIK_ROW("EFF").holding({NORVIK_INTEGER(1, effNumber), NORVIK_REAL(2, eff)}),
    // The nine "GHCP" lines, always all of them: the word after the keyword names the values.
    NORVIK_ROW("GHCP").words("GOU_DIM")
        .holding({NORVIK_REAL(2, ghcp.gouDim[0]), NORVIK_REAL(3, ghcp.gouDim[1]), NORVIK_REAL(4, ghcp.gouDim[2]),
                 NORVIK_REAL(5, ghcp.gouDim[3])}),
    NORVIK_ROW("GHCP").words("GOU_POS")
        .holding({NORVIK_INTEGER(2, ghcp.gouPos1), NORVIK_REAL(3, ghcp.gouPos2), NORVIK_INTEGER(4, ghcp.gouPos3)}),
    NORVIK_ROW("GHCP").words("BOU_DIA").holding({NORVIK_REAL(2, ghcp.bouDia)}),
    NORVIK_ROW("GHCP").words("BOU_X")
        .holding({NORVIK_INTEGER(2, ghcp.bouXNumber), NORVIK_REAL(3, ghcp.bouX[0]), NORVIK_REAL(4, ghcp.bouX[1]),
                 NORVIK_REAL(5, ghcp.bouX[2])}),
    NORVIK_ROW("GHCP").words("BOU_Y").holding({NORVIK_INTEGER(2, ghcp.bouYNumber), NORVIK_REAL(3, ghcp.bouY)}),
    NORVIK_ROW("GHCP").words("CHP_DIM")
        .holding({NORVIK_REAL(2, ghcp.chpDim[0]), NORVIK_REAL(3, ghcp.chpDim[1]), NORVIK_REAL(4, ghcp.chpDim[2])}),
    NORVIK_ROW("GHCP").words("SOUDURE").holding({NORVIK_REAL(2, ghcp.soudure[0]), NORVIK_REAL(3, ghcp.soudure[1])}),
    NORVIK_ROW("GHCP").words("JEUX").holding({NORVIK_REAL(2, ghcp.jeux[0]), NORVIK_REAL(3, ghcp.jeux[1])}),
    NORVIK_ROW("GHCP").words("PENETR").holding({NORVIK_INTEGER(2, ghcp.penetrNumber), NORVIK_REAL(3, ghcp.penetr)}),
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

namespace record {
using Target = KivBL5Data;

// Both diagonals are written, the first and then the second, whatever
// nbrDiag holds; each "DIAG_n" group read fills the next one.
template <int index>
KivNorvikWrittenGroup diagonalGroup(const char* path)
{
    KivNorvikWrittenGroup w;
    w.group = KivBL5Lines::Diagonal;
    w.path = path;
    w.member = [](const KivNorvikData& d) {
        return KivNorvikTarget::of(static_cast<const KivBL5Data&>(d).diagonalElementGroups[index]);
    };
    w.when.text = "always written, the first and then the second diagonal";
    w.number = [](const void* o) {
        return static_cast<const KivBL5Data::BL5DiagonalElementGroup*>(o)->number;
    };
    w.numberField = "number";
    w.replaces = true;
    return w;
}

// The column group replaces the main element group when typeAtt is 2; the
// group not written keeps its values.
const KivNorvikWrittenGroup written[] = {
    KivNorvikWrittenGroup::of<&KivBL5Data::generalGroup>(KivBL5Lines::General, "generalGroup"),
    [] {
        KivNorvikWrittenGroup w = KivNorvikWrittenGroup::of<&KivBL5Data::mainElementGroup>(
            KivBL5Lines::MainElement, "mainElementGroup");
        w.when = NORVIK_WHEN("not MONTANT", "typeAtt is not 2",
                             [](const Target& d) { return !When::MONTANT(d.generalGroup); });
        w.reason = "group-not-selected";
        return w;
    }(),
    [] {
        KivNorvikWrittenGroup w =
            KivNorvikWrittenGroup::of<&KivBL5Data::columnGroup>(KivBL5Lines::Column, "columnGroup");
        w.when = NORVIK_WHEN("MONTANT", "typeAtt is 2",
                             [](const Target& d) { return When::MONTANT(d.generalGroup); });
        w.reason = "group-not-selected";
        return w;
    }(),
    diagonalGroup<0>("diagonalElementGroups[0]"),
    diagonalGroup<1>("diagonalElementGroups[1]"),
};
} // namespace record

} // namespace

const KivNorvikKindLayout KivBL5Lines::layout = {groups, static_cast<int>(std::size(groups)), record::written,
                                                 static_cast<int>(std::size(record::written))};
