#include "KivBL1Lines.h"

#include "KivNorvikSharedLines.h"
#include "KivNorvikWriterConditions.h"

#include <iterator>

namespace {

using When = KivNorvikWriterConditions;

const char* const sides[] = {"TRA G", "TRA D"};
const char* const boltTypes[] = {"TRA", "REN"};
const char* const positions[] = {"SUP", "INF"};
// Any code but 0 writes the second word.
const KivNorvikWords boltWords = {boltTypes, 2, 1, -1};
const KivNorvikWords positionWords = {positions, 2, 1, -1};

namespace general {
using Target = KivBL1Data::BL1GeneralGroup;
// clang-format off
const KivNorvikLineRule rules[] = {
    NORVIK_ROW("ACIER").holding({NORVIK_REAL(1, acier)}).written(NORVIK_IF(exportACIER, "acier set")),
    NORVIK_ROW("XY").holding({NORVIK_REAL(1, xy[0]), NORVIK_REAL(2, xy[1]), NORVIK_REAL(3, xy[2])})
        .written(NORVIK_IF(exportXY, "the three xy set")),
    NORVIK_ROW("REP_PAGE").holding({NORVIK_TEXT(1, repPage)}).written(NORVIK_IF(exportREP_PAGE, "repPage set")),
    NORVIK_ROW("NOEUD_NUM").holding({NORVIK_INTEGER(1, noeudNum)})
        .written(NORVIK_IF(exportNOEUD_NUM, "noeudNum set")),
    NORVIK_ROW("NOEUD_XYZ")
        .holding({NORVIK_REAL(1, noeudXyz[0]), NORVIK_REAL(2, noeudXyz[1]), NORVIK_REAL(3, noeudXyz[2])})
        .written(NORVIK_IF(exportNOEUD_XYZ, "the three noeudXyz set")),
    // Snow goes with the loadings: written only with a loading of type 2 or -1.
    NORVIK_ROW("NEIGE").holding({NORVIK_REAL(1, neige)})
        .written(NORVIK_WHEN("NEIGE", "neige set (exportNIEGE) and a loading of type 2 or -1",
                             [](const Target& g) { return When::NEIGE(g); }))
        .leftOutAs("snow-without-loading"),
    NORVIK_LOADINGS_ROW(loadings),
    NORVIK_ROW("LIA").holding({NORVIK_TEXT(1, lia)}).written(NORVIK_IF(exportLIA, "lia set")),
    NORVIK_ROW("BOU").holding({NORVIK_INTEGER(1, bolt.number), NORVIK_REAL(2, bolt.value), NORVIK_TEXT(3, bolt.text)})
        .written(NORVIK_IF(exportBOU, "bolt number, value and text set")),
    NORVIK_ROW("ATMOS").wideBefore(1).holding({NORVIK_INTEGER(1, atmos)})
        .written(NORVIK_IF(exportATMOS, "atmos set")),
    NORVIK_ROW("A91").holding({NORVIK_INTEGER(1, a91)}).written(NORVIK_IF(exportA91, "a91 set")),
    NORVIK_ROW("FRX").holding({NORVIK_INTEGER(1, frx)}).written(NORVIK_IF(exportFRX, "frx set")),
    NORVIK_ORIGIN_ROW,
};
// clang-format on
} // namespace general

namespace column {
using Target = KivBL1Data::BL1PotGroup;
// clang-format off
const KivNorvikLineRule rules[] = {
    NORVIK_BL12_SECTION_ROWS(section),
    NORVIK_ROW("CON").holding({NORVIK_TEXT(1, con)}).written(NORVIK_IF(exportCON, "con set")),
    NORVIK_ROW("LIA").holding({NORVIK_INTEGER(1, lia1), NORVIK_INTEGER(2, lia2)})
        .written(NORVIK_IF(exportLIA, "lia1 and lia2 set")),
    // The word "AME" is written; reading does not compare it.
    NORVIK_ROW("RAI").words("(AME) OBLIQ")
        .holding({NORVIK_FIXED(raiAmeType, 0), NORVIK_REAL(3, raiAmeObliq[0]), NORVIK_REAL(4, raiAmeObliq[1])})
        .written(NORVIK_WHEN("exportRAI_AME_OBLIQ", "raiAmeType 0 and both raiAmeObliq set",
                             [](const Target& p) { return p.raiAmeType == 0 && p.exportRAI_AME_OBLIQ(); }))
        .outside(NORVIK_CODE_RANGE(raiAmeType, 0, 1,
                                   "raiAmeType other than 0 (OBLIQ) and 1 (PLAQ) writes neither line")),
    NORVIK_ROW("RAI").words("(AME) PLAQ")
        .holding({NORVIK_FIXED(raiAmeType, 1), NORVIK_REAL(3, raiAmePlaqValue), NORVIK_INTEGER(4, raiAmePlaqNumber)})
        .written(NORVIK_WHEN("exportRAI_AME_PLAQ", "raiAmeType 1, raiAmePlaqValue and raiAmePlaqNumber set",
                             [](const Target& p) { return p.raiAmeType == 1 && p.exportRAI_AME_PLAQ(); })),
};
// clang-format on
} // namespace column

namespace acr {
using Target = KivBL1Data::BL1ACR;
// clang-format off
const KivNorvikLineRule rules[] = {
    NORVIK_ROW("PRO").holding({NORVIK_TEXT(1, pro1), NORVIK_TEXT(2, pro2)})
        .written(NORVIK_IF(exportPRO, "pro1 and pro2 set")),
    NORVIK_ROW("Y").holding({NORVIK_REAL(1, y)}).written(NORVIK_IF(exportY, "y set")),
    NORVIK_ROW("LIA").holding({NORVIK_INTEGER(1, lia1), NORVIK_INTEGER(2, lia2), NORVIK_INTEGER(3, lia3)})
        .written(NORVIK_IF(exportLIA, "lia1, lia2 and lia3 set")),
};
// clang-format on
} // namespace acr

namespace traverse {
using Target = KivBL1Data::BL1Traverse;
using Effort = KivBL1Data::BL1Effort;

// clang-format off
// The word after "BOU" (or before the values of a stiffener or an
// extension) comes from the item's own type or position: a member of the
// group writes the other member's word when its code says so, and reading
// fills the member that the word names.
// NOLINTBEGIN(bugprone-macro-parentheses): the paths follow "t." and are quoted with #.
#define NORVIK_BL1_BOLT_ROW(member, word, kindCode, condition)                                       \
    NORVIK_ROW("BOU").words(word)                                                                 \
        .holding({NORVIK_FIXED(member.type, kindCode), NORVIK_REAL(2, member.value1),                  \
                 NORVIK_REAL(3, member.value2), NORVIK_INTEGER(4, member.number)})                \
        .written(NORVIK_WHEN(#condition, "type, value1, value2 and number set",                  \
                             [](const Target& t) { return t.condition(); }))                      \
        .chosen(NORVIK_CHOICE(1, boltWords, member.type, kindCode,                                    \
                              "a bolt type other than 0 (TRA) and 1 (REN) is read back as 1"))
#define NORVIK_BL1_STIFFENER_ROW(member, pattern, kindCode, condition)                               \
    NORVIK_ROW("RAI").words(pattern).wideBefore(4)                                                \
        .holding({NORVIK_FIXED(member.position, kindCode), NORVIK_REAL(4, member.value1),              \
                 NORVIK_INTEGER(5, member.number), NORVIK_REAL(6, member.value2)})               \
        .written(NORVIK_WHEN(#condition, "position, value1, number and value2 set",              \
                             [](const Target& t) { return t.condition(); }))                      \
        .chosen(NORVIK_CHOICE(3, positionWords, member.position, kindCode,                            \
                              "a stiffener position other than 0 (SUP) and 1 (INF) is read back as 1"))
#define NORVIK_BL1_EXTENSION_ROWS(member, extension, plate, kindCode)                                \
    NORVIK_ROW("BOU").words(extension)                                                            \
        .holding({NORVIK_FIXED(member.position, kindCode), NORVIK_REAL(3, member.bouExt)})             \
        .written(NORVIK_WHEN("exportBOU_EXT_SUP_or_INF", "position and bouExt set",             \
                             [](const Target& t) { return t.member.exportBOU_EXT_SUP_or_INF(); })) \
        .chosen(NORVIK_CHOICE(2, positionWords, member.position, kindCode,                            \
                              "a position other than 0 (SUP) and 1 (INF) is read back as 1")),    \
    NORVIK_ROW("RAI").words(plate)                                                                \
        .holding({NORVIK_FIXED(member.position, kindCode), NORVIK_REAL(3, member.raiPla[0]),           \
                 NORVIK_REAL(4, member.raiPla[1]), NORVIK_REAL(5, member.raiPla[2])})             \
        .written(NORVIK_WHEN("exportRAI_PLA_SUP_or_INF",                                          \
                             "the three raiPla set (an unset position writes INF)",               \
                             [](const Target& t) { return t.member.exportRAI_PLA_SUP_or_INF(); })) \
        .chosen(NORVIK_CHOICE(2, positionWords, member.position, kindCode,                            \
                              "a position other than 0 (SUP) and 1 (INF) is read back as 1"))

const KivNorvikLineRule rules[] = {
    NORVIK_BL12_SECTION_ROWS(section),
    NORVIK_ROW("ANG").holding({NORVIK_REAL(1, ang)}).written(NORVIK_IF(exportANG, "ang set")),
    NORVIK_ROW("DY").holding({NORVIK_REAL(1, dy)}).written(NORVIK_IF(exportDY, "dy set")),
    NORVIK_ROW("REN").words("INF").holding({NORVIK_REAL(2, renInf[0]), NORVIK_REAL(3, renInf[1])})
        .written(NORVIK_IF(exportREN_INF, "both renInf set")),
    NORVIK_ROW("RAI").words("TRA")
        .holding({NORVIK_REAL(2, raiTra.value1), NORVIK_INTEGER(3, raiTra.number), NORVIK_REAL(4, raiTra.value2)})
        .written(NORVIK_IF(exportTRA_RAI, "raiTra value1, number and value2 set")),
    NORVIK_ROW("LIA").holding({NORVIK_INTEGER(1, lia1), NORVIK_INTEGER(2, lia2)})
        .written(NORVIK_IF(exportLIA, "lia1 and lia2 set")),
    NORVIK_ROW_OF(Effort, "EFF")
        .holding({NORVIK_INTEGER_IN(Effort, 1, number), NORVIK_REAL_IN(Effort, 2, value1),
                 NORVIK_REAL_IN(Effort, 3, value2), NORVIK_REAL_IN(Effort, 4, value3)})
        .each(NORVIK_ELEMENTS(efforts)).tokens(1).with(kNorvikRowRepeats),
    NORVIK_ROW("PLA")
        .holding({NORVIK_REAL(1, pla.value1), NORVIK_REAL(2, pla.value2), NORVIK_REAL(3, pla.value3),
                 NORVIK_REAL(4, pla.value4)})
        .written(NORVIK_IF(exportPLA, "pla value1 to value4 set")),
    NORVIK_ROW("SOU_TRA_PLA").holding({NORVIK_REAL(1, souTraPla[0]), NORVIK_REAL(2, souTraPla[1])})
        .written(NORVIK_IF(exportSOU_TRA_PLA, "both souTraPla set")),
    NORVIK_ROW("FIL").holding({NORVIK_INTEGER(1, fil.number), NORVIK_REAL(2, fil.value1), NORVIK_REAL(3, fil.value2)})
        .written(NORVIK_IF(exportFIL, "fil number, value1 and value2 set")),
    NORVIK_BL1_BOLT_ROW(bouTra, "TRA", 0, exportBOU_TRA),
    NORVIK_BL1_BOLT_ROW(bouRen, "REN", 1, exportBOU_REN),
    NORVIK_ROW("BOU").words("DIA")
        .holding({NORVIK_REAL(2, bouDia.value1), NORVIK_TEXT(3, bouDia.text), NORVIK_REAL(4, bouDia.value2)})
        .written(NORVIK_IF(exportBOU_DIA, "bouDia value1, text and value2 set")),
    // "TRA" is written; reading does not compare it.
    NORVIK_BL1_STIFFENER_ROW(raiPotTraSup, "POT (TRA) SUP", 0, exportRAI_POT_TRA_SUP),
    NORVIK_BL1_STIFFENER_ROW(raiPotTraInf, "POT (TRA) INF", 1, exportRAI_POT_TRA_INF),
    NORVIK_BL1_EXTENSION_ROWS(extBoltsSup, "EXT SUP", "PLA SUP", 0),
    NORVIK_BL1_EXTENSION_ROWS(extBoltsInf, "EXT INF", "PLA INF", 1),
    NORVIK_ROW("BOU").words("INF").holding({NORVIK_REAL(2, bouInf)}).written(NORVIK_IF(exportBOU_INF, "bouInf set")),
    // "INF" is written; reading does not compare it.
    NORVIK_ROW("REN").words("SEM (INF)").holding({NORVIK_REAL(3, renSemInf)})
        .written(NORVIK_IF(exportREN_SEM_INF, "renSemInf set")),
};
#undef NORVIK_BL1_BOLT_ROW
#undef NORVIK_BL1_STIFFENER_ROW
#undef NORVIK_BL1_EXTENSION_ROWS
// NOLINTEND(bugprone-macro-parentheses)
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
    {sides[1], 1, traverse::rules, static_cast<int>(std::size(traverse::rules))},
    {sides[0], 1, traverse::rules, static_cast<int>(std::size(traverse::rules))},
};
// clang-format on

namespace record {
using Target = KivBL1Data;

// "POT" is written when `con` is "NON", "ACR" when it is "ACR" (whole text, exact).
bool column(const KivBL1Data& d)
{
    static const KivString no(L"NON");
    return d.potGroup.con == no;
}

bool acrElement(const KivBL1Data& d)
{
    static const KivString acr(L"ACR");
    return d.potGroup.con == acr;
}

// A beam side writes "TRA G" for side 0 and "TRA D" for side 1; a side other
// than those writes its group under an empty header line. Reading gives each
// header's group to its own side, replacing it whole.
template <auto side>
KivNorvikWrittenGroup beamSide(int group, const char* path, int own, KivNorvikCondition when)
{
    KivNorvikWrittenGroup w = KivNorvikWrittenGroup::of<side>(group, path);
    w.when = when;
    w.reason = "group-not-selected";
    w.header.position = 0;
    w.header.words = &KivBL1Lines::sideHeaders;
    w.header.field = "side";
    w.header.code = [](const void* t) { return static_cast<const KivBL1Data::BL1Traverse*>(t)->side; };
    w.header.own = own;
    w.header.outside = "a side other than 0 and 1 writes the group without a header";
    w.replaces = true;
    return w;
}

const KivNorvikWrittenGroup written[] = {
    KivNorvikWrittenGroup::of<&KivBL1Data::generalGroup>(KivBL1Lines::General, "generalGroup"),
    [] {
        KivNorvikWrittenGroup w =
            KivNorvikWrittenGroup::of<&KivBL1Data::potGroup>(KivBL1Lines::Column, "potGroup");
        w.when = NORVIK_WHEN("POT", "con is \"NON\"", column);
        w.reason = "group-not-selected";
        w.outside.field = "con";
        w.outside.holds = [](const void* d) {
            const KivBL1Data& record = *static_cast<const KivBL1Data*>(d);
            return KivNorvikData::isDefined(record.potGroup.con) && !column(record) && !acrElement(record);
        };
        w.outside.message = "con other than \"NON\" and \"ACR\" writes neither group";
        return w;
    }(),
    [] {
        KivNorvikWrittenGroup w = KivNorvikWrittenGroup::of<&KivBL1Data::acr>(KivBL1Lines::ACR, "acr");
        w.when = NORVIK_WHEN("ACR", "con is \"ACR\"", acrElement);
        w.reason = "group-not-selected";
        // The reader keeps the choice of the ACR group in `con`.
        w.setsField = "potGroup.con";
        w.setsText = L"ACR";
        return w;
    }(),
    beamSide<&KivBL1Data::rightTraverse>(
        KivBL1Lines::Right, "rightTraverse", 1,
        NORVIK_WHEN("TRA", "side set; 0 writes TRA G, 1 TRA D",
                    [](const Target& d) { return When::TRA(d.rightTraverse); })),
    beamSide<&KivBL1Data::leftTraverse>(
        KivBL1Lines::Left, "leftTraverse", 0,
        NORVIK_WHEN("TRA", "side set; 0 writes TRA G, 1 TRA D",
                    [](const Target& d) { return When::TRA(d.leftTraverse); })),
};
} // namespace record

} // namespace

const KivNorvikWords KivBL1Lines::sideHeaders = {sides, 2, -1, -1};

const KivNorvikKindLayout KivBL1Lines::layout = {groups, static_cast<int>(std::size(groups)), record::written,
                                                 static_cast<int>(std::size(record::written))};
