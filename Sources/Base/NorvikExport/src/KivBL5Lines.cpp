#include "KivBL5Lines.h"

#include "KivNorvikSharedLines.h"
#include "KivNorvikWriterConditions.h"

#include <string>

namespace {

using Line = KivNorvikLineWalker::Line;
using Datum = KivNorvikLineWalker::Datum;
using Shared = KivNorvikSharedLines;
using When = KivNorvikWriterConditions;

// clang-format off
void general(KivNorvikLineWalker& w, const KivBL5Data::BL5GeneralGroup& g)
{
    w.group("GEN", "generalGroup", "always", "always written", true, "");
    w.line(Line("NBR_DIAG").integer("nbrDiag", g.nbrDiag));
    w.line(Line("OPT_CALUL").integer("optCalul[0]", g.optCalul[0], "%d,").integer("optCalul[1]", g.optCalul[1]));
    const bool global = g.angleDiag == 1;
    if (g.angleDiag != 0 && g.angleDiag != 1) {
        w.outsideTable("angleDiag", "an angle reference other than 0 and 1, unset included, is "
                                    "written LOCAL and read back as 0");
    }
    w.line(Line("ANGLE_DIAG").code("angleDiag", g.angleDiag)
               .word(global ? "GLOBAL" : "LOCAL", "GLOBAL|LOCAL")
               .sets("angleDiag", Datum::of(global ? 1 : 0)));
    w.line(Line("TYPE_ATT").integer("typeAtt", g.typeAtt));
    w.line(Line("NOEUD").integer("noeud", g.noeud));
    w.line(Line("XY").real("xy[0]", g.xy[0]).real("xy[1]", g.xy[1]).real("xy[2]", g.xy[2]));
    w.line(Line("NEIGE").when("NEIGE", "the loading is of type 2 or -1", When::NEIGE(g))
               .reason("snow-without-loading").real("neige", g.neige));
    Shared::loading(w, "loading", -2, g.loading);
    w.line(Line("LIA").text("lia", g.lia));
    w.line(Line("BOU_CLS").real("bouCls", g.bouCls, "%1.1f"));
    w.line(Line("Q_SOUD").text("qSoud", g.qSoud));
    Shared::origin(w);
}

void mainElement(KivNorvikLineWalker& w, const KivBL5Data& d)
{
    const KivBL5Data::BL5MainElementGroup& m = d.mainElementGroup;
    w.group("PRIM", "mainElementGroup", "not MONTANT", "typeAtt is not 2",
            !When::MONTANT(d.generalGroup), "group-not-selected");
    w.line(Line("ANGLE").real("angle", m.angle));
    w.line(Line("NUM_MEMB1").integer("numMemb1[0]", m.numMemb1[0]).integer("numMemb1[1]", m.numMemb1[1]));
    w.line(Line("NUM_MEMB2").integer("numMemb2[0]", m.numMemb2[0]).integer("numMemb2[1]", m.numMemb2[1]));
    w.line(Line("MAT").text("mat", m.mat));
    Shared::section(w, "section", m.section, 0);
    w.line(Line("TOURNE_SEC").integer("tourneSec", m.tourneSec));
    w.line(Line("EFF").integer("effNumber", m.effNumber).real("eff[0]", m.eff[0])
               .real("eff[1]", m.eff[1]).real("eff[2]", m.eff[2]));
    w.line(Line("GOUSSET").real("gousset1", m.gousset1).integer("gousset2", m.gousset2)
               .real("gousset3", m.gousset3));
}

void column(KivNorvikLineWalker& w, const KivBL5Data& d)
{
    const KivBL5Data::BL5ColumnGroup& c = d.columnGroup;
    w.group("MONTANT", "columnGroup", "MONTANT", "typeAtt is 2", When::MONTANT(d.generalGroup),
            "group-not-selected");
    w.line(Line("NUM_MONT").integer("numMont[0]", c.numMont[0]).integer("numMont[1]", c.numMont[1]));
    w.line(Line("MAT").text("mat", c.mat));
    w.line(Line("ANGLE").real("angle", c.angle));
    Shared::section(w, "section", c.section, 0);
    w.line(Line("TOURNE_SEC").integer("tourneSec", c.tourneSec));
}

void ghcp(KivNorvikLineWalker& w, const KivBL5Data::GHCP& h)
{
    w.line(Line("GHCP GOU_DIM").real("ghcp.gouDim[0]", h.gouDim[0]).real("ghcp.gouDim[1]", h.gouDim[1])
               .real("ghcp.gouDim[2]", h.gouDim[2]).real("ghcp.gouDim[3]", h.gouDim[3]));
    w.line(Line("GHCP GOU_POS").integer("ghcp.gouPos1", h.gouPos1).real("ghcp.gouPos2", h.gouPos2)
               .integer("ghcp.gouPos3", h.gouPos3));
    w.line(Line("GHCP BOU_DIA").real("ghcp.bouDia", h.bouDia));
    w.line(Line("GHCP BOU_X").integer("ghcp.bouXNumber", h.bouXNumber).real("ghcp.bouX[0]", h.bouX[0])
               .real("ghcp.bouX[1]", h.bouX[1]).real("ghcp.bouX[2]", h.bouX[2]));
    w.line(Line("GHCP BOU_Y").integer("ghcp.bouYNumber", h.bouYNumber).real("ghcp.bouY", h.bouY));
    w.line(Line("GHCP CHP_DIM").real("ghcp.chpDim[0]", h.chpDim[0]).real("ghcp.chpDim[1]", h.chpDim[1])
               .real("ghcp.chpDim[2]", h.chpDim[2]));
    w.line(Line("GHCP SOUDURE").real("ghcp.soudure[0]", h.soudure[0]).real("ghcp.soudure[1]", h.soudure[1]));
    w.line(Line("GHCP JEUX").real("ghcp.jeux[0]", h.jeux[0]).real("ghcp.jeux[1]", h.jeux[1]));
    w.line(Line("GHCP PENETR").integer("ghcp.penetrNumber", h.penetrNumber).real("ghcp.penetr", h.penetr));
}

void diagonal(KivNorvikLineWalker& w, int i, const KivBL5Data::BL5DiagonalElementGroup& e)
{
    w.group("DIAG_%d", "diagonalElementGroups[" + std::to_string(i) + "]", "always",
            "always written, the first and then the second diagonal", true, "");
    w.line(Line("DIAG_").integer("number", e.number));
    w.line(Line("ANGLE").real("angle", e.angle));
    w.line(Line("NUM_ELT").integer("numElt[0]", e.numElt[0], "%d,").integer("numElt[1]", e.numElt[1]));
    w.line(Line("MAT").text("mat", e.mat));
    Shared::section(w, "section", e.section, 0);
    w.line(Line("TOURNE_SEC").integer("tourneSec", e.tourneSec));
    w.line(Line("EFF").integer("effNumber", e.effNumber).real("eff", e.eff));
    ghcp(w, e.ghcp);
}

// clang-format on

} // namespace

void KivBL5Lines::walk(KivNorvikLineWalker& w, const KivBL5Data& d)
{
    w.tag(d.projectName, false);
    general(w, d.generalGroup);
    mainElement(w, d);
    column(w, d);
    diagonal(w, 0, d.diagonalElementGroups[0]);
    diagonal(w, 1, d.diagonalElementGroups[1]);
}
