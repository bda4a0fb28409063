#include "KivBL1Data.h"

namespace {

constexpr double kReal = KivNorvikData::kUndefinedReal;
constexpr int kInteger = KivNorvikData::kUndefinedInteger;

const KivString& undefinedText() { return KivNorvikData::undefinedString(); }

bool defined(double value) { return KivNorvikData::isDefined(value); }

bool defined(int value) { return KivNorvikData::isDefined(value); }

bool defined(const KivString& value) { return KivNorvikData::isDefined(value); }

template <size_t N>
void setUndefined(double (&values)[N])
{
    for (double& value : values) {
        value = kReal;
    }
}

template <size_t N>
bool allDefined(const double (&values)[N])
{
    for (double value : values) {
        if (!defined(value)) {
            return false;
        }
    }
    return true;
}

} // namespace

// Small structs

KivBL1Data::BL1GenBolt::BL1GenBolt() : number(kInteger), value(kReal), text(undefinedText()) {}

KivBL1Data::BL1TraverseStiffener::BL1TraverseStiffener() : value1(kReal), number(kInteger), value2(kReal) {}

KivBL1Data::BL1Effort::BL1Effort() : number(kInteger), value1(kReal), value2(kReal), value3(kReal) {}

KivBL1Data::BL1Pla::BL1Pla() : value1(kReal), value2(kReal), value3(kReal), value4(kReal) {}

KivBL1Data::BL1Fil::BL1Fil() : number(kInteger), value1(kReal), value2(kReal) {}

KivBL1Data::BL1TraverseBolt::BL1TraverseBolt()
    : type(kInteger), value1(kReal), value2(kReal), number(kInteger)
{
}

KivBL1Data::BL1BoltsDia::BL1BoltsDia() : value1(kReal), text(undefinedText()), value2(kReal) {}

KivBL1Data::BL1Stiff::BL1Stiff() : position(kInteger), value1(kReal), number(kInteger), value2(kReal) {}

KivBL1Data::BL1ExtBolts::BL1ExtBolts() : position(kInteger), bouExt(kReal) { setUndefined(raiPla); }

bool KivBL1Data::BL1ExtBolts::exportBOU_EXT_SUP_or_INF() const
{
    return defined(position) && defined(bouExt);
}

bool KivBL1Data::BL1ExtBolts::exportRAI_PLA_SUP_or_INF() const { return allDefined(raiPla); }

KivBL1Data::BL1Plate::BL1Plate() : value(kReal), number(kInteger) {}

// General group

KivBL1Data::BL1GeneralGroup::BL1GeneralGroup()
    : acier(kReal), repPage(undefinedText()), noeudNum(kInteger), neige(kReal), lia(undefinedText()),
      atmos(kInteger), a91(kInteger), frx(kInteger)
{
    setUndefined(xy);
    setUndefined(noeudXyz);
}

bool KivBL1Data::BL1GeneralGroup::exportACIER() const { return defined(acier); }
bool KivBL1Data::BL1GeneralGroup::exportXY() const { return allDefined(xy); }
bool KivBL1Data::BL1GeneralGroup::exportREP_PAGE() const { return defined(repPage); }
bool KivBL1Data::BL1GeneralGroup::exportNOEUD_NUM() const { return defined(noeudNum); }
bool KivBL1Data::BL1GeneralGroup::exportNOEUD_XYZ() const { return allDefined(noeudXyz); }
bool KivBL1Data::BL1GeneralGroup::exportNIEGE() const { return defined(neige); }
bool KivBL1Data::BL1GeneralGroup::exportLIA() const { return defined(lia); }

bool KivBL1Data::BL1GeneralGroup::exportBOU() const
{
    return defined(bolt.value) && defined(bolt.number) && defined(bolt.text);
}

bool KivBL1Data::BL1GeneralGroup::exportATMOS() const { return defined(atmos); }
bool KivBL1Data::BL1GeneralGroup::exportA91() const { return defined(a91); }
bool KivBL1Data::BL1GeneralGroup::exportFRX() const { return defined(frx); }

// Column group

KivBL1Data::BL1PotGroup::BL1PotGroup()
    : con(undefinedText()), lia1(kInteger), lia2(kInteger), raiAmeType(kInteger), raiAmePlaqValue(kReal),
      raiAmePlaqNumber(kInteger)
{
    setUndefined(raiAmeObliq);
}

bool KivBL1Data::BL1PotGroup::exportPRO() const { return section.exportPRO(); }
bool KivBL1Data::BL1PotGroup::exportI() const { return section.exportI(); }
bool KivBL1Data::BL1PotGroup::exportCON() const { return defined(con); }
bool KivBL1Data::BL1PotGroup::exportLIA() const { return defined(lia1) && defined(lia2); }

bool KivBL1Data::BL1PotGroup::exportRAI_AME_OBLIQ() const
{
    return raiAmeType == 0 && allDefined(raiAmeObliq);
}

bool KivBL1Data::BL1PotGroup::exportRAI_AME_PLAQ() const
{
    return raiAmeType == 1 && defined(raiAmePlaqNumber) && defined(raiAmePlaqValue);
}

// ACR group

KivBL1Data::BL1ACR::BL1ACR()
    : pro1(undefinedText()), pro2(undefinedText()), y(kReal), lia1(kInteger), lia2(kInteger), lia3(kInteger)
{
}

bool KivBL1Data::BL1ACR::exportPRO() const { return defined(pro1) && defined(pro2); }
bool KivBL1Data::BL1ACR::exportY() const { return defined(y); }

bool KivBL1Data::BL1ACR::exportLIA() const { return defined(lia1) && defined(lia2) && defined(lia3); }

// Beam side

