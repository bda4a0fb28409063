#include "KivBL3Layout.h"

#include "KivBL3Data.h"
#include "KivNorvikSharedRules.h"

#include <iterator>

namespace {

// The code of token 1 among `words`; -1 when it is none of them.
template <size_t N>
int codeOf(const KivNorvikLineTokens& tokens, const char* const (&words)[N])
{
    for (int i = 0; i < static_cast<int>(N); ++i) {
        if (tokens[1] == words[i]) {
            return i;
        }
    }
    return -1;
}

namespace general {
using Target = KivBL3Data::BL3GeneralGroup;

// Keywords beginning with "ATT" in any letter case make up the attachment-node
// rows, which compare the keyword exactly and need an exact token count. No
// earlier row's keyword begins with "ATT", and a line that starts with "ATT"
// but fits no row is ignored either way, so the rows alone read the lines as
// a case-insensitive "ATT" gate in front of them would.
// clang-format off
const KivNorvikLineRule rules[] = {
    // Any word but "POU/POU" reads as 1; the writer writes "POU/POT" for it.
    {"TYPE_ATT", "*", 0, 0, {NORVIK_FILLED(1, Text, "typeAtt")},
     NORVIK_FILL([](Target& t, const KivNorvikLineTokens& tokens) {
         const int code = codeOf(tokens, KivBL3Layout::typeAttWords);
         t.typeAtt = code == 0 ? 0 : 1;
         return code < 0 ? KivNorvikFillResult::UnknownWord : KivNorvikFillResult::Done;
     })},
    {"NEIGE", "", 2, 0, {NORVIK_REAL(1, neige)}, nullptr},
    NORVIK_CHA_ROW(loadings),
    {"PROJECT_FILE", "", 2, 0, {NORVIK_TEXT(1, lia)}, nullptr},
    {"LIA", "", 2, 0, {NORVIK_TEXT(1, lia)}, nullptr},
    {"OPT_CALCUL", "", 3, 0, {NORVIK_INTEGER(1, optCalcul[0]), NORVIK_INTEGER(2, optCalcul[1])},
     nullptr},
    {"ATT.GRP", "", 0, 2, {NORVIK_INTEGER(1, att.grp)}, nullptr},
    {"ATT.BAR_NB", "", 0, 2, {NORVIK_INTEGER(1, att.barNb)}, nullptr},
    {"ATT.NUM", "", 0, 3, {NORVIK_INTEGER(1, att.num[0]), NORVIK_INTEGER(2, att.num[1])}, nullptr},
    // One node number: the second is 0.
    {"ATT.NOE_NUM", "", 0, 2, {NORVIK_INTEGER(1, att.noeNum[0]), NORVIK_FIXED(att.noeNum[1], 0)},
     nullptr},
    {"ATT.NOE_NUM", "", 3, 0, {NORVIK_INTEGER(1, att.noeNum[0]), NORVIK_INTEGER(2, att.noeNum[1])},
     nullptr},
    {"ATT.NOE_NOM", "", 0, 2, {NORVIK_TEXT(1, att.noeNom)}, nullptr},
    {"ATT.NOE_TITRE", "", 0, 2, {NORVIK_TEXT(1, att.noeTitre)}, nullptr},
    {"ATT.NOE_XYZ", "", 0, 4,
     {NORVIK_REAL(1, att.noeXyz[0]), NORVIK_REAL(2, att.noeXyz[1]), NORVIK_REAL(3, att.noeXyz[2])},
     nullptr},
#define NORVIK_BL3_BAR_ROW(keyword)                                                           \
    {keyword, "", 0, 4,                                                                       \
     {NORVIK_INTEGER(1, att.bar[0]), NORVIK_INTEGER(2, att.bar[1]), NORVIK_INTEGER(3, att.bar[2])}, \
     nullptr}
    // Each of the four bar lines fills the one triple.
    NORVIK_BL3_BAR_ROW("ATT.BAR1"),
    NORVIK_BL3_BAR_ROW("ATT.BAR2"),
    NORVIK_BL3_BAR_ROW("ATT.BAR3"),
    NORVIK_BL3_BAR_ROW("ATT.BAR4"),
#undef NORVIK_BL3_BAR_ROW
    {"AUTO_VERIF", "", 0, 0, {}, nullptr, kNorvikRowAnyTokens},
    NORVIK_ORIGIN_ROW,
};
// clang-format on
} // namespace general

namespace main_element {
using Target = KivBL3Data::BL3MainElementGroup;
// clang-format off
const KivNorvikLineRule rules[] = {
    NORVIK_SECTION_ROW("SECTION", section),
    {"MAT", "", 2, 0, {NORVIK_TEXT(1, mat)}, nullptr},
};
// clang-format on
} // namespace main_element

namespace secondary {
using Target = KivBL3Data::BL3SecondaryElementGroup;

// Bolt lines: value5 stands in the fifth place and value4 in the sixth.
// clang-format off
// NOLINTBEGIN(bugprone-macro-parentheses): the arguments are member paths ("a.b") that
// follow "t." and are quoted with #; parentheses would break both.
#define NORVIK_BL3_BOLT_ROW(member, kindCode)                                                 \
    {KivBL3Layout::boltKeywords[kindCode], "", 7, 0,                                                                       \
     {NORVIK_FIXED(member.kind, kindCode), NORVIK_REAL(1, member.value1),                         \
      NORVIK_INTEGER(2, member.number), NORVIK_REAL(3, member.value2),                        \
      NORVIK_REAL(4, member.value3), NORVIK_REAL(5, member.value5),                           \
      NORVIK_REAL(6, member.value4)},                                                         \
     nullptr}
#define NORVIK_BL3_NOTCH_ROW(member, kindCode)                                                \
    {KivBL3Layout::notchKeywords[kindCode], "", 6, 0,                                                                       \
     {NORVIK_FIXED(member.kind, kindCode), NORVIK_INTEGER(1, member.code),                        \
      NORVIK_REAL(2, member.value1), NORVIK_REAL(3, member.value2),                           \
      NORVIK_INTEGER(4, member.number1), NORVIK_INTEGER(5, member.number2)},                  \
     nullptr}
// NOLINTEND(bugprone-macro-parentheses)

const KivNorvikLineRule rules[] = {
    {"MAT", "", 2, 0, {NORVIK_TEXT(1, mat)}, nullptr},
    NORVIK_SECTION_ROW("SECTION", section),
    {"ANGLE", "", 2, 0, {NORVIK_INTEGER(1, angle)}, nullptr},
    {"POS_Z", "", 2, 0, {NORVIK_REAL(1, posZ)}, nullptr},
    {"JEU", "", 2, 0, {NORVIK_REAL(1, jeu)}, nullptr},
    // A word without a code leaves the field as it was.
    {"CONNEC_TYPE", "*", 0, 0, {NORVIK_FILLED(1, Text, "connecType")},
     NORVIK_FILL([](Target& t, const KivNorvikLineTokens& tokens) {
         const int code = codeOf(tokens, KivBL3Layout::connecTypeWords);
         if (code < 0)
             return KivNorvikFillResult::UnknownWord;
         t.connecType = code;
         return KivNorvikFillResult::Done;
     })},
    {"CONNEC_POS", "*", 0, 0, {NORVIK_FILLED(1, Text, "connecPos")},
     NORVIK_FILL([](Target& t, const KivNorvikLineTokens& tokens) {
         const int code = codeOf(tokens, KivBL3Layout::connecPosWords);
         if (code < 0)
             return KivNorvikFillResult::UnknownWord;
         t.connecPos = code;
         return KivNorvikFillResult::Done;
     })},
    {"CONNEC_POSZ", "", 3, 0, {NORVIK_REAL(1, connecPosZRef), NORVIK_REAL(2, connecPosZ)}, nullptr},
    {"CONNEC_LNG", "", 2, 0, {NORVIK_REAL(1, connecLng)}, nullptr},
    {"CONNEC_MAT", "", 2, 0, {NORVIK_TEXT(1, connecMat)}, nullptr},
    NORVIK_SECTION_ROW("CONNEC_SEC", connecSection),
    {"DOUBLE_SOLIVE", "", 2, 0, {NORVIK_INTEGER(1, doubleSolive)}, nullptr},
    NORVIK_BL3_BOLT_ROW(boltPrim, 0),
    NORVIK_BL3_BOLT_ROW(boltSec, 1),
    NORVIK_BL3_NOTCH_ROW(notchSupIni, 3),
    NORVIK_BL3_NOTCH_ROW(notchInfIni, 4),
    NORVIK_BL3_NOTCH_ROW(notchLatIni, 5),
    NORVIK_BL3_NOTCH_ROW(notchSup, 0),
    NORVIK_BL3_NOTCH_ROW(notchInf, 1),
    NORVIK_BL3_NOTCH_ROW(notchLat, 2),
    {"EFF", "", 2, 0,
     {NORVIK_INTEGER(1, effort.number), NORVIK_REAL(2, effort.value1),
      NORVIK_REAL(3, effort.value2), NORVIK_REAL(4, effort.value3)},
     nullptr},
};
// clang-format on

#undef NORVIK_BL3_BOLT_ROW
#undef NORVIK_BL3_NOTCH_ROW
} // namespace secondary

// Lines of the main and secondary groups need a keyword and a value.
// clang-format off
const KivNorvikGroupLayout groups[] = {
    {"GEN", 1, general::rules, static_cast<int>(std::size(general::rules))},
    {"PRIM", 2, main_element::rules,
     static_cast<int>(std::size(main_element::rules))},
    {"SEC_1", 2, secondary::rules,
     static_cast<int>(std::size(secondary::rules))},
};
// clang-format on

const KivNorvikKindLayout layout = {"BL3", groups, static_cast<int>(std::size(groups)), "NV_ATT"};

} // namespace

const KivNorvikKindLayout& KivBL3Layout::kind() { return layout; }
