#include "KivBL3Data.h"

namespace {

constexpr double kReal = KivNorvikData::kUndefinedReal;
constexpr int kInteger = KivNorvikData::kUndefinedInteger;

bool defined(int value) { return KivNorvikData::isDefined(value); }
bool defined(double value) { return KivNorvikData::isDefined(value); }
bool defined(const KivString& value) { return KivNorvikData::isDefined(value); }

} // namespace

// ---- ATT

KivBL3Data::ATT::ATT()
    : grp(kInteger), barNb(kInteger), num{kInteger, kInteger}, noeNum{kInteger, kInteger},
      noeNom(undefinedString()),
      noeTitre(undefinedString()), noeXyz{kReal, kReal, kReal}, bar{kInteger, kInteger, kInteger}
{
}

bool KivBL3Data::ATT::exportATT_GRP() const { return defined(grp); }
bool KivBL3Data::ATT::exportATT_BAR_NB() const { return defined(barNb); }
bool KivBL3Data::ATT::exportATT_NUM() const { return defined(num[0]) && defined(num[1]); }
bool KivBL3Data::ATT::exportATT_NOE_NUM() const { return defined(noeNum[0]) && defined(noeNum[1]); }
bool KivBL3Data::ATT::exportATT_NOE_NOM() const { return defined(noeNom); }
bool KivBL3Data::ATT::exportATT_NOE_TITRE() const { return defined(noeTitre); }

bool KivBL3Data::ATT::exportATT_NOE_XYZ() const
{
    return defined(noeXyz[0]) && defined(noeXyz[1]) && defined(noeXyz[2]);
}

bool KivBL3Data::ATT::exportATT_BAR1() const { return defined(bar[0]) && defined(bar[1]) && defined(bar[2]); }

// ---- General group

KivBL3Data::BL3GeneralGroup::BL3GeneralGroup()
    : typeAtt(kInteger), neige(kReal), lia(undefinedString()), optCalcul{kInteger, kInteger}
{
}

bool KivBL3Data::BL3GeneralGroup::exportTYPE_ATT() const { return defined(typeAtt); }
bool KivBL3Data::BL3GeneralGroup::exportNIEGE() const { return defined(neige); }

bool KivBL3Data::BL3GeneralGroup::exportOPT_CALCUL() const
{
    return defined(optCalcul[0]) && defined(optCalcul[1]);
}

// ---- Main element group

KivBL3Data::BL3MainElementGroup::BL3MainElementGroup() : mat(undefinedString()) {}

bool KivBL3Data::BL3MainElementGroup::exportMAT_MAIN() const { return defined(mat); }
bool KivBL3Data::BL3MainElementGroup::exportPRF() const { return section.exportPRF(); }
bool KivBL3Data::BL3MainElementGroup::exportDIM() const { return section.exportDIM(); }

// ---- Bolt, notch, effort

KivBL3Data::Bolt::Bolt()
    : kind(kInteger), value1(kReal), number(kInteger), value2(kReal), value3(kReal), value4(kReal),
      value5(kReal)
{
}

bool KivBL3Data::Bolt::exportBOU_PRIM_or_SEC() const
{
    return defined(kind) && defined(value1) && defined(number) && defined(value2) && defined(value3) &&
           defined(value4) && defined(value5);
}

KivBL3Data::Notch::Notch()
    : kind(kInteger), code(-1), value1(kReal), value2(kReal), number1(kInteger), number2(kInteger)
{
}

bool KivBL3Data::Notch::exportGRUG_SUP_or_INF() const
{
    return defined(kind) && code != -1 && defined(value1) && defined(value2) && defined(number1) &&
           defined(number2);
}

KivBL3Data::Effort::Effort() : number(kInteger), value1(kReal), value2(kReal), value3(kReal) {}

bool KivBL3Data::Effort::exportEFF() const
{
    return defined(number) && defined(value1) && defined(value2) && defined(value3);
}

// ---- Secondary element group

KivBL3Data::BL3SecondaryElementGroup::BL3SecondaryElementGroup()
    : mat(undefinedString()), angle(kInteger), posZ(kReal), jeu(kReal), connecType(kInteger),
      connecPos(kInteger), connecPosZRef(kUndefinedPosZRef), connecPosZ(kReal), connecLng(kReal),
      connecMat(undefinedString()), doubleSolive(kInteger)
{
}

