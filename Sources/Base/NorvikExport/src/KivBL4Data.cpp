#include "KivBL4Data.h"

namespace {
constexpr double kReal = KivNorvikData::kUndefinedReal;
constexpr int kInteger = KivNorvikData::kUndefinedInteger;
} // namespace

KivBL4Data::Bolt::Bolt()
    : kind(kInteger), value1(kReal), value2(kInteger), value3(kReal), value4(kReal), value5(kReal),
      value6(kReal), value7(kReal)
{
}

KivBL4Data::BL4GeneralGroup::BL4GeneralGroup()
    : nbrDiag(kInteger), optCal{kInteger, kInteger}, gousset(kReal),
      noeud(kInteger), noeudXyz{kReal, kReal, kReal}, neige(kReal)
{
}

KivBL4Data::BL4MainElementGroup::BL4MainElementGroup()
    : type(kInteger), angle(kReal),
      rotation(kReal), numMemb1{kInteger, kInteger}, numMemb2{kInteger, kInteger}, numPrim{kInteger,
                                                                                           kInteger},
      effNumber(kInteger), eff{kReal, kReal, kReal}
{
}

KivBL4Data::BL4DiagonalElementGroup::BL4DiagonalElementGroup()
    : number(kInteger), doubleDiag(kInteger), numElt{kInteger, kInteger}, jeu(kReal), position(kInteger)
{
}

KivBL4Data::KivBL4Data() : KivNorvikData(eBL4) {}

// Member-wise: the base copies the kind and the project name, the groups copy
// every field, extraData included.
KivBL4Data::KivBL4Data(const KivBL4Data& other) = default;
// NOLINTBEGIN(bugprone-reserved-identifier): the name is the compiler's own, for the array members
KivBL4Data& KivBL4Data::operator=(const KivBL4Data& other) = default;
KivBL4Data::KivBL4Data(KivBL4Data&& other) noexcept = default;
KivBL4Data& KivBL4Data::operator=(KivBL4Data&& other) noexcept = default;
// NOLINTEND(bugprone-reserved-identifier)
KivBL4Data::~KivBL4Data() = default;