KivBL1Data::BL1Traverse::BL1Traverse()
    : side(kInteger), ang(kReal), dy(kReal), lia1(kInteger), lia2(kInteger), bouInf(kReal), renSemInf(kReal)
{
    setUndefined(renInf);
    setUndefined(souTraPla);
}

bool KivBL1Data::BL1Traverse::exportPRO() const { return section.exportPRO(); }
bool KivBL1Data::BL1Traverse::exportI() const { return section.exportI(); }
bool KivBL1Data::BL1Traverse::exportANG() const { return defined(ang); }
bool KivBL1Data::BL1Traverse::exportDY() const { return defined(dy); }
bool KivBL1Data::BL1Traverse::exportREN_INF() const { return allDefined(renInf); }

bool KivBL1Data::BL1Traverse::exportTRA_RAI() const
{
    return defined(raiTra.number) && defined(raiTra.value1) && defined(raiTra.value2);
}

bool KivBL1Data::BL1Traverse::exportLIA() const { return defined(lia1) && defined(lia2); }

bool KivBL1Data::BL1Traverse::exportPLA() const
{
    return defined(pla.value1) && defined(pla.value2) && defined(pla.value3) && defined(pla.value4);
}

bool KivBL1Data::BL1Traverse::exportSOU_TRA_PLA() const { return allDefined(souTraPla); }

bool KivBL1Data::BL1Traverse::exportFIL() const
{
    return defined(fil.number) && defined(fil.value1) && defined(fil.value2);
}

namespace {

bool boltDefined(const KivBL1Data::BL1TraverseBolt& b)
{
    return defined(b.number) && defined(b.type) && defined(b.value1) && defined(b.value2);
}

bool stiffDefined(const KivBL1Data::BL1Stiff& s)
{
    return defined(s.number) && defined(s.position) && defined(s.value1) && defined(s.value2);
}

} // namespace

bool KivBL1Data::BL1Traverse::exportBOU_TRA() const { return boltDefined(bouTra); }
bool KivBL1Data::BL1Traverse::exportBOU_REN() const { return boltDefined(bouRen); }

bool KivBL1Data::BL1Traverse::exportBOU_DIA() const
{
    return defined(bouDia.text) && defined(bouDia.value1) && defined(bouDia.value2);
}

bool KivBL1Data::BL1Traverse::exportRAI_POT_TRA_SUP() const { return stiffDefined(raiPotTraSup); }
bool KivBL1Data::BL1Traverse::exportRAI_POT_TRA_INF() const { return stiffDefined(raiPotTraInf); }

bool KivBL1Data::BL1Traverse::exportBOU_EXT_SUP() const { return extBoltsSup.exportBOU_EXT_SUP_or_INF(); }

bool KivBL1Data::BL1Traverse::exportRAI_PLA_SUP() const { return extBoltsSup.exportRAI_PLA_SUP_or_INF(); }

bool KivBL1Data::BL1Traverse::exportBOU_EXT_INF() const { return extBoltsInf.exportBOU_EXT_SUP_or_INF(); }

bool KivBL1Data::BL1Traverse::exportRAI_PLA_INF() const { return extBoltsInf.exportRAI_PLA_SUP_or_INF(); }

bool KivBL1Data::BL1Traverse::exportBOU_INF() const { return defined(bouInf); }
bool KivBL1Data::BL1Traverse::exportREN_SEM_INF() const { return defined(renSemInf); }

// Record

KivBL1Data::KivBL1Data() : KivNorvikData(eBL1) { projectName = KivString(L"Project"); }

// The base part is not copied: the project name stays empty. The kind is
// set explicitly, as the copy holds a BL1 record.
KivBL1Data::KivBL1Data(const KivBL1Data& other) : KivNorvikData(eBL1) { *this = other; }

KivBL1Data& KivBL1Data::operator=(const KivBL1Data& other)
{
    generalGroup = other.generalGroup;
    potGroup = other.potGroup;
    acr = other.acr;
    rightTraverse = other.rightTraverse;
    leftTraverse = other.leftTraverse;
    return *this;
}

KivBL1Data::KivBL1Data(KivBL1Data&& other) noexcept : KivNorvikData(eBL1) { *this = std::move(other); }

KivBL1Data& KivBL1Data::operator=(KivBL1Data&& other) noexcept
{
    generalGroup = std::move(other.generalGroup);
    potGroup = std::move(other.potGroup);
    acr = std::move(other.acr);
    rightTraverse = std::move(other.rightTraverse);
    leftTraverse = std::move(other.leftTraverse);
    return *this;
}

KivBL1Data::~KivBL1Data() = default;

void KivBL1Data::setFrom(const KivNorvikData* source)
{
    if (const KivBL1Data* other = sourceOfKind<KivBL1Data>(source, eBL1)) {
        // Made apart first: a copy that throws leaves this record as it was.
        KivBL1Data copy(*other);
        KivString name(other->projectName);
        dataType = eBL1;
        moveIn(name, projectName);
        moveIn(copy.generalGroup, generalGroup);
        moveIn(copy.potGroup, potGroup);
        moveIn(copy.acr, acr);
        moveIn(copy.rightTraverse, rightTraverse);
        moveIn(copy.leftTraverse, leftTraverse);
    }
}

void KivBL1Data::takeFrom(KivBL1Data&& source) noexcept
{
    if (source.dataType == eBL1) {
        dataType = eBL1;
        moveIn(source.projectName, projectName);
        moveIn(source.generalGroup, generalGroup);
        moveIn(source.potGroup, potGroup);
        moveIn(source.acr, acr);
        moveIn(source.rightTraverse, rightTraverse);
        moveIn(source.leftTraverse, leftTraverse);
    }
}
