#include "KivNorvikFileWriter.h"

#include "KivBL1Data.h"
#include "KivNorvikOutput.h"
#include "KivNorvikWriterConditions.h"

#include <new>

namespace {

using Out = KivNorvikOutput;
using When = KivNorvikWriterConditions;

void writeGeneral(Out& out, const KivBL1Data::BL1GeneralGroup& g)
{
    out.line("GEN");
    if (g.exportACIER()) {
        out.line("  ACIER %3.3f", g.acier);
    }
    if (g.exportXY()) {
        out.line("  XY %3.3f %3.3f %3.3f", g.xy[0], g.xy[1], g.xy[2]);
    }
    if (g.exportREP_PAGE()) {
        out.lineW(L"  REP_PAGE %s", g.repPage);
    }
    if (g.exportNOEUD_NUM()) {
        out.line("  NOEUD_NUM %d", g.noeudNum);
    }
    if (g.exportNOEUD_XYZ()) {
        out.line("  NOEUD_XYZ %3.3f %3.3f %3.3f", g.noeudXyz[0], g.noeudXyz[1], g.noeudXyz[2]);
    }
    // Snow goes with the loadings: written once, and only when a loading of
    // type 2 or -1 is present.
    if (When::NEIGE(g)) {
        out.line("  NEIGE %3.3f", g.neige);
    }
    for (int i = 0; i < g.loadings.getLength(); ++i) {
        out.loading(g.loadings[i]);
    }
    if (g.exportLIA()) {
        out.lineW(L"  LIA %s", g.lia);
    }
    if (g.exportBOU()) {
        out.print("  BOU %d %3.3f", g.bolt.number, g.bolt.value);
        out.lineW(L" %s", g.bolt.text);
    }
    if (g.exportATMOS()) {
        out.line("  ATMOS  %d", g.atmos);
    }
    if (g.exportA91()) {
        out.line("  A91 %d", g.a91);
    }
    if (g.exportFRX()) {
        out.line("  FRX %d", g.frx);
    }
    out.origin();
    out.line("FIN");
}

void writeColumn(Out& out, const KivBL1Data::BL1PotGroup& p)
{
    out.line("POT");
    out.section(p.section);
    if (p.exportCON()) {
        out.lineW(L"  CON %s", p.con);
    }
    if (p.exportLIA()) {
        out.line("  LIA %d %d", p.lia1, p.lia2);
    }
    if (p.raiAmeType == 0 && p.exportRAI_AME_OBLIQ()) {
        out.line("  RAI AME OBLIQ %3.3f %3.3f", p.raiAmeObliq[0], p.raiAmeObliq[1]);
    } else if (p.raiAmeType == 1 && p.exportRAI_AME_PLAQ()) {
        out.line("  RAI AME PLAQ %3.3f %d", p.raiAmePlaqValue, p.raiAmePlaqNumber);
    }
    out.line("FIN");
}

void writeACR(Out& out, const KivBL1Data::BL1ACR& a)
{
    out.line("ACR");
    if (a.exportPRO()) {
        out.lineW(L"  PRO %s %s", a.pro1, a.pro2);
    }
    if (a.exportY()) {
        out.line("  Y %3.3f", a.y);
    }
    if (a.exportLIA()) {
        out.line("  LIA %d %d %d", a.lia1, a.lia2, a.lia3);
    }
    out.line("FIN");
}

// The words come from the item's own type or position, not from its member.
void writeBolt(Out& out, const KivBL1Data::BL1TraverseBolt& b)
{
    out.printW(L"  %s", b.type == 0 ? L"BOU TRA" : L"BOU REN");
    out.line(" %3.3f %3.3f %d", b.value1, b.value2, b.number);
}

void writeStiff(Out& out, const KivBL1Data::BL1Stiff& s)
{
    out.printW(L"  %s", s.position == 0 ? L"RAI POT TRA SUP " : L"RAI POT TRA INF ");
    out.line(" %3.3f %d %3.3f", s.value1, s.number, s.value2);
}

void writeExtension(Out& out, const KivBL1Data::BL1ExtBolts& e)
{
    const bool sup = e.position == 0;
    if (e.exportBOU_EXT_SUP_or_INF()) {
        out.printW(L"  %s", sup ? L"BOU EXT SUP" : L"BOU EXT INF");
        out.line(" %3.3f", e.bouExt);
    }
    if (e.exportRAI_PLA_SUP_or_INF()) {
        out.printW(L"  %s", sup ? L"RAI PLA SUP" : L"RAI PLA INF");
        out.line(" %3.3f %3.3f %3.3f", e.raiPla[0], e.raiPla[1], e.raiPla[2]);
    }
}

void writeTraverse(Out& out, const KivBL1Data::BL1Traverse& t)
{
    if (!When::TRA(t)) {
        return;
    }
    // A side other than 0 and 1 has no header: its line stays empty.
    if (t.side == 0) {
        out.line("TRA G");
    } else if (t.side == 1) {
        out.line("TRA D");
    } else {
        out.endLine();
    }
    out.section(t.section);
    if (t.exportANG()) {
        out.line("  ANG %3.3f", t.ang);
    }
    if (t.exportDY()) {
        out.line("  DY %3.3f", t.dy);
    }
    if (t.exportREN_INF()) {
        out.line("  REN INF %3.3f %3.3f", t.renInf[0], t.renInf[1]);
    }
    if (t.exportTRA_RAI()) {
        out.line("  RAI TRA %3.3f %d %3.3f", t.raiTra.value1, t.raiTra.number, t.raiTra.value2);
    }
    if (t.exportLIA()) {
        out.line("  LIA %d %d", t.lia1, t.lia2);
    }
    for (int i = 0; i < t.efforts.getLength(); ++i) {
        const KivBL1Data::BL1Effort& e = t.efforts[i];
        out.line("  EFF %d %3.3f %3.3f %3.3f", e.number, e.value1, e.value2, e.value3);
    }
    if (t.exportPLA()) {
        out.line("  PLA %3.3f %3.3f %3.3f %3.3f", t.pla.value1, t.pla.value2, t.pla.value3, t.pla.value4);
    }
    if (t.exportSOU_TRA_PLA()) {
        out.line("  SOU_TRA_PLA %3.3f %3.3f", t.souTraPla[0], t.souTraPla[1]);
    }
    if (t.exportFIL()) {
        out.line("  FIL %d %3.3f %3.3f", t.fil.number, t.fil.value1, t.fil.value2);
    }
    if (t.exportBOU_TRA()) {
        writeBolt(out, t.bouTra);
    }
    if (t.exportBOU_REN()) {
        writeBolt(out, t.bouRen);
    }
    if (t.exportBOU_DIA()) {
        out.print("  BOU DIA %3.3f", t.bouDia.value1);
        out.printW(L" %s", t.bouDia.text);
        out.line(" %3.3f", t.bouDia.value2);
    }
    if (t.exportRAI_POT_TRA_SUP()) {
        writeStiff(out, t.raiPotTraSup);
    }
    if (t.exportRAI_POT_TRA_INF()) {
        writeStiff(out, t.raiPotTraInf);
    }
    writeExtension(out, t.extBoltsSup);
    writeExtension(out, t.extBoltsInf);
    if (t.exportBOU_INF()) {
        out.line("  BOU INF %3.3f", t.bouInf);
    }
    if (t.exportREN_SEM_INF()) {
        out.line("  REN SEM INF %3.3f", t.renSemInf);
    }
    out.line("FIN");
}

} // namespace

int KivNorvikFileWriter::write(const KivBL1Data& data)
{
    if (file == nullptr) {
        return 0; // without an open file nothing is written
    }
    KivNorvikOutput out = output();
    try {
        out.lineW(L"\"NV_ATT\",\"%s\"", data.projectName);
        out.endLine();
        writeGeneral(out, data.generalGroup);
        // Exact whole-text comparisons: "non" writes neither group.
        if (When::POT(data)) {
            writeColumn(out, data.potGroup);
        }
        if (When::ACR(data)) {
            writeACR(out, data.acr);
        }
        writeTraverse(out, data.rightTraverse);
        writeTraverse(out, data.leftTraverse);
    } catch (const std::bad_alloc&) {
        out.outOfMemory(); // the rest is dropped; write returns 0 (ENOMEM)
    }
    return finish(out);
}
