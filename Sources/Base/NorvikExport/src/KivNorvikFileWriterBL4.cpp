#include "KivNorvikFileWriter.h"

#include "KivBL4Data.h"
#include "KivNorvikOutput.h"
#include "KivNorvikWriterConditions.h"

#include <new>

// BL4 lines are written as their values stand; only the snow line has a condition.
namespace {

using Data = KivBL4Data;

// "  BOU1 DIST ...", "  BOU2 DIST ...", "  BOU DIST ..." or "  BOUDIST ..." after `kind`.
void writeBolt(KivNorvikOutput& out, const Data::Bolt& b)
{
    KivString keyword("BOU");
    switch (b.kind) {
    case 0: keyword += KivString("1 "); break;
    case 1: keyword += KivString("2 "); break;
    case 2: keyword += KivString(" "); break;
    default: break;
    }
    keyword += KivString("DIST");
    KivString values;
    values.format("%3.3f %d %3.3f %3.3f %3.3f %1.1f %3.3f", b.value1, b.value2, b.value3, b.value4, b.value5,
                  b.value6, b.value7);
    out.lineW(L"  %s", keyword + KivString(" ") + values);
}

void writeGeneral(KivNorvikOutput& out, const Data::BL4GeneralGroup& g)
{
    out.line("GEN");
    out.line("  NBR_DIAG %d", g.nbrDiag);
    out.line("  OPT_CAL %d %d", g.optCal[0], g.optCal[1]);
    out.print("  GOUSSET %3.3f", g.gousset);
    out.printW(L" %s", g.goussetText);
    out.endLine();
    out.line("  NOEUD %d", g.noeud);
    out.line("  NOEUD_XYZ %3.3f %3.3f %3.3f", g.noeudXyz[0], g.noeudXyz[1], g.noeudXyz[2]);
    if (KivNorvikWriterConditions::NEIGE(g)) {
        out.line("  NEIGE %3.3f", g.neige);
    }
    out.loading(g.loading);
    out.lineW(L"  LIA %s", g.lia);
    out.origin();
    out.line("FIN");
}

void writeMain(KivNorvikOutput& out, const Data::BL4MainElementGroup& m)
{
    out.line("PRIM");
    out.line("  TYPE %d", m.type);
    out.lineW(L"  MAT %s", m.mat);
    writeBolt(out, m.bolt1);
    writeBolt(out, m.bolt2);
    out.line("  ANGLE %3.3f", m.angle);
    out.section(m.section, 0);
    out.line("  ROTATION %3.3f", m.rotation);
    out.line("  NUM_MEMB1 %d %d", m.numMemb1[0], m.numMemb1[1]);
    out.line("  NUM_MEMB2 %d %d", m.numMemb2[0], m.numMemb2[1]);
    out.line("  NUM_PRIM %d %d", m.numPrim[0], m.numPrim[1]);
    out.line("  EFF %d %3.3f %3.3f %3.3f", m.effNumber, m.eff[0], m.eff[1], m.eff[2]);
    out.line("FIN");
}

// extraData stays in the record: it is never written.
void writeDiagonal(KivNorvikOutput& out, const Data::BL4DiagonalElementGroup& e)
{
    out.line("DIAG_%d", e.number);
    out.line("  DOUBLE %d", e.doubleDiag);
    out.line("  NUM_ELT %d %d", e.numElt[0], e.numElt[1]);
    out.line("  JEU %3.3f", e.jeu);
    out.lineW(L"  MAT %s", e.mat);
    out.line("  POSITION %d", e.position);
    writeBolt(out, e.bolt);
    out.section(e.section, 0);
    out.line("FIN");
}

} // namespace

int KivNorvikFileWriter::write(const KivBL4Data& data)
{
    if (file == nullptr) {
        return 0;
    }
    KivNorvikOutput out = output();
    try {
        out.lineW(L"\"NV_ATT_04\",\"%s\"", data.projectName);
        out.endLine();
        writeGeneral(out, data.generalGroup);
        writeMain(out, data.mainElementGroup);
        // Both diagonals, whatever nbrDiag holds.
        writeDiagonal(out, data.diagonalElementGroups[0]);
        writeDiagonal(out, data.diagonalElementGroups[1]);
    } catch (const std::bad_alloc&) {
        out.outOfMemory(); // the rest is dropped; write returns 0 (ENOMEM)
    }
    return finish(out);
}
