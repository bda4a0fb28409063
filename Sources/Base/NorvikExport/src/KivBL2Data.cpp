#include "KivBL2Data.h"

namespace {
constexpr double kReal = KivNorvikData::kUndefinedReal;
constexpr int kInteger = KivNorvikData::kUndefinedInteger;
} // namespace

bool KivBL2Data::isSet(double value) { return isSetExactly(value); }

// General group

KivBL2Data::BL2GeneralGroup::BL2GeneralGroup()
    : repPage(undefinedString()), noeudXyz{kReal, kReal, kReal}, neige(kReal), noeudNum(kInteger),
      beton1(kReal), beton2(kReal), lia(undefinedString()), massif1(kReal), massif2(kReal),
      verifTigeAdd80(kInteger), verifTpT1T2Min(kInteger), epmaxEncNoraid(kReal)
{
}

KivBL2Data::BL2GeneralGroup::BL2GeneralGroup(const BL2GeneralGroup& other) : BL2GeneralGroup()
{
    *this = other;
}

KivBL2Data::BL2GeneralGroup& KivBL2Data::BL2GeneralGroup::operator=(const BL2GeneralGroup& other)
{
    if (this == &other) {
        return *this;
    }
    repPage = other.repPage;
    for (int i = 0; i < 3; ++i) {
        noeudXyz[i] = other.noeudXyz[i];
    }
    neige = other.neige;
    loadings = other.loadings;
    noeudNum = other.noeudNum;
    beton1 = other.beton1;
    beton2 = other.beton2;
    lia = other.lia;
    massif1 = other.massif1;
    massif2 = other.massif2;
    verifTigeAdd80 = other.verifTigeAdd80;
    verifTpT1T2Min = other.verifTpT1T2Min;
    epmaxEncNoraid = other.epmaxEncNoraid;
    return *this;
}

KivBL2Data::BL2GeneralGroup::BL2GeneralGroup(BL2GeneralGroup&& other) noexcept = default;
KivBL2Data::BL2GeneralGroup&
KivBL2Data::BL2GeneralGroup::operator=(BL2GeneralGroup&& other) noexcept = default;
KivBL2Data::BL2GeneralGroup::~BL2GeneralGroup() = default;

bool KivBL2Data::BL2GeneralGroup::exportREP_PAGE() const { return isDefined(repPage); }

bool KivBL2Data::BL2GeneralGroup::exportNOEUD_XYZ() const
{
    return isSet(noeudXyz[0]) && isSet(noeudXyz[1]) && isSet(noeudXyz[2]);
}

bool KivBL2Data::BL2GeneralGroup::exportNEIGE() const { return isSet(neige); }
bool KivBL2Data::BL2GeneralGroup::exportNOEUD_NUM() const { return isDefined(noeudNum); }
bool KivBL2Data::BL2GeneralGroup::exportBETON() const { return isSet(beton1) && isSet(beton2); }
bool KivBL2Data::BL2GeneralGroup::exportLIA() const { return isDefined(lia); }
bool KivBL2Data::BL2GeneralGroup::exportMASSIF() const { return isSet(massif1) && isSet(massif2); }
bool KivBL2Data::BL2GeneralGroup::exportVERIF_TIGE_ADD80() const { return isDefined(verifTigeAdd80); }
bool KivBL2Data::BL2GeneralGroup::exportVERIF_TP_T1T2MIN() const { return isDefined(verifTpT1T2Min); }
bool KivBL2Data::BL2GeneralGroup::exportEPMAX_ENC_NORAID() const { return isSet(epmaxEncNoraid); }

// Column group

KivBL2Data::BL2ColumnGroup::BL2ColumnGroup()
    : mat(undefinedString()), lia1(kInteger), lia2(kInteger), rotMax(kReal)
{
}

KivBL2Data::BL2ColumnGroup::BL2ColumnGroup(const BL2ColumnGroup& other) : BL2ColumnGroup() { *this = other; }

KivBL2Data::BL2ColumnGroup& KivBL2Data::BL2ColumnGroup::operator=(const BL2ColumnGroup& other)
{
    mat = other.mat;
    section = other.section;
    lia1 = other.lia1;
    lia2 = other.lia2;
    effort = other.effort;
    rotMax = other.rotMax;
    return *this;
}

KivBL2Data::BL2ColumnGroup::BL2ColumnGroup(BL2ColumnGroup&& other) noexcept = default;
KivBL2Data::BL2ColumnGroup& KivBL2Data::BL2ColumnGroup::operator=(BL2ColumnGroup&& other) noexcept = default;
KivBL2Data::BL2ColumnGroup::~BL2ColumnGroup() = default;

