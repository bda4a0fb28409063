#include "Sample.h"

namespace norvik {

namespace {
using NorvikGlobalData::BL12Section;
using NorvikGlobalData::GenLoading;
using NorvikGlobalData::Section;

void profile(BL12Section& s, const char* series, const char* size)
{
    s.type = 0;
    s.profile.text1 = series;
    s.profile.text2 = size;
}

void profile(Section& s, const char* series, const char* size)
{
    s.type = 0;
    s.profile.text1 = series;
    s.profile.text2 = size;
}

GenLoading loading(int number, const char* name, const char* title, int type)
{
    GenLoading l;
    l.number = number;
    l.text1 = name;
    l.text2 = title;
    l.type = type;
    return l;
}

// Dead, imposed and snow loads, as most of the connections carry them.
void loadings(KivArray<GenLoading>& out)
{
    out.append(loading(1, "G", "Permanent", 0));
    out.append(loading(2, "Q", "Exploitation", 1));
    out.append(loading(4, "S", "Neige", 2));
}

void beamSide(KivBL1Data::BL1Traverse& t, int side, const char* size, double height)
{
    t.side = side;
    profile(t.section, "IPE", size);
    t.ang = side != 0 ? 0.0 : 5.5;
    t.dy = side != 0 ? 150.0 : 135.0;
    t.renInf[0] = 2.0 * height;
    t.renInf[1] = 0.5 * height;
    t.raiTra.value1 = 10.0;
    t.raiTra.number = 2;
    t.raiTra.value2 = 120.0;
    t.lia1 = 1;
    t.lia2 = 0;
    KivBL1Data::BL1Effort e;
    e.number = 1;
    e.value1 = side != 0 ? 85.4 : 62.3;
    e.value2 = side != 0 ? 142.7 : 118.9;
    e.value3 = 12.5;
    t.efforts.append(e);
    e.number = 2;
    e.value1 = side != 0 ? 64.1 : 47.8;
    e.value2 = side != 0 ? 103.2 : 88.6;
    e.value3 = 8.25;
    t.efforts.append(e);
    t.pla.value1 = 20.0;
    t.pla.value2 = 220.0;
    t.pla.value3 = height + 120.0;
    t.pla.value4 = 15.0;
    t.souTraPla[0] = 8.0;
    t.souTraPla[1] = 6.0;
    t.fil.number = 4;
    t.fil.value1 = 90.0;
    t.fil.value2 = 100.0;
    t.bouTra.type = 0;
    t.bouTra.value1 = 20.0;
    t.bouTra.value2 = 120.0;
    t.bouTra.number = 2;
    t.bouRen.type = 1;
    t.bouRen.value1 = 20.0;
    t.bouRen.value2 = 110.0;
    t.bouRen.number = 2;
    t.bouDia.value1 = 20.0;
    t.bouDia.text = "HR10.9";
    t.bouDia.value2 = 22.0;
    t.raiPotTraSup.position = 0;
    t.raiPotTraSup.value1 = 12.0;
    t.raiPotTraSup.number = 2;
    t.raiPotTraSup.value2 = 140.0;
    t.raiPotTraInf.position = 1;
    t.raiPotTraInf.value1 = 12.0;
    t.raiPotTraInf.number = 2;
    t.raiPotTraInf.value2 = 140.0;
    t.extBoltsSup.position = 0;
    t.extBoltsSup.bouExt = 80.0;
    t.extBoltsSup.raiPla[0] = 10.0;
    t.extBoltsSup.raiPla[1] = 120.0;
    t.extBoltsSup.raiPla[2] = 90.0;
    t.extBoltsInf.position = 1;
    t.extBoltsInf.bouExt = 75.0;
    t.extBoltsInf.raiPla[0] = 10.0;
    t.extBoltsInf.raiPla[1] = 120.0;
    t.extBoltsInf.raiPla[2] = 85.0;
    t.bouInf = 70.0;
    t.renSemInf = 0.5 * height;
}

std::unique_ptr<KivNorvikData> bl1()
{
    auto r = std::make_unique<KivBL1Data>();
    r->setProjectName("Hall 2, frame B3");
    auto& g = r->generalGroup;
    g.acier = 355.0;
    g.xy[0] = 6000.0;
    g.xy[1] = 0.0;
    g.xy[2] = 7200.0;
    g.repPage = "B3-N12";
    g.noeudNum = 1042;
    g.noeudXyz[0] = 6000.0;
    g.noeudXyz[1] = 18000.0;
    g.noeudXyz[2] = 7200.0;
    g.neige = 0.65;
    loadings(g.loadings);
    g.lia = "RIGIDE";
    g.bolt.number = 8;
    g.bolt.value = 20.0;
    g.bolt.text = "HR10.9";
    g.atmos = 1;
    g.a91 = 0;
    g.frx = 0;

    auto& p = r->potGroup;
    profile(p.section, "HEB", "300");
    p.con = "NON";
    p.lia1 = 1;
    p.lia2 = 0;
    p.raiAmeType = 1;
    p.raiAmePlaqValue = 12.0;
    p.raiAmePlaqNumber = 2;

    beamSide(r->rightTraverse, 1, "400", 400.0);
    beamSide(r->leftTraverse, 0, "360", 360.0);
    return r;
}

std::unique_ptr<KivNorvikData> bl2()
{
    auto r = std::make_unique<KivBL2Data>();
    r->setProjectName("Warehouse 4, axis C/7");
    auto& g = r->generalGroup;
    g.repPage = "C7-P3";
    g.noeudXyz[0] = 24000.0;
    g.noeudXyz[1] = 42000.0;
    g.noeudXyz[2] = 0.0;
    g.neige = 0.45;
    loadings(g.loadings);
    g.noeudNum = 307;
    g.beton1 = 25.0;
    g.beton2 = 30.0;
    g.lia = "ENCASTRE";
    g.massif1 = 1200.0;
    g.massif2 = 800.0;
    g.verifTigeAdd80 = 1;
    g.verifTpT1T2Min = 0;
    g.epmaxEncNoraid = 40.0;

    auto& c = r->columnGroup;
    c.mat = "S355";
    profile(c.section, "HEA", "240");
    c.lia1 = 1;
    c.lia2 = 0;
    c.effort.number = 1;
    c.effort.value1 = 320.5;
    c.effort.value2 = 45.2;
    c.effort.value3 = 18.75;
    c.rotMax = 0.015;

    auto& s = r->supportGroup;
    s.matPlats = "S275";
    s.options[0] = 1;
    s.options[1] = 0;
    s.options[2] = 1;
    s.coefAdapt = 1.5;
    s.becheProfile.text1 = "IPE";
    s.becheProfile.text2 = "140";
    s.becheProfile.text3 = "S235";
    s.matBeche = "S235";
    s.endPlate.value1 = 30.0;
    s.endPlate.value2 = 450.0;
    s.endPlate.value3 = 350.0;
    s.bolt.value1 = 24.0;
    s.bolt.value2 = 2.5;
    s.beche = 150.0;
    s.adher = 1.2;
    s.prescel = 0.3;
    s.stem.number = 4;
    s.stem.value1 = 24.0;
    s.calage = 30.0;
    s.trouEndPlate.number = 4;
    s.trouEndPlate.value1 = 30.0;
    s.trouEndPlate.value2 = 60.0;
    s.smallPlateDim.value1 = 10.0;
    s.smallPlateDim.number = 4;
    s.smallPlateDim.value2 = 60.0;
    s.smallPlateDim.value3 = 60.0;
    auto& b = s.columnBase;
    b.baseType = 1;
    b.radiusL.value1 = 15.0;
    b.radiusL.value2 = 120.0;
    b.radiusT.value1 = 12.0;
    b.radiusT.value2 = 100.0;
    b.rowType = 0;
    b.extTige.number = 2;
    b.extTige.value1 = 60.0;
    b.extTige.value2 = 320.0;
    b.extTige.value3 = 75.0;
    return r;
}

void bolt(KivBL3Data::Bolt& b, int kind, int rows)
{
    b.kind = kind;
    b.value1 = 20.0;
    b.number = rows;
    b.value2 = 70.0;
    b.value3 = 40.0;
    b.value4 = 35.0;
    b.value5 = 2.5;
}

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): called only from the table of notches below
void notch(KivBL3Data::Notch& n, int kind, double length, double depth)
{
    n.kind = kind;
    n.code = 1;
    n.value1 = length;
    n.value2 = depth;
    n.number1 = 0;
    n.number2 = 1;
}

std::unique_ptr<KivNorvikData> bl3()
{
    auto r = std::make_unique<KivBL3Data>();
    r->setProjectName("Office block, level 2");
    auto& g = r->generalGroup;
    g.typeAtt = 1;
    g.neige = 0.55;
    loadings(g.loadings);
    g.lia = "ARTICULE";
    g.optCalcul[0] = 1;
    g.optCalcul[1] = 0;
    auto& a = g.att;
    a.grp = 3;
    a.barNb = 2;
    a.num[0] = 215;
    a.num[1] = 238;
    a.noeNum[0] = 87;
    a.noeNum[1] = 93;
    a.noeNom = "N87";
    a.noeTitre = "Poutre-poteau";
    a.noeXyz[0] = 12000.0;
    a.noeXyz[1] = 4800.0;
    a.noeXyz[2] = 3600.0;
    a.bar[0] = 215;
    a.bar[1] = 238;
    a.bar[2] = 0;

    auto& m = r->mainElementGroup;
    profile(m.section, "HEB", "260");
    m.mat = "S355";

    auto& s = r->secondaryElementGroup;
    s.mat = "S275";
    profile(s.section, "IPE", "300");
    s.angle = 90;
    s.posZ = 3450.0;
    s.jeu = 10.0;
    s.connecType = 1;
    s.connecPos = 0;
    s.connecPosZRef = 0.0;
    s.connecPosZ = 40.0;
    s.connecLng = 220.0;
    s.connecMat = "S235";
    profile(s.connecSection, "PLAT", "200x10");
    s.doubleSolive = 0;
    bolt(s.boltPrim, 0, 3);
    bolt(s.boltSec, 1, 3);
    notch(s.notchSup, 0, 120.0, 35.0);
    notch(s.notchInf, 1, 110.0, 30.0);
    notch(s.notchLat, 2, 60.0, 15.0);
    notch(s.notchSupIni, 3, 130.0, 40.0);
    notch(s.notchInfIni, 4, 115.0, 32.0);
    notch(s.notchLatIni, 5, 65.0, 18.0);
    s.effort.number = 1;
    s.effort.value1 = 42.5;
    s.effort.value2 = 8.75;
    s.effort.value3 = 3.2;
    return r;
}

void bolt(KivBL4Data::Bolt& b, int kind, int count)
{
    b.kind = kind;
    b.value1 = 20.0;
    b.value2 = count;
    b.value3 = 70.0;
    b.value4 = 40.0;
    b.value5 = 35.0;
    b.value6 = 2.5;
    b.value7 = 22.0;
}

std::unique_ptr<KivNorvikData> bl4()
{
    auto r = std::make_unique<KivBL4Data>();
    r->setProjectName("Hall B, wall bracing");
    auto& g = r->generalGroup;
    g.nbrDiag = 2;
    g.optCal[0] = 1;
    g.optCal[1] = 0;
    g.gousset = 12.0;
    g.goussetText = "S275";
    g.noeud = 518;
    g.noeudXyz[0] = 30000.0;
    g.noeudXyz[1] = 0.0;
    g.noeudXyz[2] = 5400.0;
    g.neige = 0.65;
    g.loading = loading(4, "S", "Neige", 2);
    g.lia = "ARTICULE";

    auto& m = r->mainElementGroup;
    m.type = 1;
    m.mat = "S355";
    bolt(m.bolt1, 0, 4);
    bolt(m.bolt2, 1, 4);
    m.angle = 38.5;
    profile(m.section, "HEA", "200");
    m.rotation = 0.0;
    m.numMemb1[0] = 1204;
    m.numMemb1[1] = 1205;
    m.numMemb2[0] = 1310;
    m.numMemb2[1] = 1311;
    m.numPrim[0] = 1204;
    m.numPrim[1] = 1310;
    m.effNumber = 3;
    m.eff[0] = 145.2;
    m.eff[1] = 12.6;
    m.eff[2] = 0.85;

    const char* sizes[2] = {"80x80x8", "90x90x9"};
    for (int i = 0; i < 2; ++i) {
        auto& d = r->diagonalElementGroups[i];
        d.number = 1421 + 17 * i;
        d.doubleDiag = i;
        d.numElt[0] = 1421 + 17 * i;
        d.numElt[1] = 1422 + 17 * i;
        d.jeu = 15.0;
        d.mat = "S235";
        d.position = 1 - i;
        bolt(d.bolt, 2, 3);
        profile(d.section, "L", sizes[i]);
    }
    return r;
}

void gussetPlate(KivBL5Data::GHCP& h, double thickness)
{
    h.gouDim[0] = 420.0;
    h.gouDim[1] = 360.0;
    h.gouDim[2] = thickness;
    h.gouDim[3] = 45.0;
    h.gouPos1 = 1;
    h.gouPos2 = 120.0;
    h.gouPos3 = 0;
    h.bouDia = 20.0;
    h.bouXNumber = 3;
    h.bouX[0] = 40.0;
    h.bouX[1] = 70.0;
    h.bouX[2] = 40.0;
    h.bouYNumber = 1;
    h.bouY = 45.0;
    h.chpDim[0] = 160.0;
    h.chpDim[1] = 90.0;
    h.chpDim[2] = 10.0;
    h.soudure[0] = 5.0;
    h.soudure[1] = 4.0;
    h.jeux[0] = 20.0;
    h.jeux[1] = 15.0;
    h.penetrNumber = 2;
    h.penetr = 150.0;
}

std::unique_ptr<KivNorvikData> bl5()
{
    auto r = std::make_unique<KivBL5Data>();
    r->setProjectName("Hall B, roof bracing");
    auto& g = r->generalGroup;
    g.nbrDiag = 2;
    g.optCalul[0] = 1;
    g.optCalul[1] = 0;
    g.angleDiag = 1;
    g.typeAtt = 0;
    g.noeud = 733;
    g.xy[0] = 36000.0;
    g.xy[1] = 6000.0;
    g.xy[2] = 9800.0;
    g.neige = 0.65;
    g.loading = loading(4, "S", "Neige", 2);
    g.lia = "ARTICULE";
    g.bouCls = 8.8;
    g.qSoud = "B";

    auto& m = r->mainElementGroup;
    m.angle = 0.0;
    m.numMemb1[0] = 2101;
    m.numMemb1[1] = 2102;
    m.numMemb2[0] = 2203;
    m.numMemb2[1] = 2204;
    m.mat = "S355";
    profile(m.section, "IPE", "330");
    m.tourneSec = 0;
    m.effNumber = 2;
    m.eff[0] = 96.4;
    m.eff[1] = 14.25;
    m.eff[2] = 3.5;
    m.gousset1 = 12.0;
    m.gousset2 = 1;
    m.gousset3 = 250.0;

    const char* sizes[2] = {"100x100x10", "90x90x9"};
    for (int i = 0; i < 2; ++i) {
        auto& d = r->diagonalElementGroups[i];
        d.number = 2315 + 26 * i;
        d.angle = i != 0 ? -41.5 : 41.5;
        d.numElt[0] = 2315 + 26 * i;
        d.numElt[1] = 2316 + 26 * i;
        d.mat = "S235";
        profile(d.section, "L", sizes[i]);
        d.tourneSec = i;
        d.effNumber = 2;
        d.eff = i != 0 ? 88.6 : 112.4;
        gussetPlate(d.ghcp, i != 0 ? 10.0 : 12.0);
    }
    return r;
}
} // namespace

std::unique_ptr<KivNorvikData> sampleRecord(Kind kind)
{
    switch (kind) {
    case KivNorvikData::eBL1: return bl1();
    case KivNorvikData::eBL2: return bl2();
    case KivNorvikData::eBL3: return bl3();
    case KivNorvikData::eBL4: return bl4();
    default: return bl5();
    }
}

} // namespace norvik
