#include "KivBL3Lines.h"

#include "KivNorvikSharedLines.h"
#include "KivNorvikWriterConditions.h"

#include <iterator>

namespace {

using When = KivNorvikWriterConditions;

const char* const connecTypes[] = {"RAID", "PLAT_ABOUT", "PLAT_PLIE", "L_GD_AILE", "L_PT_AILE"};
const char* const connecPositions[] = {"DOUBLE", "GAUCHE", "DROITE"};
const char* const typeAtts[] = {"POU/POU", "POU/POT"};
const char* const bolts[] = {"BOU_PRIM", "BOU_SEC"};
const char* const zero[] = {"0"};
const KivNorvikWords autoVerification = {zero, 1, -1, -1}; // "AUTO_VERIF 0"
const char* const notches[] = {"GRUG_SUP",     "GRUG_INF",     "GRUG_LAT",
                               "GRUG_SUP_INI", "GRUG_INF_INI", "GRUG_LAT_INI"};

namespace general {
using Target = KivBL3Data::BL3GeneralGroup;

// The attachment node's lines are indented by five blanks.
constexpr int kNode = 5;

// clang-format off
const KivNorvikLineRule rules[] = {
    // Any code but 0 is written "POU/POT"; any word but "POU/POU" reads as 1.
    NORVIK_ROW("TYPE_ATT").holding({NORVIK_CODE_WORD(1, typeAtt, KivBL3Lines::typeAttWords)}).tokens(2)
        .outside(NORVIK_OUTSIDE(typeAtt, [](const Target& g) { return g.typeAtt != 0 && g.typeAtt != 1; },
                                "an attachment type other than 0 and 1, unset included, is written POU/POT "
                                "and read back as 1")),
    NORVIK_ROW("NEIGE").holding({NORVIK_REAL(1, neige)}).tokens(2)
        .written(NORVIK_WHEN("NEIGE", "neige set (exportNIEGE) and a loading of type 2 or -1",
                             [](const Target& g) { return When::NEIGE(g); }))
        .leftOutAs("snow-without-loading"),
    NORVIK_LOADINGS_ROW(loadings),
    // Another name of the LIA line that files may hold.
    NORVIK_ROW("PROJECT_FILE").holding({NORVIK_TEXT(1, lia)}).tokens(2).with(kNorvikRowReadOnly),
    NORVIK_ROW("LIA").holding({NORVIK_TEXT(1, lia)}).tokens(2)
        .written(NORVIK_WHEN("LIA", "lia set", When::LIA)),
    NORVIK_ROW("OPT_CALCUL").holding({NORVIK_INTEGER(1, optCalcul[0]), NORVIK_INTEGER(2, optCalcul[1])}).tokens(3)
        .written(NORVIK_IF(exportOPT_CALCUL, "both optCalcul set")),
    NORVIK_ROW("AUTO_VERIF").holding({NORVIK_WORD(1, autoVerification)}).with(kNorvikRowAnyTokens),
    // The attachment-node rows compare the keyword exactly and need an exact token count.
    NORVIK_ROW("ATT.GRP").holding({NORVIK_INTEGER(1, att.grp)}).exactly(2)
        .written(NORVIK_WHEN("exportATT_GRP", "grp set", [](const Target& g) { return g.att.exportATT_GRP(); })),
    NORVIK_ROW("ATT.BAR_NB").holding({NORVIK_INTEGER(1, att.barNb)}).exactly(2)
        .written(NORVIK_WHEN("exportATT_BAR_NB", "barNb set", [](const Target& g) { return g.att.exportATT_BAR_NB(); })),
    NORVIK_ROW("ATT.NUM").holding({NORVIK_INTEGER(1, att.num[0]), NORVIK_INTEGER(2, att.num[1])}).exactly(3)
        .written(NORVIK_WHEN("exportATT_NUM", "both num set", [](const Target& g) { return g.att.exportATT_NUM(); })),
    // Written with one or two numbers; with one, reading sets the second to 0.
    NORVIK_ROW("ATT.NOE_NUM").indented(kNode).holding({NORVIK_INTEGER(1, att.noeNum[0]), NORVIK_INTEGER(2, att.noeNum[1])})
        .tokens(3)
        .written(NORVIK_WHEN("exportATT_NOE_NUM", "both noeNum set", [](const Target& g) { return g.att.exportATT_NOE_NUM(); })),
    NORVIK_ROW("ATT.NOE_NUM").indented(kNode).holding({NORVIK_INTEGER(1, att.noeNum[0]), NORVIK_SETS(att.noeNum[1], 0)})
        .exactly(2)
        .written(NORVIK_WHEN("ATT_NOE_NUM_FIRST", "noeNum[0] set and noeNum[1] not",
                             [](const Target& g) { return When::ATT_NOE_NUM_FIRST(g.att); }))
        .noting("att.noeNum[1]", "read-as-zero", "ATT.NOE_NUM holds the first number only; the reader sets the second to 0"),
    NORVIK_ROW("ATT.NOE_NOM").indented(kNode).holding({NORVIK_TEXT(1, att.noeNom)}).exactly(2)
        .written(NORVIK_WHEN("exportATT_NOE_NOM", "noeNom set", [](const Target& g) { return g.att.exportATT_NOE_NOM(); })),
    NORVIK_ROW("ATT.NOE_TITRE").indented(kNode).holding({NORVIK_TEXT(1, att.noeTitre)}).exactly(2)
        .written(NORVIK_WHEN("exportATT_NOE_TITRE", "noeTitre set", [](const Target& g) { return g.att.exportATT_NOE_TITRE(); })),
    NORVIK_ROW("ATT.NOE_XYZ").indented(kNode)
        .holding({NORVIK_REAL(1, att.noeXyz[0]), NORVIK_REAL(2, att.noeXyz[1]), NORVIK_REAL(3, att.noeXyz[2])}).exactly(4)
        .written(NORVIK_WHEN("exportATT_NOE_XYZ", "the three noeXyz set", [](const Target& g) { return g.att.exportATT_NOE_XYZ(); })),
    // The record holds one triple: all four bar lines carry it, and each fills it.
// NOLINTBEGIN(bugprone-macro-parentheses): the paths follow "t." and are quoted with #.
#define NORVIK_BL3_BAR_ROW(keyword)                                                                          \
    NORVIK_ROW(keyword).indented(kNode)                                                                     \
        .holding({NORVIK_INTEGER(1, att.bar[0]), NORVIK_INTEGER(2, att.bar[1]), NORVIK_INTEGER(3, att.bar[2])}) \
        .exactly(4)                                                                                          \
        .written(NORVIK_WHEN("exportATT_BAR1", "the three bar set", [](const Target& g) { return g.att.exportATT_BAR1(); }))
    NORVIK_BL3_BAR_ROW("ATT.BAR1"),
    NORVIK_BL3_BAR_ROW("ATT.BAR2"),
    NORVIK_BL3_BAR_ROW("ATT.BAR3"),
    NORVIK_BL3_BAR_ROW("ATT.BAR4"),
#undef NORVIK_BL3_BAR_ROW
    NORVIK_ORIGIN_ROW,
};
// clang-format on
} // namespace general

namespace main_element {
using Target = KivBL3Data::BL3MainElementGroup;
// clang-format off
const KivNorvikLineRule rules[] = {
    NORVIK_ROW("MAT").holding({NORVIK_TEXT(1, mat)}).tokens(2).written(NORVIK_IF(exportMAT_MAIN, "mat set")),
    NORVIK_SECTION_ROWS(section),
};
// clang-format on
} // namespace main_element

namespace secondary {
using Target = KivBL3Data::BL3SecondaryElementGroup;

// clang-format off
// The keyword of a bolt or notch line comes from the item's own kind: a
// member writes the keyword of its kind, and reading fills the member that
// the keyword names. A kind without a keyword writes no line.
// Bolt lines: value5 stands in the fifth place, with one decimal, and value4 in the sixth.
#define NORVIK_BL3_BOLT_ROW(member, kindCode)                                                                    \
    NORVIK_ROW(bolts[kindCode])                                                                                 \
        .holding({NORVIK_FIXED(member.kind, kindCode), NORVIK_REAL(1, member.value1), NORVIK_INTEGER(2, member.number), \
                 NORVIK_REAL(3, member.value2), NORVIK_REAL(4, member.value3), NORVIK_REAL_AS(5, member.value5, "%1.1f"), \
                 NORVIK_REAL(6, member.value4)})                                                            \
        .tokens(7)                                                                                           \
        .written(NORVIK_WHEN("BOU", "kind 0 or 1 and the six values set", [](const Target& s) { return When::BOU(s.member); })) \
        .chosen(NORVIK_CHOICE(0, KivBL3Lines::boltKeywords, member.kind, kindCode,                                \
                              "a bolt kind other than 0 and 1 writes no line"))
#define NORVIK_BL3_NOTCH_ROW(member, kindCode)                                                                   \
    NORVIK_ROW(notches[kindCode])                                                                               \
        .holding({NORVIK_FIXED(member.kind, kindCode), NORVIK_INTEGER(1, member.code), NORVIK_REAL(2, member.value1),     \
                 NORVIK_REAL(3, member.value2), NORVIK_INTEGER(4, member.number1), NORVIK_INTEGER(5, member.number2)}) \
        .tokens(6)                                                                                           \
        .written(NORVIK_WHEN("GRUG", "kind 0 to 5, code not the unset integer and the other values set",     \
                             [](const Target& s) { return When::GRUG(s.member); }))                          \
        .chosen(NORVIK_CHOICE(0, KivBL3Lines::notchKeywords, member.kind, kindCode,                               \
                              "a notch kind outside 0 to 5 writes no line"))

const KivNorvikLineRule rules[] = {
    NORVIK_ROW("MAT").holding({NORVIK_TEXT(1, mat)}).tokens(2).written(NORVIK_IF(exportMAT_SEC, "mat set")),
    NORVIK_SECTION_ROWS(section),
    NORVIK_ROW("ANGLE").holding({NORVIK_INTEGER(1, angle)}).tokens(2).written(NORVIK_IF(exportANGLE, "angle set")),
    NORVIK_ROW("POS_Z").holding({NORVIK_REAL(1, posZ)}).tokens(2).written(NORVIK_IF(exportPOS_Z, "posZ set")),
    NORVIK_ROW("JEU").holding({NORVIK_REAL(1, jeu)}).tokens(2)
        .written(NORVIK_WHEN("JEU", "jeu set, within 1e-6 counting as unset", When::JEU)),
    // A code without a word writes the keyword alone, which reading passes over.
    NORVIK_ROW("CONNEC_TYPE").holding({NORVIK_CODE_WORD(1, connecType, KivBL3Lines::connecTypeWords)}).tokens(2)
        .outside(NORVIK_OUTSIDE(connecType,
                                [](const Target& s) {
                                    return KivNorvikData::isDefined(s.connecType) &&
                                           KivBL3Lines::connecTypeWords.wordOf(s.connecType) == nullptr;
                                },
                                "the code has no word: the CONNEC_TYPE line holds none")),
    NORVIK_ROW("CONNEC_POS").holding({NORVIK_CODE_WORD(1, connecPos, KivBL3Lines::connecPosWords)}).tokens(2)
        .outside(NORVIK_OUTSIDE(connecPos,
                                [](const Target& s) {
                                    return KivNorvikData::isDefined(s.connecPos) &&
                                           KivBL3Lines::connecPosWords.wordOf(s.connecPos) == nullptr;
                                },
                                "the code has no word: the CONNEC_POS line holds none")),
    // The reference height is written as its integer part.
    NORVIK_ROW("CONNEC_POSZ")
        .holding({NORVIK_REAL_WRITTEN_AS_INTEGER(1, connecPosZRef, When::referenceHeight), NORVIK_REAL(2, connecPosZ)})
        .tokens(3).written(NORVIK_WHEN("CONNEC_POSZ", "connecPosZ set", When::CONNEC_POSZ)),
    NORVIK_ROW("CONNEC_LNG").holding({NORVIK_REAL(1, connecLng)}).tokens(2)
        .written(NORVIK_IF(exportCONNEC_LNG, "connecLng set")),
    NORVIK_ROW("CONNEC_MAT").holding({NORVIK_TEXT(1, connecMat)}).tokens(2)
        .written(NORVIK_IF(exportCONNEC_MAT, "connecMat set")),
    NORVIK_CONNECTION_SECTION_ROWS(connecSection),
    NORVIK_ROW("DOUBLE_SOLIVE").holding({NORVIK_INTEGER(1, doubleSolive)}).tokens(2)
        .written(NORVIK_IF(exportDOUBLE_SOLIVE, "doubleSolive set")),
    NORVIK_BL3_BOLT_ROW(boltPrim, 0),
    NORVIK_BL3_BOLT_ROW(boltSec, 1),
    NORVIK_BL3_NOTCH_ROW(notchSup, 0),
    NORVIK_BL3_NOTCH_ROW(notchInf, 1),
    NORVIK_BL3_NOTCH_ROW(notchLat, 2),
    NORVIK_BL3_NOTCH_ROW(notchSupIni, 3),
    NORVIK_BL3_NOTCH_ROW(notchInfIni, 4),
    NORVIK_BL3_NOTCH_ROW(notchLatIni, 5),
    NORVIK_ROW("EFF")
        .holding({NORVIK_INTEGER(1, effort.number), NORVIK_REAL(2, effort.value1), NORVIK_REAL(3, effort.value2),
                 NORVIK_REAL(4, effort.value3)})
        .tokens(2),
};
#undef NORVIK_BL3_BOLT_ROW
#undef NORVIK_BL3_NOTCH_ROW
// NOLINTEND(bugprone-macro-parentheses)
// clang-format on
} // namespace secondary

// Lines of the main and secondary groups need a keyword and a value.
// clang-format off
const KivNorvikGroupLayout groups[] = {
    {"GEN", 1, general::rules, static_cast<int>(std::size(general::rules))},
    {"PRIM", 2, main_element::rules, static_cast<int>(std::size(main_element::rules))},
    {"SEC_1", 2, secondary::rules, static_cast<int>(std::size(secondary::rules))},
};
// clang-format on

const KivNorvikWrittenGroup written[] = {
    KivNorvikWrittenGroup::of<&KivBL3Data::generalGroup>(KivBL3Lines::General, "generalGroup"),
    KivNorvikWrittenGroup::of<&KivBL3Data::mainElementGroup>(KivBL3Lines::MainElement, "mainElementGroup"),
    KivNorvikWrittenGroup::of<&KivBL3Data::secondaryElementGroup>(KivBL3Lines::SecondaryElement,
                                                                  "secondaryElementGroup"),
};

} // namespace

// Any code but 0 writes "POU/POT", and any word but "POU/POU" reads as 1.
const KivNorvikWords KivBL3Lines::typeAttWords = {typeAtts, 2, 1, 1};
const KivNorvikWords KivBL3Lines::connecTypeWords = {connecTypes, 5, -1, -1};
const KivNorvikWords KivBL3Lines::connecPosWords = {connecPositions, 3, -1, -1};
const KivNorvikWords KivBL3Lines::boltKeywords = {bolts, 2, -1, -1};
const KivNorvikWords KivBL3Lines::notchKeywords = {notches, 6, -1, -1};

const KivNorvikKindLayout KivBL3Lines::layout = {groups, static_cast<int>(std::size(groups)), written,
                                                 static_cast<int>(std::size(written))};