bool KivBL3Data::BL3SecondaryElementGroup::exportMAT_SEC() const { return defined(mat); }
bool KivBL3Data::BL3SecondaryElementGroup::exportPRF_SECB() const { return section.exportPRF(); }
bool KivBL3Data::BL3SecondaryElementGroup::exportDIM_SECB() const { return section.exportDIM(); }
bool KivBL3Data::BL3SecondaryElementGroup::exportPRF_ANGLE() const { return connecSection.exportPRF(); }
bool KivBL3Data::BL3SecondaryElementGroup::exportDIM_ANGLE() const { return connecSection.exportDIM(); }
bool KivBL3Data::BL3SecondaryElementGroup::exportANGLE() const { return defined(angle); }
bool KivBL3Data::BL3SecondaryElementGroup::exportPOS_Z() const { return defined(posZ); }
bool KivBL3Data::BL3SecondaryElementGroup::exportJEU() const { return isSetExactly(jeu); }
bool KivBL3Data::BL3SecondaryElementGroup::exportCONNEC_TYPE() const { return defined(connecType); }
bool KivBL3Data::BL3SecondaryElementGroup::exportCONNEC_POS() const { return defined(connecPos); }

bool KivBL3Data::BL3SecondaryElementGroup::exportCONNEC_POSZ() const
{
    return isDefined(connecPosZRef, kUndefinedPosZRef);
}

bool KivBL3Data::BL3SecondaryElementGroup::exportCONNEC_LNG() const { return defined(connecLng); }
bool KivBL3Data::BL3SecondaryElementGroup::exportCONNEC_MAT() const { return defined(connecMat); }
bool KivBL3Data::BL3SecondaryElementGroup::exportDOUBLE_SOLIVE() const { return defined(doubleSolive); }

// ---- Record

KivBL3Data::KivBL3Data() : KivNorvikData(eBL3) { projectName = KivString(L"Project"); }

// The source's project name is not copied; the copy is still a BL3 record.
KivBL3Data::KivBL3Data(const KivBL3Data& source)
    : KivNorvikData(eBL3), generalGroup(source.generalGroup), mainElementGroup(source.mainElementGroup),
      secondaryElementGroup(source.secondaryElementGroup)
{
}

KivBL3Data& KivBL3Data::operator=(const KivBL3Data& source)
{
    generalGroup = source.generalGroup;
    mainElementGroup = source.mainElementGroup;
    secondaryElementGroup = source.secondaryElementGroup;
    return *this;
}

KivBL3Data::KivBL3Data(KivBL3Data&& other) noexcept : KivNorvikData(eBL3) { *this = std::move(other); }

KivBL3Data& KivBL3Data::operator=(KivBL3Data&& other) noexcept
{
    generalGroup = std::move(other.generalGroup);
    mainElementGroup = std::move(other.mainElementGroup);
    secondaryElementGroup = std::move(other.secondaryElementGroup);
    return *this;
}

KivBL3Data::~KivBL3Data() = default;

void KivBL3Data::setFrom(const KivNorvikData* source)
{
    if (const KivBL3Data* other = sourceOfKind<KivBL3Data>(source, eBL3)) {
        // Made apart first: a copy that throws leaves this record as it was.
        KivBL3Data copy(*other);
        KivString name(other->projectName);
        dataType = eBL3;
        moveIn(name, projectName);
        moveIn(copy.generalGroup, generalGroup);
        moveIn(copy.mainElementGroup, mainElementGroup);
        moveIn(copy.secondaryElementGroup, secondaryElementGroup);
    }
}

void KivBL3Data::takeFrom(KivBL3Data&& source) noexcept
{
    if (source.dataType == eBL3) {
        dataType = eBL3;
        moveIn(source.projectName, projectName);
        moveIn(source.generalGroup, generalGroup);
        moveIn(source.mainElementGroup, mainElementGroup);
        moveIn(source.secondaryElementGroup, secondaryElementGroup);
    }
}
