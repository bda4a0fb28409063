#include "KivNorvikFileWriter.h"

#include "KivBL2Data.h"
#include "KivNorvikOutput.h"
#include "KivNorvikWriterConditions.h"

#include <new>

// The BL2 lines are decided by the groups' export predicates, which hold the
// exact comparison of BL2 reals; the lines without a predicate are always
// written, their values as they stand.

namespace {

using General = KivBL2Data::BL2GeneralGroup;
using Column = KivBL2Data::BL2ColumnGroup;
using Support = KivBL2Data::BL2SupportGroup;
using ColumnBase = KivBL2Data::BL2ColumnBase;

using When = KivNorvikWriterConditions;

void writeGeneral(KivNorvikOutput& out, const General& g)
{
    out.line("GEN");
    if (g.exportREP_PAGE()) {
        out.lineW(L"  REP_PAGE %s", g.repPage);
    }
    if (g.exportNOEUD_XYZ()) {
        out.line("  NOEUD_XYZ %3.3f %3.3f %3.3f", g.noeudXyz[0], g.noeudXyz[1], g.noeudXyz[2]);
    }
    if (When::NEIGE(g)) {
        out.line("  NEIGE %3.3f", g.neige);
    }
    for (int i = 0; i < g.loadings.getLength(); ++i) {
        out.loading(g.loadings[i]);
    }
    if (g.exportNOEUD_NUM()) {
        out.line("  NOEUD_NUM %d", g.noeudNum);
    }
    if (g.exportBETON()) {
        out.line("  BETON %3.3f %3.3f", g.beton1, g.beton2);
    }
    if (g.exportLIA()) {
        out.lineW(L"  LIA %s", g.lia);
    }
    if (g.exportMASSIF()) {
        out.line("  MASSIF %3.3f %3.3f", g.massif1, g.massif2);
    }
    if (g.exportVERIF_TIGE_ADD80()) {
        out.line("  VERIF.TIGE.ADD80 %d", g.verifTigeAdd80);
    }
    if (g.exportVERIF_TP_T1T2MIN()) {
        out.line("  VERIF.TP.T1T2MIN %d", g.verifTpT1T2Min);
    }
    if (g.exportEPMAX_ENC_NORAID()) {
        out.line("  EPMAX_ENC_NORAID %3.3f", g.epmaxEncNoraid);
    }
    out.origin();
    out.line("FIN");
}

void writeColumn(KivNorvikOutput& out, const Column& c)
{
    out.line("POT");
    if (c.exportMAT()) {
        out.lineW(L"  MAT %s", c.mat);
    }
    out.section(c.section);
    if (c.exportLIA()) {
        out.line("  LIA %d %d", c.lia1, c.lia2);
    }
    out.line("  EFF %d %3.3f %3.3f %3.3f", c.effort.number, c.effort.value1, c.effort.value2,
             c.effort.value3);
    if (c.exportROTMAX()) {
        out.line("  ROTMAX %3.3f", c.rotMax);
    }
    out.line("FIN");
}

void writeColumnBase(KivNorvikOutput& out, const ColumnBase& b)
{
    if (b.baseType == 0) {
        const KivBL2Data::BL2ArticulatedRadius& r = b.articulatedRadius;
        out.line("  RAID_ART %3.3f %3.3f %3.3f %3.3f %3.3f %3.3f %d", r.value1, r.value2, r.value3, r.value4,
                 r.value5, r.value6, r.number);
        out.line("  FILE.CEN %3.3f", b.fileCen);
        return;
    }
    if (When::RAID(b.radiusL)) {
        out.line("  RAIDL %3.3f %3.3f", b.radiusL.value1, b.radiusL.value2);
    }
    if (When::RAID(b.radiusT)) {
        out.line("  RAIDT %3.3f %3.3f", b.radiusT.value1, b.radiusT.value2);
    }
    if (b.rowType == 0) {
        out.line("  FILE.EXT %d %3.3f %3.3f %3.3f", b.extTige.number, b.extTige.value1, b.extTige.value2,
                 b.extTige.value3);
    } else {
        out.line("  FILE.INT %3.3f %3.3f", b.intTige.value1, b.intTige.value2);
    }
}

void writeSupport(KivNorvikOutput& out, const Support& s)
{
    out.line("APP");
    if (s.exportMAT_PLATS()) {
        out.lineW(L"  MAT_PLATS %s", s.matPlats);
    }
    if (s.exportOPTIONS()) {
        out.line("  OPTIONS %d %d %d", s.options[0], s.options[1], s.options[2]);
    }
    if (s.exportCOEF_ADAPT()) {
        out.line("  COEF_ADAPT %3.3f", s.coefAdapt);
    }
    out.lineW(L"  BECHE_PROF %s %s %s", s.becheProfile.text1, s.becheProfile.text2, s.becheProfile.text3);
    if (s.exportMAT_BECHE()) {
        out.lineW(L"  MAT_BECHE %s", s.matBeche);
    }
    out.line("  PLATINE %3.3f %3.3f %3.3f", s.endPlate.value1, s.endPlate.value2, s.endPlate.value3);
    out.line("  BOULON %3.3f %3.3f", s.bolt.value1, s.bolt.value2);
    if (s.exportBECHE()) {
        out.line("  BECHE %3.3f", s.beche);
    }
    if (s.exportADHER()) {
        out.line("  ADHER %3.3f", s.adher);
    }
    if (s.exportPRESCEL()) {
        out.line("  PRESCEL %3.3f", s.prescel);
    }
    out.line("  TIGE %d %3.3f", s.stem.number, s.stem.value1);
    if (s.exportCALAGE()) {
        out.line("  CALAGE %3.3f", s.calage);
    }
    out.line("  PLATINE_TROU %d %3.3f %3.3f", s.trouEndPlate.number, s.trouEndPlate.value1,
             s.trouEndPlate.value2);
    out.line("  PLAQUETTE_DIM %3.3f %d %3.3f %3.3f", s.smallPlateDim.value1, s.smallPlateDim.number,
             s.smallPlateDim.value2, s.smallPlateDim.value3);
    writeColumnBase(out, s.columnBase);
    out.line("FIN");
}

} // namespace

int KivNorvikFileWriter::write(const KivBL2Data& data)
{
    if (file == nullptr) {
        return 0; // no open file: nothing is written
    }
    KivNorvikOutput out = output();
    try {
        out.lineW(L"\"NV_ATT\",\"%s\"", data.projectName);
        out.endLine();
        writeGeneral(out, data.generalGroup);
        writeColumn(out, data.columnGroup);
        writeSupport(out, data.supportGroup);
    } catch (const std::bad_alloc&) {
        out.outOfMemory(); // the rest is dropped; write returns 0 (ENOMEM)
    }
    return finish(out); // 0 when the stream has failed
}
