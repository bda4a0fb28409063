#include "KivNorvikFileWriter.h"

#include "KivBL3Data.h"
#include "KivBL3Layout.h"
#include "KivNorvikOutput.h"
#include "KivNorvikWriterConditions.h"

#include <new>

namespace {

using General = KivBL3Data::BL3GeneralGroup;
using Main = KivBL3Data::BL3MainElementGroup;
using Secondary = KivBL3Data::BL3SecondaryElementGroup;
using When = KivNorvikWriterConditions;

// Lines decided by a predicate of the record use it; the writer's own tests
// (KivNorvikWriterConditions) stand where they differ from the predicates.
void writeAttachmentNode(KivNorvikOutput& out, const KivBL3Data::ATT& a)
{
    out.line("  AUTO_VERIF %d", 0);
    if (a.exportATT_GRP()) {
        out.line("  ATT.GRP %d", a.grp);
    }
    if (a.exportATT_BAR_NB()) {
        out.line("  ATT.BAR_NB %d", a.barNb);
    }
    if (a.exportATT_NUM()) {
        out.line("  ATT.NUM %d %d", a.num[0], a.num[1]);
    }
    if (a.exportATT_NOE_NUM()) {
        out.line("     ATT.NOE_NUM %d %d", a.noeNum[0], a.noeNum[1]);
    } else if (When::ATT_NOE_NUM_FIRST(a)) {
        out.line("     ATT.NOE_NUM %d", a.noeNum[0]);
    }
    if (a.exportATT_NOE_NOM()) {
        out.lineW(L"     ATT.NOE_NOM %s", a.noeNom);
    }
    if (a.exportATT_NOE_TITRE()) {
        out.lineW(L"     ATT.NOE_TITRE %s", a.noeTitre);
    }
    if (a.exportATT_NOE_XYZ()) {
        out.line("     ATT.NOE_XYZ %3.3f %3.3f %3.3f", a.noeXyz[0], a.noeXyz[1], a.noeXyz[2]);
    }
    if (a.exportATT_BAR1()) {
        // The record holds one triple; all four bar lines carry it.
        out.line("     ATT.BAR1 %d %d %d", a.bar[0], a.bar[1], a.bar[2]);
        out.line("     ATT.BAR2 %d %d %d", a.bar[0], a.bar[1], a.bar[2]);
        out.line("     ATT.BAR3 %d %d %d", a.bar[0], a.bar[1], a.bar[2]);
        out.line("     ATT.BAR4 %d %d %d", a.bar[0], a.bar[1], a.bar[2]);
    }
}

void writeGeneral(KivNorvikOutput& out, const General& g)
{
    out.line("GEN");
    out.lineW(L"  TYPE_ATT %s", g.typeAtt == 0 ? L"POU/POU" : L"POU/POT");
    if (When::NEIGE(g)) {
        out.line("  NEIGE %3.3f", g.neige);
    }
    for (int i = 0; i < g.loadings.getLength(); ++i) {
        out.loading(g.loadings[i]);
    }
    if (When::LIA(g)) {
        out.lineW(L"  LIA %s", g.lia);
    }
    if (g.exportOPT_CALCUL()) {
        out.line("  OPT_CALCUL %d %d", g.optCalcul[0], g.optCalcul[1]);
    }
    writeAttachmentNode(out, g.att);
    out.origin();
    out.line("FIN");
}

void writeMain(KivNorvikOutput& out, const Main& m)
{
    out.line("PRIM");
    if (m.exportMAT_MAIN()) {
        out.lineW(L"  MAT %s", m.mat);
    }
    out.section(m.section, 0);
    out.line("FIN");
}

void writeBolt(KivNorvikOutput& out, const KivBL3Data::Bolt& b)
{
    const char* keyword = KivBL3Layout::wordOf(KivBL3Layout::boltKeywords, b.kind);
    if (!When::BOU(b)) {
        return;
    }
    // value5 takes the fifth place, with one decimal, and value4 the sixth.
    out.print("  %s", keyword);
    out.line(" %3.3f %d %3.3f %3.3f %1.1f %3.3f", b.value1, b.number, b.value2, b.value3, b.value5, b.value4);
}

void writeNotch(KivNorvikOutput& out, const KivBL3Data::Notch& n)
{
    const char* keyword = KivBL3Layout::wordOf(KivBL3Layout::notchKeywords, n.kind);
    // `code` is tested against the unset integer, not against its default -1.
    if (!When::GRUG(n)) {
        return;
    }
    out.print("  %s", keyword);
    out.line(" %d %3.3f %3.3f %d %d", n.code, n.value1, n.value2, n.number1, n.number2);
}

void writeSecondary(KivNorvikOutput& out, const Secondary& s)
{
    out.line("SEC_1");
    if (s.exportMAT_SEC()) {
        out.lineW(L"  MAT %s", s.mat);
    }
    out.section(s.section, 0);
    if (s.exportANGLE()) {
        out.line("  ANGLE %d", s.angle);
    }
    if (s.exportPOS_Z()) {
        out.line("  POS_Z %3.3f", s.posZ);
    }
    if (When::JEU(s)) {
        out.line("  JEU %3.3f", s.jeu);
    }
    // A code outside its table writes the keyword and an empty word.
    const char* type = KivBL3Layout::wordOf(KivBL3Layout::connecTypeWords, s.connecType);
    const char* side = KivBL3Layout::wordOf(KivBL3Layout::connecPosWords, s.connecPos);
    out.line("  CONNEC_TYPE %s", type != nullptr ? type : "");
    out.line("  CONNEC_POS %s", side != nullptr ? side : "");
    if (When::CONNEC_POSZ(s)) {
        out.line("  CONNEC_POSZ %d %3.3f", When::referenceHeight(s.connecPosZRef), s.connecPosZ);
    }
    if (s.exportCONNEC_LNG()) {
        out.line("  CONNEC_LNG %3.3f", s.connecLng);
    }
    if (s.exportCONNEC_MAT()) {
        out.lineW(L"  CONNEC_MAT %s", s.connecMat);
    }
    out.section(s.connecSection, 1);
    if (s.exportDOUBLE_SOLIVE()) {
        out.line("  DOUBLE_SOLIVE %d", s.doubleSolive);
    }
    writeBolt(out, s.boltPrim);
    writeBolt(out, s.boltSec);
    writeNotch(out, s.notchSup);
    writeNotch(out, s.notchInf);
    writeNotch(out, s.notchLat);
    writeNotch(out, s.notchSupIni);
    writeNotch(out, s.notchInfIni);
    writeNotch(out, s.notchLatIni);
    const KivBL3Data::Effort& e = s.effort;
    out.line("  EFF %d %3.3f %3.3f %3.3f", e.number, e.value1, e.value2, e.value3);
    out.line("FIN");
}

} // namespace

int KivNorvikFileWriter::write(const KivBL3Data& data)
{
    if (file == nullptr) {
        return 0;
    }
    KivNorvikOutput out = output();
    try {
        out.lineW(L"\"NV_ATT\",\"%s:%s\"", L"2006.15c2", data.projectName);
        out.endLine();
        writeGeneral(out, data.generalGroup);
        writeMain(out, data.mainElementGroup);
        writeSecondary(out, data.secondaryElementGroup);
    } catch (const std::bad_alloc&) {
        out.outOfMemory(); // the rest is dropped; write returns 0 (ENOMEM)
    }
    return finish(out);
}
