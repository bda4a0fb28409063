#include "KivBL2Lines.h"

#include "KivNorvikSharedLines.h"
#include "KivNorvikWriterConditions.h"

#include <string>

namespace {

using Line = KivNorvikLineWalker::Line;
using Datum = KivNorvikLineWalker::Datum;
using Shared = KivNorvikSharedLines;
using When = KivNorvikWriterConditions;

// clang-format off
void general(KivNorvikLineWalker& w, const KivBL2Data::BL2GeneralGroup& g)
{
    w.group("GEN", "generalGroup", "always", "always written", true, "");
    w.line(Line("REP_PAGE").when("exportREP_PAGE", "repPage set", g.exportREP_PAGE())
               .text("repPage", g.repPage));
    w.line(Line("NOEUD_XYZ").when("exportNOEUD_XYZ", "the three noeudXyz set", g.exportNOEUD_XYZ())
               .real("noeudXyz[0]", g.noeudXyz[0]).real("noeudXyz[1]", g.noeudXyz[1])
               .real("noeudXyz[2]", g.noeudXyz[2]));
    w.line(Line("NEIGE").when("NEIGE", "neige set (exportNEIGE) and a loading of type 2 or -1", When::NEIGE(g))
               .reason("snow-without-loading").real("neige", g.neige));
    w.each(g.loadings, [&w](const NorvikGlobalData::GenLoading& l, int i) {
        Shared::loading(w, "loadings", i, l);
    });
    w.line(Line("NOEUD_NUM").when("exportNOEUD_NUM", "noeudNum set", g.exportNOEUD_NUM())
               .integer("noeudNum", g.noeudNum));
    w.line(Line("BETON").when("exportBETON", "beton1 and beton2 set", g.exportBETON())
               .real("beton1", g.beton1).real("beton2", g.beton2));
    w.line(Line("LIA").when("exportLIA", "lia set", g.exportLIA()).text("lia", g.lia));
    w.line(Line("MASSIF").when("exportMASSIF", "massif1 and massif2 set", g.exportMASSIF())
               .real("massif1", g.massif1).real("massif2", g.massif2));
    w.line(Line("VERIF.TIGE.ADD80").when("exportVERIF_TIGE_ADD80", "verifTigeAdd80 set", g.exportVERIF_TIGE_ADD80())
               .integer("verifTigeAdd80", g.verifTigeAdd80));
    w.line(Line("VERIF.TP.T1T2MIN").when("exportVERIF_TP_T1T2MIN", "verifTpT1T2Min set", g.exportVERIF_TP_T1T2MIN())
               .integer("verifTpT1T2Min", g.verifTpT1T2Min));
    w.line(Line("EPMAX_ENC_NORAID").when("exportEPMAX_ENC_NORAID", "epmaxEncNoraid set", g.exportEPMAX_ENC_NORAID())
               .real("epmaxEncNoraid", g.epmaxEncNoraid));
    Shared::origin(w);
}

void column(KivNorvikLineWalker& w, const KivBL2Data::BL2ColumnGroup& c)
{
    w.group("POT", "columnGroup", "always", "always written", true, "");
    w.line(Line("MAT").when("exportMAT", "mat set", c.exportMAT()).text("mat", c.mat));
    Shared::section(w, "section", c.section, 1);
    w.line(Line("LIA").when("exportLIA", "lia1 and lia2 set", c.exportLIA())
               .integer("lia1", c.lia1).integer("lia2", c.lia2));
    w.line(Line("EFF").integer("effort.number", c.effort.number).real("effort.value1", c.effort.value1)
               .real("effort.value2", c.effort.value2).real("effort.value3", c.effort.value3));
    w.line(Line("ROTMAX").when("exportROTMAX", "rotMax set", c.exportROTMAX()).real("rotMax", c.rotMax));
}

// baseType 0: "RAID_ART" and "FILE.CEN"; any other: "RAIDL", "RAIDT" and the
// row that rowType selects. Every column-base line stores the codes it stands for.
void columnBase(KivNorvikLineWalker& w, const KivBL2Data::BL2ColumnBase& b)
{
    const bool articulated = b.baseType == 0;
    if (b.baseType != 0 && b.baseType != 1) {
        w.outsideTable("columnBase.baseType", "a base type other than 0 and 1 is read back as 1");
    }
    if (!articulated && b.rowType != 0 && b.rowType != 1) {
        w.outsideTable("columnBase.rowType", "a row type other than 0 and 1 is read back as 1");
    }
    const KivBL2Data::BL2ArticulatedRadius& r = b.articulatedRadius;
    w.line(Line("RAID_ART").when("baseType 0", "baseType is 0", articulated)
               .code("columnBase.baseType", b.baseType)
               .real("columnBase.articulatedRadius.value1", r.value1)
               .real("columnBase.articulatedRadius.value2", r.value2)
               .real("columnBase.articulatedRadius.value3", r.value3)
               .real("columnBase.articulatedRadius.value4", r.value4)
               .real("columnBase.articulatedRadius.value5", r.value5)
               .real("columnBase.articulatedRadius.value6", r.value6)
               .integer("columnBase.articulatedRadius.number", r.number)
               .sets("columnBase.baseType", Datum::of(0)).minTokens(2));
    w.line(Line("FILE.CEN").when("baseType 0", "baseType is 0", articulated)
               .code("columnBase.baseType", b.baseType).real("columnBase.fileCen", b.fileCen)
               .sets("columnBase.baseType", Datum::of(0)).minTokens(2));
    w.line(Line("RAIDL").when("RAID", "baseType is not 0 and neither radiusL value is 0",
                              !articulated && When::RAID(b.radiusL))
               .reason(articulated ? "not-selected" : "partly-set-line")
               .code("columnBase.baseType", b.baseType)
               .real("columnBase.radiusL.value1", b.radiusL.value1)
               .real("columnBase.radiusL.value2", b.radiusL.value2)
               .sets("columnBase.baseType", Datum::of(1)).minTokens(2));
    w.line(Line("RAIDT").when("RAID", "baseType is not 0 and neither radiusT value is 0",
                              !articulated && When::RAID(b.radiusT))
               .reason(articulated ? "not-selected" : "partly-set-line")
               .code("columnBase.baseType", b.baseType)
               .real("columnBase.radiusT.value1", b.radiusT.value1)
               .real("columnBase.radiusT.value2", b.radiusT.value2)
               .sets("columnBase.baseType", Datum::of(1)).minTokens(2));
    w.line(Line("FILE.EXT").when("rowType 0", "baseType is not 0 and rowType is 0",
                                 !articulated && b.rowType == 0)
               .code("columnBase.baseType", b.baseType).code("columnBase.rowType", b.rowType)
               .integer("columnBase.extTige.number", b.extTige.number)
               .real("columnBase.extTige.value1", b.extTige.value1)
               .real("columnBase.extTige.value2", b.extTige.value2)
               .real("columnBase.extTige.value3", b.extTige.value3)
               .sets("columnBase.baseType", Datum::of(1)).sets("columnBase.rowType", Datum::of(0))
               .minTokens(2));
    w.line(Line("FILE.INT").when("rowType not 0", "baseType is not 0 and rowType is not 0",
                                 !articulated && b.rowType != 0)
               .code("columnBase.baseType", b.baseType).code("columnBase.rowType", b.rowType)
               .real("columnBase.intTige.value1", b.intTige.value1)
               .real("columnBase.intTige.value2", b.intTige.value2)
               .sets("columnBase.baseType", Datum::of(1)).sets("columnBase.rowType", Datum::of(1))
               .minTokens(2));
}

void support(KivNorvikLineWalker& w, const KivBL2Data::BL2SupportGroup& s)
{
    w.group("APP", "supportGroup", "always", "always written", true, "");
    w.line(Line("MAT_PLATS").when("exportMAT_PLATS", "matPlats set", s.exportMAT_PLATS())
               .text("matPlats", s.matPlats));
    w.line(Line("OPTIONS").when("exportOPTIONS", "the three options set", s.exportOPTIONS())
               .integer("options[0]", s.options[0]).integer("options[1]", s.options[1])
               .integer("options[2]", s.options[2]));
    w.line(Line("COEF_ADAPT").when("exportCOEF_ADAPT", "coefAdapt set", s.exportCOEF_ADAPT())
               .real("coefAdapt", s.coefAdapt));
    w.line(Line("BECHE_PROF").text("becheProfile.text1", s.becheProfile.text1)
               .text("becheProfile.text2", s.becheProfile.text2)
               .text("becheProfile.text3", s.becheProfile.text3));
    w.line(Line("MAT_BECHE").when("exportMAT_BECHE", "matBeche set", s.exportMAT_BECHE())
               .text("matBeche", s.matBeche));
    w.line(Line("PLATINE").real("endPlate.value1", s.endPlate.value1)
               .real("endPlate.value2", s.endPlate.value2).real("endPlate.value3", s.endPlate.value3));
    w.line(Line("BOULON").real("bolt.value1", s.bolt.value1).real("bolt.value2", s.bolt.value2));
    w.line(Line("BECHE").when("exportBECHE", "beche set", s.exportBECHE()).real("beche", s.beche));
    w.line(Line("ADHER").when("exportADHER", "adher set", s.exportADHER()).real("adher", s.adher));
    w.line(Line("PRESCEL").when("exportPRESCEL", "prescel set", s.exportPRESCEL()).real("prescel", s.prescel));
    w.line(Line("TIGE").integer("stem.number", s.stem.number).real("stem.value1", s.stem.value1));
    w.line(Line("CALAGE").when("exportCALAGE", "calage set", s.exportCALAGE()).real("calage", s.calage));
    w.line(Line("PLATINE_TROU").integer("trouEndPlate.number", s.trouEndPlate.number)
               .real("trouEndPlate.value1", s.trouEndPlate.value1)
               .real("trouEndPlate.value2", s.trouEndPlate.value2));
    w.line(Line("PLAQUETTE_DIM").real("smallPlateDim.value1", s.smallPlateDim.value1)
               .integer("smallPlateDim.number", s.smallPlateDim.number)
               .real("smallPlateDim.value2", s.smallPlateDim.value2)
               .real("smallPlateDim.value3", s.smallPlateDim.value3));
    columnBase(w, s.columnBase);
}

// clang-format on

} // namespace

void KivBL2Lines::walk(KivNorvikLineWalker& w, const KivBL2Data& d)
{
    w.tag(d.projectName, false);
    general(w, d.generalGroup);
    column(w, d.columnGroup);
    support(w, d.supportGroup);
}
