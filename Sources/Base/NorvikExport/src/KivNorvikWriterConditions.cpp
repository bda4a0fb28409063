#include "KivNorvikWriterConditions.h"

#include "KivBL3Lines.h"

#include <climits>
#include <cmath>

namespace {

bool defined(int value) { return KivNorvikData::isDefined(value); }
bool defined(double value) { return KivNorvikData::isDefined(value); }

} // namespace

bool KivNorvikWriterConditions::NEIGE(const KivBL1Data::BL1GeneralGroup& g)
{
    return g.exportNIEGE() && NorvikGlobalData::hasSnowLoading(g.loadings);
}

bool KivNorvikWriterConditions::NEIGE(const KivBL2Data::BL2GeneralGroup& g)
{
    return g.exportNEIGE() && NorvikGlobalData::hasSnowLoading(g.loadings);
}

bool KivNorvikWriterConditions::NEIGE(const KivBL3Data::BL3GeneralGroup& g)
{
    return g.exportNIEGE() && NorvikGlobalData::hasSnowLoading(g.loadings);
}

bool KivNorvikWriterConditions::NEIGE(const KivBL4Data::BL4GeneralGroup& g) { return g.loading.isSnow(); }

bool KivNorvikWriterConditions::NEIGE(const KivBL5Data::BL5GeneralGroup& g) { return g.loading.isSnow(); }

bool KivNorvikWriterConditions::TRA(const KivBL1Data::BL1Traverse& t) { return defined(t.side); }

bool KivNorvikWriterConditions::RAID(const KivBL2Data::BL2Radius& r)
{
    return r.value1 != 0.0 && r.value2 != 0.0;
}

bool KivNorvikWriterConditions::LIA(const KivBL3Data::BL3GeneralGroup& g)
{
    return KivNorvikData::isDefined(g.lia);
}

bool KivNorvikWriterConditions::ATT_NOE_NUM_FIRST(const KivBL3Data::ATT& a)
{
    return defined(a.noeNum[0]) && !defined(a.noeNum[1]);
}

bool KivNorvikWriterConditions::JEU(const KivBL3Data::BL3SecondaryElementGroup& s) { return defined(s.jeu); }

bool KivNorvikWriterConditions::CONNEC_POSZ(const KivBL3Data::BL3SecondaryElementGroup& s)
{
    return defined(s.connecPosZ);
}

bool KivNorvikWriterConditions::BOU(const KivBL3Data::Bolt& b)
{
    return KivBL3Lines::boltKeywords.wordOf(b.kind) != nullptr && defined(b.value1) && defined(b.number) &&
           defined(b.value2) && defined(b.value3) && defined(b.value4) && defined(b.value5);
}

bool KivNorvikWriterConditions::GRUG(const KivBL3Data::Notch& n)
{
    return KivBL3Lines::notchKeywords.wordOf(n.kind) != nullptr && defined(n.code) && defined(n.value1) &&
           defined(n.value2) && defined(n.number1) && defined(n.number2);
}

int KivNorvikWriterConditions::referenceHeight(double value)
{
    if (std::isnan(value)) {
        return KivNorvikData::kUndefinedInteger;
    }
    if (value >= static_cast<double>(INT_MAX)) {
        return INT_MAX;
    }
    if (value <= static_cast<double>(INT_MIN)) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

bool KivNorvikWriterConditions::MONTANT(const KivBL5Data::BL5GeneralGroup& g) { return g.typeAtt == 2; }