bool KivBL2Data::BL2ColumnGroup::exportMAT() const { return isDefined(mat); }
bool KivBL2Data::BL2ColumnGroup::exportLIA() const { return isDefined(lia1) && isDefined(lia2); }
bool KivBL2Data::BL2ColumnGroup::exportROTMAX() const { return isSet(rotMax); }

// Support group

KivBL2Data::BL2SupportGroup::BL2SupportGroup()
    : matPlats(undefinedString()), options{kInteger, kInteger, kInteger}, coefAdapt(kReal),
      matBeche(undefinedString()), beche(kReal), adher(kReal), prescel(kReal), calage(kReal)
{
}

KivBL2Data::BL2SupportGroup::BL2SupportGroup(const BL2SupportGroup& other) : BL2SupportGroup()
{
    *this = other;
}

KivBL2Data::BL2SupportGroup& KivBL2Data::BL2SupportGroup::operator=(const BL2SupportGroup& other)
{
    if (this == &other) {
        return *this;
    }
    matPlats = other.matPlats;
    for (int i = 0; i < 3; ++i) {
        options[i] = other.options[i];
    }
    coefAdapt = other.coefAdapt;
    becheProfile = other.becheProfile;
    matBeche = other.matBeche;
    endPlate = other.endPlate;
    bolt = other.bolt;
    beche = other.beche;
    adher = other.adher;
    prescel = other.prescel;
    stem = other.stem;
    calage = other.calage;
    trouEndPlate = other.trouEndPlate;
    smallPlateDim = other.smallPlateDim;
    columnBase = other.columnBase;
    return *this;
}

KivBL2Data::BL2SupportGroup::BL2SupportGroup(BL2SupportGroup&& other) noexcept = default;
KivBL2Data::BL2SupportGroup&
KivBL2Data::BL2SupportGroup::operator=(BL2SupportGroup&& other) noexcept = default;
KivBL2Data::BL2SupportGroup::~BL2SupportGroup() = default;

bool KivBL2Data::BL2SupportGroup::exportMAT_PLATS() const { return isDefined(matPlats); }

bool KivBL2Data::BL2SupportGroup::exportOPTIONS() const
{
    return isDefined(options[0]) && isDefined(options[1]) && isDefined(options[2]);
}

bool KivBL2Data::BL2SupportGroup::exportCOEF_ADAPT() const { return isSet(coefAdapt); }
bool KivBL2Data::BL2SupportGroup::exportMAT_BECHE() const { return isDefined(matBeche); }
bool KivBL2Data::BL2SupportGroup::exportBECHE() const { return isSet(beche); }
bool KivBL2Data::BL2SupportGroup::exportADHER() const { return isSet(adher); }
bool KivBL2Data::BL2SupportGroup::exportPRESCEL() const { return isSet(prescel); }
bool KivBL2Data::BL2SupportGroup::exportCALAGE() const { return isSet(calage); }

// Record

KivBL2Data::KivBL2Data() : KivNorvikData(eBL2) { projectName = KivString("Project"); }

// The kind is set here, not copied: a copy is a BL2 record whatever the
// source's base part says. The project name stays empty.
KivBL2Data::KivBL2Data(const KivBL2Data& other) : KivNorvikData(eBL2) { *this = other; }

KivBL2Data& KivBL2Data::operator=(const KivBL2Data& other)
{
    generalGroup = other.generalGroup;
    columnGroup = other.columnGroup;
    supportGroup = other.supportGroup;
    return *this;
}

KivBL2Data::KivBL2Data(KivBL2Data&& other) noexcept : KivNorvikData(eBL2) { *this = std::move(other); }

KivBL2Data& KivBL2Data::operator=(KivBL2Data&& other) noexcept
{
    generalGroup = std::move(other.generalGroup);
    columnGroup = std::move(other.columnGroup);
    supportGroup = std::move(other.supportGroup);
    return *this;
}

KivBL2Data::~KivBL2Data() = default;

void KivBL2Data::setFrom(const KivNorvikData* source)
{
    if (const KivBL2Data* other = sourceOfKind<KivBL2Data>(source, eBL2)) {
        // Made apart first: a copy that throws leaves this record as it was.
        KivBL2Data copy(*other);
        KivString name(other->projectName);
        dataType = eBL2;
        moveIn(name, projectName);
        moveIn(copy.generalGroup, generalGroup);
        moveIn(copy.columnGroup, columnGroup);
        moveIn(copy.supportGroup, supportGroup);
    }
}

void KivBL2Data::takeFrom(KivBL2Data&& source) noexcept
{
    if (source.dataType == eBL2) {
        dataType = eBL2;
        moveIn(source.projectName, projectName);
        moveIn(source.generalGroup, generalGroup);
        moveIn(source.columnGroup, columnGroup);
        moveIn(source.supportGroup, supportGroup);
    }
}
