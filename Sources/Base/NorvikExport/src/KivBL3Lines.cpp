#include "KivBL3Lines.h"

#include "KivBL3Layout.h"
#include "KivNorvikSharedLines.h"
#include "KivNorvikWriterConditions.h"

#include <string>

namespace {

using Line = KivNorvikLineWalker::Line;
using Datum = KivNorvikLineWalker::Datum;
using Shared = KivNorvikSharedLines;
using When = KivNorvikWriterConditions;
using Layout = KivBL3Layout;

// clang-format off
void attachmentNode(KivNorvikLineWalker& w, const KivBL3Data::ATT& a)
{
    w.line(Line("AUTO_VERIF").word("0"));
    w.line(Line("ATT.GRP").when("exportATT_GRP", "grp set", a.exportATT_GRP())
               .integer("att.grp", a.grp).exactTokens(2));
    w.line(Line("ATT.BAR_NB").when("exportATT_BAR_NB", "barNb set", a.exportATT_BAR_NB())
               .integer("att.barNb", a.barNb).exactTokens(2));
    w.line(Line("ATT.NUM").when("exportATT_NUM", "both num set", a.exportATT_NUM())
               .integer("att.num[0]", a.num[0]).integer("att.num[1]", a.num[1]).exactTokens(3));
    w.line(Line("ATT.NOE_NUM").when("exportATT_NOE_NUM", "both noeNum set", a.exportATT_NOE_NUM())
               .integer("att.noeNum[0]", a.noeNum[0]).integer("att.noeNum[1]", a.noeNum[1])
               .minTokens(3));
    if (When::ATT_NOE_NUM_FIRST(a)) {
        w.explain("att.noeNum[1]", "read-as-zero",
                  "ATT.NOE_NUM holds the first number only; the reader sets the second to 0");
    }
    w.line(Line("ATT.NOE_NUM")
               .when("ATT_NOE_NUM_FIRST", "noeNum[0] set and noeNum[1] not", When::ATT_NOE_NUM_FIRST(a))
               .integer("att.noeNum[0]", a.noeNum[0]).sets("att.noeNum[1]", Datum::of(0))
               .exactTokens(2));
    w.line(Line("ATT.NOE_NOM").when("exportATT_NOE_NOM", "noeNom set", a.exportATT_NOE_NOM())
               .text("att.noeNom", a.noeNom).exactTokens(2));
    w.line(Line("ATT.NOE_TITRE").when("exportATT_NOE_TITRE", "noeTitre set", a.exportATT_NOE_TITRE())
               .text("att.noeTitre", a.noeTitre).exactTokens(2));
    w.line(Line("ATT.NOE_XYZ").when("exportATT_NOE_XYZ", "the three noeXyz set", a.exportATT_NOE_XYZ())
               .real("att.noeXyz[0]", a.noeXyz[0]).real("att.noeXyz[1]", a.noeXyz[1])
               .real("att.noeXyz[2]", a.noeXyz[2]).exactTokens(4));
    // One triple, written on four lines.
    for (const char* keyword : {"ATT.BAR1", "ATT.BAR2", "ATT.BAR3", "ATT.BAR4"}) {
        w.line(Line(keyword).when("exportATT_BAR1", "the three bar set", a.exportATT_BAR1())
                   .integer("att.bar[0]", a.bar[0]).integer("att.bar[1]", a.bar[1])
                   .integer("att.bar[2]", a.bar[2]).exactTokens(4));
    }
}

void general(KivNorvikLineWalker& w, const KivBL3Data::BL3GeneralGroup& g)
{
    w.group("GEN", "generalGroup", "always", "always written", true, "");
    const bool beam = g.typeAtt == 0;
    if (g.typeAtt != 0 && g.typeAtt != 1) {
        w.outsideTable("typeAtt", "an attachment type other than 0 and 1, unset included, is "
                                  "written POU/POT and read back as 1");
    }
    w.line(Line("TYPE_ATT").code("typeAtt", g.typeAtt).word(beam ? "POU/POU" : "POU/POT", "POU/POU|POU/POT")
               .sets("typeAtt", Datum::of(beam ? 0 : 1)));
    w.line(Line("NEIGE").when("NEIGE", "neige set (exportNIEGE) and a loading of type 2 or -1", When::NEIGE(g))
               .reason("snow-without-loading").real("neige", g.neige).minTokens(2));
    w.each(g.loadings, [&w](const NorvikGlobalData::GenLoading& l, int i) {
        Shared::loading(w, "loadings", i, l);
    });
    w.line(Line("LIA").when("LIA", "lia set", When::LIA(g)).text("lia", g.lia).minTokens(2));
    w.line(Line("OPT_CALCUL").when("exportOPT_CALCUL", "both optCalcul set", g.exportOPT_CALCUL())
               .integer("optCalcul[0]", g.optCalcul[0]).integer("optCalcul[1]", g.optCalcul[1])
               .minTokens(3));
    attachmentNode(w, g.att);
    Shared::origin(w);
}

void mainElement(KivNorvikLineWalker& w, const KivBL3Data::BL3MainElementGroup& m)
{
    w.group("PRIM", "mainElementGroup", "always", "always written", true, "");
    w.line(Line("MAT").when("exportMAT_MAIN", "mat set", m.exportMAT_MAIN()).text("mat", m.mat).minTokens(2));
    Shared::section(w, "section", m.section, 0);
}

// The keyword comes from the bolt's kind; the reader fills the member of that kind.
void bolt(KivNorvikLineWalker& w, const std::string& m, const KivBL3Data::Bolt& b)
{
    const char* keyword = Layout::wordOf(Layout::boltKeywords, b.kind);
    Shared::codeRange(w, m + ".kind", b.kind, 0, 1, "a bolt kind other than 0 and 1 writes no line");
    static const char* const members[] = {"boltPrim", "boltSec"};
    const std::string to = keyword != nullptr ? members[b.kind] : m;
    w.line(Line(keyword != nullptr ? keyword : "BOU_PRIM", "BOU_PRIM|BOU_SEC")
               .when("BOU", "kind 0 or 1 and the six values set", When::BOU(b))
               .code(m + ".kind", b.kind)
               .real(m + ".value1", b.value1).into(to + ".value1")
               .integer(m + ".number", b.number).into(to + ".number")
               .real(m + ".value2", b.value2).into(to + ".value2")
               .real(m + ".value3", b.value3).into(to + ".value3")
               .real(m + ".value5", b.value5, "%1.1f").into(to + ".value5")
               .real(m + ".value4", b.value4).into(to + ".value4")
               .sets(to + ".kind", Datum::of(b.kind)).minTokens(7));
}

void notch(KivNorvikLineWalker& w, const std::string& m, const KivBL3Data::Notch& n)
{
    const char* keyword = Layout::wordOf(Layout::notchKeywords, n.kind);
    Shared::codeRange(w, m + ".kind", n.kind, 0, 5, "a notch kind outside 0 to 5 writes no line");
    static const char* const members[] = {"notchSup",    "notchInf",    "notchLat",
                                          "notchSupIni", "notchInfIni", "notchLatIni"};
    const std::string to = keyword != nullptr ? members[n.kind] : m;
    w.line(Line(keyword != nullptr ? keyword : "GRUG_SUP", "GRUG_SUP|GRUG_INF|GRUG_LAT|GRUG_SUP_INI|GRUG_INF_INI|GRUG_LAT_INI")
               .when("GRUG", "kind 0 to 5, code not the unset integer and the other values set",
                     When::GRUG(n))
               .code(m + ".kind", n.kind)
               .integer(m + ".code", n.code).into(to + ".code")
               .real(m + ".value1", n.value1).into(to + ".value1")
               .real(m + ".value2", n.value2).into(to + ".value2")
               .integer(m + ".number1", n.number1).into(to + ".number1")
               .integer(m + ".number2", n.number2).into(to + ".number2")
               .sets(to + ".kind", Datum::of(n.kind)).minTokens(6));
}

// The word of a code; a code outside its table gives no word, and the line
// of the keyword alone is passed over.
template <size_t N>
void codeWord(KivNorvikLineWalker& w, const char* keyword, const char* field, int code,
              const char* const (&words)[N], const char* shown)
{
    const char* word = Layout::wordOf(words, code);
    if (word == nullptr && KivNorvikData::isDefined(code)) {
        w.outsideTable(field, std::string("the code has no word: the ") + keyword
                                  + " line holds none");
    }
    Line line(keyword);
    line.code(field, code).word(word != nullptr ? word : "", shown).minTokens(2);
    if (word != nullptr) {
        line.sets(field, Datum::of(code));
    }
    w.line(line);
}

void secondaryElement(KivNorvikLineWalker& w, const KivBL3Data::BL3SecondaryElementGroup& s)
{
    w.group("SEC_1", "secondaryElementGroup", "always", "always written", true, "");
    w.line(Line("MAT").when("exportMAT_SEC", "mat set", s.exportMAT_SEC()).text("mat", s.mat).minTokens(2));
    Shared::section(w, "section", s.section, 0);
    w.line(Line("ANGLE").when("exportANGLE", "angle set", s.exportANGLE()).integer("angle", s.angle).minTokens(2));
    w.line(Line("POS_Z").when("exportPOS_Z", "posZ set", s.exportPOS_Z()).real("posZ", s.posZ).minTokens(2));
    w.line(Line("JEU").when("JEU", "jeu set, within 1e-6 counting as unset", When::JEU(s))
               .real("jeu", s.jeu).minTokens(2));
    codeWord(w, "CONNEC_TYPE", "connecType", s.connecType, Layout::connecTypeWords,
             "RAID|PLAT_ABOUT|PLAT_PLIE|L_GD_AILE|L_PT_AILE");
    codeWord(w, "CONNEC_POS", "connecPos", s.connecPos, Layout::connecPosWords, "DOUBLE|GAUCHE|DROITE");
    w.line(Line("CONNEC_POSZ").when("CONNEC_POSZ", "connecPosZ set", When::CONNEC_POSZ(s))
               .realAsInteger("connecPosZRef", s.connecPosZRef, When::referenceHeight(s.connecPosZRef))
               .real("connecPosZ", s.connecPosZ).minTokens(3));
    w.line(Line("CONNEC_LNG").when("exportCONNEC_LNG", "connecLng set", s.exportCONNEC_LNG())
               .real("connecLng", s.connecLng).minTokens(2));
    w.line(Line("CONNEC_MAT").when("exportCONNEC_MAT", "connecMat set", s.exportCONNEC_MAT())
               .text("connecMat", s.connecMat).minTokens(2));
    Shared::section(w, "connecSection", s.connecSection, 1);
    w.line(Line("DOUBLE_SOLIVE").when("exportDOUBLE_SOLIVE", "doubleSolive set", s.exportDOUBLE_SOLIVE())
               .integer("doubleSolive", s.doubleSolive).minTokens(2));
    bolt(w, "boltPrim", s.boltPrim);
    bolt(w, "boltSec", s.boltSec);
    notch(w, "notchSup", s.notchSup);
    notch(w, "notchInf", s.notchInf);
    notch(w, "notchLat", s.notchLat);
    notch(w, "notchSupIni", s.notchSupIni);
    notch(w, "notchInfIni", s.notchInfIni);
    notch(w, "notchLatIni", s.notchLatIni);
    w.line(Line("EFF").integer("effort.number", s.effort.number).real("effort.value1", s.effort.value1)
               .real("effort.value2", s.effort.value2).real("effort.value3", s.effort.value3)
               .minTokens(2));
}

// clang-format on

} // namespace

void KivBL3Lines::walk(KivNorvikLineWalker& w, const KivBL3Data& d)
{
    w.tag(d.projectName, true);
    general(w, d.generalGroup);
    mainElement(w, d.mainElementGroup);
    secondaryElement(w, d.secondaryElementGroup);
}
