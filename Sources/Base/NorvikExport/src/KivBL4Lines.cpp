#include "KivBL4Lines.h"

#include "KivNorvikSharedLines.h"
#include "KivNorvikWriterConditions.h"

#include <string>

namespace {

using Line = KivNorvikLineWalker::Line;
using Datum = KivNorvikLineWalker::Datum;
using Shared = KivNorvikSharedLines;

// clang-format off
// "BOU1 DIST" (kind 0), "BOU2 DIST" (1), "BOU DIST" (2), "BOUDIST" (any other,
// read back as 3).
void bolt(KivNorvikLineWalker& w, const std::string& m, const KivBL4Data::Bolt& b)
{
    static const char* const keywords[] = {"BOU1 DIST", "BOU2 DIST", "BOU DIST", "BOUDIST"};
    const int read = b.kind >= 0 && b.kind <= 2 ? b.kind : 3;
    if (b.kind != read) {
        w.outsideTable(m + ".kind", "a bolt kind outside 0 to 3, unset included, is written BOUDIST and read back as 3");
    }
    w.line(Line(keywords[read], "BOU1 DIST|BOU2 DIST|BOU DIST|BOUDIST")
               .code(m + ".kind", b.kind)
               .real(m + ".value1", b.value1).integer(m + ".value2", b.value2)
               .real(m + ".value3", b.value3).real(m + ".value4", b.value4)
               .real(m + ".value5", b.value5).real(m + ".value6", b.value6, "%1.1f")
               .real(m + ".value7", b.value7)
               .sets(m + ".kind", Datum::of(read)));
}

void general(KivNorvikLineWalker& w, const KivBL4Data::BL4GeneralGroup& g)
{
    w.group("GEN", "generalGroup", "always", "always written", true, "");
    w.line(Line("NBR_DIAG").integer("nbrDiag", g.nbrDiag));
    w.line(Line("OPT_CAL").integer("optCal[0]", g.optCal[0]).integer("optCal[1]", g.optCal[1]));
    w.line(Line("GOUSSET").real("gousset", g.gousset).text("goussetText", g.goussetText));
    w.line(Line("NOEUD").integer("noeud", g.noeud));
    w.line(Line("NOEUD_XYZ").real("noeudXyz[0]", g.noeudXyz[0]).real("noeudXyz[1]", g.noeudXyz[1])
               .real("noeudXyz[2]", g.noeudXyz[2]));
    w.line(Line("NEIGE").when("NEIGE", "the loading is of type 2 or -1", KivNorvikWriterConditions::NEIGE(g))
               .reason("snow-without-loading").real("neige", g.neige));
    Shared::loading(w, "loading", -2, g.loading);
    w.line(Line("LIA").text("lia", g.lia));
    Shared::origin(w);
}

void mainElement(KivNorvikLineWalker& w, const KivBL4Data::BL4MainElementGroup& m)
{
    w.group("PRIM", "mainElementGroup", "always", "always written", true, "");
    w.line(Line("TYPE").integer("type", m.type));
    w.line(Line("MAT").text("mat", m.mat));
    // The first bolt line fills bolt1, the second bolt2.
    bolt(w, "bolt1", m.bolt1);
    bolt(w, "bolt2", m.bolt2);
    w.line(Line("ANGLE").real("angle", m.angle));
    Shared::section(w, "section", m.section, 0);
    w.line(Line("ROTATION").real("rotation", m.rotation));
    w.line(Line("NUM_MEMB1").integer("numMemb1[0]", m.numMemb1[0]).integer("numMemb1[1]", m.numMemb1[1]));
    w.line(Line("NUM_MEMB2").integer("numMemb2[0]", m.numMemb2[0]).integer("numMemb2[1]", m.numMemb2[1]));
    w.line(Line("NUM_PRIM").integer("numPrim[0]", m.numPrim[0]).integer("numPrim[1]", m.numPrim[1]));
    w.line(Line("EFF").integer("effNumber", m.effNumber).real("eff[0]", m.eff[0])
               .real("eff[1]", m.eff[1]).real("eff[2]", m.eff[2]));
}

// Both diagonals are written whatever nbrDiag holds.
void diagonal(KivNorvikLineWalker& w, int i, const KivBL4Data::BL4DiagonalElementGroup& e)
{
    w.group("DIAG_%d", "diagonalElementGroups[" + std::to_string(i) + "]", "always",
            "always written, the first and then the second diagonal", true, "");
    w.line(Line("DIAG_").integer("number", e.number));
    w.line(Line("DOUBLE").integer("doubleDiag", e.doubleDiag));
    w.line(Line("NUM_ELT").integer("numElt[0]", e.numElt[0]).integer("numElt[1]", e.numElt[1]));
    w.line(Line("JEU").real("jeu", e.jeu));
    w.line(Line("MAT").text("mat", e.mat));
    w.line(Line("POSITION").integer("position", e.position));
    bolt(w, "bolt", e.bolt);
    Shared::section(w, "section", e.section, 0);
}

// clang-format on

} // namespace

void KivBL4Lines::walk(KivNorvikLineWalker& w, const KivBL4Data& d)
{
    w.tag(d.projectName, false);
    general(w, d.generalGroup);
    mainElement(w, d.mainElementGroup);
    diagonal(w, 0, d.diagonalElementGroups[0]);
    diagonal(w, 1, d.diagonalElementGroups[1]);
}
