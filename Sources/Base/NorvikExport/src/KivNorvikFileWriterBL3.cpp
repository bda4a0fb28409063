#include "KivNorvikFileWriter.h"

#include "KivBL3Data.h"
#include "KivBL3Layout.h"
#include "KivNorvikOutput.h"

#include <climits>
#include <cmath>

namespace {

using General = KivBL3Data::BL3GeneralGroup;
using Main = KivBL3Data::BL3MainElementGroup;
using Secondary = KivBL3Data::BL3SecondaryElementGroup;

bool defined(int value) { return KivNorvikData::isDefined(value); }
bool defined(double value) { return KivNorvikData::isDefined(value); }
bool defined(const KivString& value) { return KivNorvikData::isDefined(value); }

// The reference height as the integer of its line: truncated toward zero,
// saturated to the 32-bit range; NaN, an unset value, gives the unset integer.
int referenceHeight(double value)
{
    if (std::isnan(value))
        return KivNorvikData::kUndefinedInteger;
    if (value >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (value <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(value);
}

void writeAttachmentNode(KivNorvikOutput& out, const KivBL3Data::ATT& a)
{
    out.line("  AUTO_VERIF %d", 0);
    if (defined(a.grp))
        out.line("  ATT.GRP %d", a.grp);
    if (defined(a.barNb))
        out.line("  ATT.BAR_NB %d", a.barNb);
    if (defined(a.num[0]) && defined(a.num[1]))
        out.line("  ATT.NUM %d %d", a.num[0], a.num[1]);
    if (defined(a.noeNum[0])) {
        if (defined(a.noeNum[1]))
            out.line("     ATT.NOE_NUM %d %d", a.noeNum[0], a.noeNum[1]);
        else
            out.line("     ATT.NOE_NUM %d", a.noeNum[0]);
    }
    if (defined(a.noeNom))
        out.lineW(L"     ATT.NOE_NOM %s", a.noeNom);
    if (defined(a.noeTitre))
        out.lineW(L"     ATT.NOE_TITRE %s", a.noeTitre);
    if (defined(a.noeXyz[0]) && defined(a.noeXyz[1]) && defined(a.noeXyz[2]))
        out.line("     ATT.NOE_XYZ %3.3f %3.3f %3.3f", a.noeXyz[0], a.noeXyz[1], a.noeXyz[2]);
    if (defined(a.bar[0]) && defined(a.bar[1]) && defined(a.bar[2])) {
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
    if (defined(g.neige) && NorvikGlobalData::hasSnowLoading(g.loadings))
        out.line("  NEIGE %3.3f", g.neige);
    for (int i = 0; i < g.loadings.getLength(); ++i)
        out.loading(g.loadings[i]);
    if (defined(g.lia))
        out.lineW(L"  LIA %s", g.lia);
    if (defined(g.optCalcul[0]) && defined(g.optCalcul[1]))
        out.line("  OPT_CALCUL %d %d", g.optCalcul[0], g.optCalcul[1]);
    writeAttachmentNode(out, g.att);
    out.origin();
    out.line("FIN");
}

void writeMain(KivNorvikOutput& out, const Main& m)
{
    out.line("PRIM");
    if (defined(m.mat))
        out.lineW(L"  MAT %s", m.mat);
    out.section(m.section, 0);
    out.line("FIN");
}

void writeBolt(KivNorvikOutput& out, const KivBL3Data::Bolt& b)
{
    const char* keyword = KivBL3Layout::wordOf(KivBL3Layout::boltKeywords, b.kind);
    if (keyword == nullptr)
        return;
    if (!defined(b.value1) || !defined(b.number) || !defined(b.value2) || !defined(b.value3)
        || !defined(b.value4) || !defined(b.value5))
        return;
    // value5 takes the fifth place, with one decimal, and value4 the sixth.
    out.print("  %s", keyword);
    out.line(" %3.3f %d %3.3f %3.3f %1.1f %3.3f", b.value1, b.number, b.value2, b.value3,
             b.value5, b.value4);
}

void writeNotch(KivNorvikOutput& out, const KivBL3Data::Notch& n)
{
    const char* keyword = KivBL3Layout::wordOf(KivBL3Layout::notchKeywords, n.kind);
    if (keyword == nullptr)
        return;
    // `code` is tested against the unset integer, not against its default -1.
    if (!defined(n.code) || !defined(n.value1) || !defined(n.value2) || !defined(n.number1)
        || !defined(n.number2))
        return;
    out.print("  %s", keyword);
    out.line(" %d %3.3f %3.3f %d %d", n.code, n.value1, n.value2, n.number1, n.number2);
}

void writeSecondary(KivNorvikOutput& out, const Secondary& s)
{
    out.line("SEC_1");
    if (defined(s.mat))
        out.lineW(L"  MAT %s", s.mat);
    out.section(s.section, 0);
    if (defined(s.angle))
        out.line("  ANGLE %d", s.angle);
    if (defined(s.posZ))
        out.line("  POS_Z %3.3f", s.posZ);
    if (defined(s.jeu))
        out.line("  JEU %3.3f", s.jeu);
    // A code outside its table writes the keyword and an empty word.
    const char* type = KivBL3Layout::wordOf(KivBL3Layout::connecTypeWords, s.connecType);
    const char* side = KivBL3Layout::wordOf(KivBL3Layout::connecPosWords, s.connecPos);
    out.line("  CONNEC_TYPE %s", type ? type : "");
    out.line("  CONNEC_POS %s", side ? side : "");
    if (defined(s.connecPosZ))
        out.line("  CONNEC_POSZ %d %3.3f", referenceHeight(s.connecPosZRef), s.connecPosZ);
    if (defined(s.connecLng))
        out.line("  CONNEC_LNG %3.3f", s.connecLng);
    if (defined(s.connecMat))
        out.lineW(L"  CONNEC_MAT %s", s.connecMat);
    out.section(s.connecSection, 1);
    if (defined(s.doubleSolive))
        out.line("  DOUBLE_SOLIVE %d", s.doubleSolive);
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
    if (file == nullptr)
        return 0;
    KivNorvikOutput out = output();
    out.lineW(L"\"NV_ATT\",\"%s:%s\"", L"2006.15c2", data.projectName);
    out.endLine();
    writeGeneral(out, data.generalGroup);
    writeMain(out, data.mainElementGroup);
    writeSecondary(out, data.secondaryElementGroup);
    return finish(out);
}
