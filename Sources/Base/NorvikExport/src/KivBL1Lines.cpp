#include "KivBL1Lines.h"

#include "KivNorvikSharedLines.h"
#include "KivNorvikWriterConditions.h"

#include <string>

namespace {

using Line = KivNorvikLineWalker::Line;
using Datum = KivNorvikLineWalker::Datum;
using Shared = KivNorvikSharedLines;
using When = KivNorvikWriterConditions;

// clang-format off
void general(KivNorvikLineWalker& w, const KivBL1Data::BL1GeneralGroup& g)
{
    w.group("GEN", "generalGroup", "always", "always written", true, "");
    w.line(Line("ACIER").when("exportACIER", "acier set", g.exportACIER()).real("acier", g.acier));
    w.line(Line("XY").when("exportXY", "the three xy set", g.exportXY())
               .real("xy[0]", g.xy[0]).real("xy[1]", g.xy[1]).real("xy[2]", g.xy[2]));
    w.line(Line("REP_PAGE").when("exportREP_PAGE", "repPage set", g.exportREP_PAGE())
               .text("repPage", g.repPage));
    w.line(Line("NOEUD_NUM").when("exportNOEUD_NUM", "noeudNum set", g.exportNOEUD_NUM())
               .integer("noeudNum", g.noeudNum));
    w.line(Line("NOEUD_XYZ").when("exportNOEUD_XYZ", "the three noeudXyz set", g.exportNOEUD_XYZ())
               .real("noeudXyz[0]", g.noeudXyz[0]).real("noeudXyz[1]", g.noeudXyz[1])
               .real("noeudXyz[2]", g.noeudXyz[2]));
    w.line(Line("NEIGE").when("NEIGE", "neige set (exportNIEGE) and a loading of type 2 or -1", When::NEIGE(g))
               .reason("snow-without-loading").real("neige", g.neige));
    w.each(g.loadings, [&w](const NorvikGlobalData::GenLoading& l, int i) {
        Shared::loading(w, "loadings", i, l);
    });
    w.line(Line("LIA").when("exportLIA", "lia set", g.exportLIA()).text("lia", g.lia));
    w.line(Line("BOU").when("exportBOU", "bolt number, value and text set", g.exportBOU())
               .integer("bolt.number", g.bolt.number).real("bolt.value", g.bolt.value)
               .text("bolt.text", g.bolt.text));
    w.line(Line("ATMOS").when("exportATMOS", "atmos set", g.exportATMOS()).integer("atmos", g.atmos));
    w.line(Line("A91").when("exportA91", "a91 set", g.exportA91()).integer("a91", g.a91));
    w.line(Line("FRX").when("exportFRX", "frx set", g.exportFRX()).integer("frx", g.frx));
    Shared::origin(w);
}

void column(KivNorvikLineWalker& w, const KivBL1Data& d)
{
    const KivBL1Data::BL1PotGroup& p = d.potGroup;
    w.group("POT", "potGroup", "POT", "con is \"NON\"", When::POT(d), "group-not-selected");
    if (KivNorvikData::isDefined(p.con) && !When::POT(d) && !When::ACR(d)) {
        w.outsideTable("con", "con other than \"NON\" and \"ACR\" writes neither group");
    }
    Shared::section(w, "section", p.section, 2);
    w.line(Line("CON").when("exportCON", "con set", p.exportCON()).text("con", p.con).minTokens(2));
    w.line(Line("LIA").when("exportLIA", "lia1 and lia2 set", p.exportLIA())
               .integer("lia1", p.lia1).integer("lia2", p.lia2));
    Shared::codeRange(w, "raiAmeType", p.raiAmeType, 0, 1,
                      "raiAmeType other than 0 (OBLIQ) and 1 (PLAQ) writes neither line");
    w.line(Line("RAI AME OBLIQ")
               .when("exportRAI_AME_OBLIQ", "raiAmeType 0 and both raiAmeObliq set",
                     p.raiAmeType == 0 && p.exportRAI_AME_OBLIQ())
               .code("raiAmeType", p.raiAmeType)
               .real("raiAmeObliq[0]", p.raiAmeObliq[0]).real("raiAmeObliq[1]", p.raiAmeObliq[1])
               .sets("raiAmeType", Datum::of(0)));
    w.line(Line("RAI AME PLAQ")
               .when("exportRAI_AME_PLAQ", "raiAmeType 1, raiAmePlaqValue and raiAmePlaqNumber set",
                     p.raiAmeType == 1 && p.exportRAI_AME_PLAQ())
               .code("raiAmeType", p.raiAmeType)
               .real("raiAmePlaqValue", p.raiAmePlaqValue)
               .integer("raiAmePlaqNumber", p.raiAmePlaqNumber)
               .sets("raiAmeType", Datum::of(1)));
}

void acr(KivNorvikLineWalker& w, const KivBL1Data& d)
{
    const KivBL1Data::BL1ACR& a = d.acr;
    w.group("ACR", "acr", "ACR", "con is \"ACR\"", When::ACR(d), "group-not-selected");
    // The reader keeps the choice of the ACR group in `con`.
    w.groupSets("potGroup.con", Datum::of(KivString(L"ACR")), true);
    w.line(Line("PRO").when("exportPRO", "pro1 and pro2 set", a.exportPRO())
               .text("pro1", a.pro1).text("pro2", a.pro2).minTokens(2));
    w.line(Line("Y").when("exportY", "y set", a.exportY()).real("y", a.y));
    w.line(Line("LIA").when("exportLIA", "lia1, lia2 and lia3 set", a.exportLIA())
               .integer("lia1", a.lia1).integer("lia2", a.lia2).integer("lia3", a.lia3));
}

// "BOU TRA" (type 0) or "BOU REN" (any other type); the reader fills bouTra
// or bouRen by the word, whichever member wrote it.
void bolt(KivNorvikLineWalker& w, const std::string& m, const KivBL1Data::BL1TraverseBolt& b,
          const char* condition, bool holds)
{
    Shared::codeRange(w, m + ".type", b.type, 0, 1, "a bolt type other than 0 (TRA) and 1 (REN) is read back as 1");
    const bool tra = b.type == 0;
    const std::string to = tra ? "bouTra" : "bouRen";
    w.line(Line(tra ? "BOU TRA" : "BOU REN", "BOU TRA|BOU REN")
               .when(condition, "type, value1, value2 and number set", holds)
               .code(m + ".type", b.type)
               .real(m + ".value1", b.value1).into(to + ".value1")
               .real(m + ".value2", b.value2).into(to + ".value2")
               .integer(m + ".number", b.number).into(to + ".number")
               .sets(to + ".type", Datum::of(tra ? 0 : 1)));
}

void stiffener(KivNorvikLineWalker& w, const std::string& m, const KivBL1Data::BL1Stiff& s,
               const char* condition, bool holds)
{
    Shared::codeRange(w, m + ".position", s.position, 0, 1,
                      "a stiffener position other than 0 (SUP) and 1 (INF) is read back as 1");
    const bool sup = s.position == 0;
    const std::string to = sup ? "raiPotTraSup" : "raiPotTraInf";
    w.line(Line(sup ? "RAI POT TRA SUP" : "RAI POT TRA INF", "RAI POT TRA SUP|RAI POT TRA INF")
               .when(condition, "position, value1, number and value2 set", holds)
               .code(m + ".position", s.position)
               .real(m + ".value1", s.value1).into(to + ".value1")
               .integer(m + ".number", s.number).into(to + ".number")
               .real(m + ".value2", s.value2).into(to + ".value2")
               .sets(to + ".position", Datum::of(sup ? 0 : 1)));
}

void extension(KivNorvikLineWalker& w, const std::string& m, const KivBL1Data::BL1ExtBolts& e)
{
    Shared::codeRange(w, m + ".position", e.position, 0, 1,
                      "a position other than 0 (SUP) and 1 (INF) is read back as 1");
    const bool sup = e.position == 0;
    const std::string to = sup ? "extBoltsSup" : "extBoltsInf";
    w.line(Line(sup ? "BOU EXT SUP" : "BOU EXT INF", "BOU EXT SUP|BOU EXT INF")
               .when("exportBOU_EXT_SUP_or_INF", "position and bouExt set", e.exportBOU_EXT_SUP_or_INF())
               .code(m + ".position", e.position)
               .real(m + ".bouExt", e.bouExt).into(to + ".bouExt")
               .sets(to + ".position", Datum::of(sup ? 0 : 1)));
    w.line(Line(sup ? "RAI PLA SUP" : "RAI PLA INF", "RAI PLA SUP|RAI PLA INF")
               .when("exportRAI_PLA_SUP_or_INF", "the three raiPla set (an unset position writes INF)",
                     e.exportRAI_PLA_SUP_or_INF())
               .code(m + ".position", e.position)
               .real(m + ".raiPla[0]", e.raiPla[0]).into(to + ".raiPla[0]")
               .real(m + ".raiPla[1]", e.raiPla[1]).into(to + ".raiPla[1]")
               .real(m + ".raiPla[2]", e.raiPla[2]).into(to + ".raiPla[2]")
               .sets(to + ".position", Datum::of(sup ? 0 : 1)));
}

void traverse(KivNorvikLineWalker& w, const char* path, const KivBL1Data::BL1Traverse& t)
{
    w.group("TRA G|TRA D", path, "TRA", "side set; 0 writes TRA G, 1 TRA D", When::TRA(t),
            "group-not-selected");
    Shared::codeRange(w, "side", t.side, 0, 1, "a side other than 0 and 1 writes the group without a header");
    // "TRA D" fills the right side, "TRA G" the left one, each as a whole.
    const char* member = t.side == 1 ? "rightTraverse" : t.side == 0 ? "leftTraverse" : "";
    if (member[0] != '\0' && path != std::string(member)) {
        w.explain("side", "read-elsewhere", std::string("the group is read back as ") + member);
    }
    w.readInto(member, true);
    w.groupSets("side", Datum::of(t.side == 1 ? 1 : 0));
    Shared::section(w, "section", t.section, 1);
    w.line(Line("ANG").when("exportANG", "ang set", t.exportANG()).real("ang", t.ang));
    w.line(Line("DY").when("exportDY", "dy set", t.exportDY()).real("dy", t.dy));
    w.line(Line("REN INF").when("exportREN_INF", "both renInf set", t.exportREN_INF())
               .real("renInf[0]", t.renInf[0]).real("renInf[1]", t.renInf[1]));
    w.line(Line("RAI TRA").when("exportTRA_RAI", "raiTra value1, number and value2 set", t.exportTRA_RAI())
               .real("raiTra.value1", t.raiTra.value1).integer("raiTra.number", t.raiTra.number)
               .real("raiTra.value2", t.raiTra.value2));
    w.line(Line("LIA").when("exportLIA", "lia1 and lia2 set", t.exportLIA())
               .integer("lia1", t.lia1).integer("lia2", t.lia2));
    w.each(t.efforts, [&w](const KivBL1Data::BL1Effort& e, int i) {
        w.line(Line("EFF").element("efforts", i).integer("number", e.number)
                   .real("value1", e.value1).real("value2", e.value2).real("value3", e.value3));
    });
    w.line(Line("PLA").when("exportPLA", "pla value1 to value4 set", t.exportPLA())
               .real("pla.value1", t.pla.value1).real("pla.value2", t.pla.value2)
               .real("pla.value3", t.pla.value3).real("pla.value4", t.pla.value4));
    w.line(Line("SOU_TRA_PLA").when("exportSOU_TRA_PLA", "both souTraPla set", t.exportSOU_TRA_PLA())
               .real("souTraPla[0]", t.souTraPla[0]).real("souTraPla[1]", t.souTraPla[1]));
    w.line(Line("FIL").when("exportFIL", "fil number, value1 and value2 set", t.exportFIL())
               .integer("fil.number", t.fil.number).real("fil.value1", t.fil.value1)
               .real("fil.value2", t.fil.value2));
    bolt(w, "bouTra", t.bouTra, "exportBOU_TRA", t.exportBOU_TRA());
    bolt(w, "bouRen", t.bouRen, "exportBOU_REN", t.exportBOU_REN());
    w.line(Line("BOU DIA").when("exportBOU_DIA", "bouDia value1, text and value2 set", t.exportBOU_DIA())
               .real("bouDia.value1", t.bouDia.value1).text("bouDia.text", t.bouDia.text)
               .real("bouDia.value2", t.bouDia.value2));
    stiffener(w, "raiPotTraSup", t.raiPotTraSup, "exportRAI_POT_TRA_SUP", t.exportRAI_POT_TRA_SUP());
    stiffener(w, "raiPotTraInf", t.raiPotTraInf, "exportRAI_POT_TRA_INF", t.exportRAI_POT_TRA_INF());
    extension(w, "extBoltsSup", t.extBoltsSup);
    extension(w, "extBoltsInf", t.extBoltsInf);
    w.line(Line("BOU INF").when("exportBOU_INF", "bouInf set", t.exportBOU_INF()).real("bouInf", t.bouInf));
    w.line(Line("REN SEM INF").when("exportREN_SEM_INF", "renSemInf set", t.exportREN_SEM_INF())
               .real("renSemInf", t.renSemInf));
}

// clang-format on

} // namespace

void KivBL1Lines::walk(KivNorvikLineWalker& w, const KivBL1Data& d)
{
    w.tag(d.projectName, false);
    general(w, d.generalGroup);
    column(w, d);
    acr(w, d);
    traverse(w, "rightTraverse", d.rightTraverse);
    traverse(w, "leftTraverse", d.leftTraverse);
}
