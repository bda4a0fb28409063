#include "KivNorvikFileWriter.h"

#include "KivBL5Data.h"
#include "KivNorvikOutput.h"
#include "KivNorvikWriterConditions.h"

#include <new>

// BL5 lines are written as their values stand; only the snow line has a condition.
namespace {

using Data = KivBL5Data;

void writeGeneral(KivNorvikOutput& out, const Data::BL5GeneralGroup& g)
{
    out.line("GEN");
    out.line("  NBR_DIAG %d", g.nbrDiag);
    out.line("  OPT_CALUL %d, %d", g.optCalul[0], g.optCalul[1]);
    out.lineW(L"  ANGLE_DIAG %s", g.angleDiag == 1 ? L"GLOBAL" : L"LOCAL");
    out.line("  TYPE_ATT %d", g.typeAtt);
    out.line("  NOEUD %d", g.noeud);
    out.line("  XY %3.3f %3.3f %3.3f", g.xy[0], g.xy[1], g.xy[2]);
    if (KivNorvikWriterConditions::NEIGE(g)) {
        out.line("  NEIGE %3.3f", g.neige);
    }
    out.loading(g.loading);
    out.lineW(L"  LIA %s", g.lia);
    out.line("  BOU_CLS %1.1f", g.bouCls);
    out.lineW(L"  Q_SOUD %s", g.qSoud);
    out.origin();
    out.line("FIN");
}

void writeMain(KivNorvikOutput& out, const Data::BL5MainElementGroup& m)
{
    out.line("PRIM");
    out.line("  ANGLE  %3.3f", m.angle);
    out.line("  NUM_MEMB1 %d %d", m.numMemb1[0], m.numMemb1[1]);
    out.line("  NUM_MEMB2 %d %d", m.numMemb2[0], m.numMemb2[1]);
    out.lineW(L"  MAT %s", m.mat);
    out.section(m.section, 0);
    out.line("  TOURNE_SEC %d", m.tourneSec);
    out.line("  EFF %d %3.3f %3.3f %3.3f", m.effNumber, m.eff[0], m.eff[1], m.eff[2]);
    out.line("  GOUSSET %3.3f %d %3.3f", m.gousset1, m.gousset2, m.gousset3);
    out.line("FIN");
}

void writeColumn(KivNorvikOutput& out, const Data::BL5ColumnGroup& c)
{
    out.line("MONTANT");
    out.line("  NUM_MONT %d %d", c.numMont[0], c.numMont[1]);
    out.lineW(L"  MAT %s", c.mat);
    out.line("  ANGLE %3.3f", c.angle);
    out.section(c.section, 0);
    out.line("  TOURNE_SEC %d", c.tourneSec);
    out.line("FIN");
}

// The nine lines, always all of them, inside the diagonal group.
void writeGhcp(KivNorvikOutput& out, const Data::GHCP& h)
{
    out.line("  GHCP GOU_DIM %3.3f %3.3f %3.3f %3.3f", h.gouDim[0], h.gouDim[1], h.gouDim[2], h.gouDim[3]);
    out.line("  GHCP GOU_POS %d %3.3f %d", h.gouPos1, h.gouPos2, h.gouPos3);
    out.line("  GHCP BOU_DIA %3.3f", h.bouDia);
    out.line("  GHCP BOU_X %d %3.3f %3.3f %3.3f", h.bouXNumber, h.bouX[0], h.bouX[1], h.bouX[2]);
    out.line("  GHCP BOU_Y %d %3.3f", h.bouYNumber, h.bouY);
    out.line("  GHCP CHP_DIM %3.3f %3.3f %3.3f", h.chpDim[0], h.chpDim[1], h.chpDim[2]);
    out.line("  GHCP SOUDURE %3.3f %3.3f", h.soudure[0], h.soudure[1]);
    out.line("  GHCP JEUX %3.3f %3.3f", h.jeux[0], h.jeux[1]);
    out.line("  GHCP PENETR %d %3.3f", h.penetrNumber, h.penetr);
}

void writeDiagonal(KivNorvikOutput& out, const Data::BL5DiagonalElementGroup& e)
{
    out.line("DIAG_%d", e.number);
    out.line("  ANGLE %3.3f", e.angle);
    out.line("  NUM_ELT %d, %d", e.numElt[0], e.numElt[1]);
    out.lineW(L"  MAT %s", e.mat);
    out.section(e.section, 0);
    out.line("  TOURNE_SEC %d", e.tourneSec);
    out.line("  EFF %d %3.3f", e.effNumber, e.eff);
    writeGhcp(out, e.ghcp);
    out.line("FIN");
}

} // namespace

int KivNorvikFileWriter::write(const KivBL5Data& data)
{
    if (file == nullptr) {
        return 0;
    }
    KivNorvikOutput out = output();
    try {
        out.lineW(L"\"NV_ATT_05\",\"%s\"", data.projectName);
        out.endLine();
        writeGeneral(out, data.generalGroup);
        // The column group replaces the main element group when typeAtt is 2;
        // the group not written keeps its values.
        if (KivNorvikWriterConditions::MONTANT(data.generalGroup)) {
            writeColumn(out, data.columnGroup);
        } else {
            writeMain(out, data.mainElementGroup);
        }
        // Both diagonals, whatever nbrDiag holds.
        writeDiagonal(out, data.diagonalElementGroups[0]);
        writeDiagonal(out, data.diagonalElementGroups[1]);
    } catch (const std::bad_alloc&) {
        out.outOfMemory(); // the rest is dropped; write returns 0 (ENOMEM)
    }
    return finish(out);
}
