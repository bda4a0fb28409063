#include "KivBL5Data.h"

namespace {
constexpr double kReal = KivNorvikData::kUndefinedReal;
constexpr int kInteger = KivNorvikData::kUndefinedInteger;
} // namespace

KivBL5Data::GHCP::GHCP()
    : gouDim{kReal, kReal, kReal, kReal}, gouPos1(kInteger), gouPos2(kReal), gouPos3(kInteger), bouDia(kReal),
      bouXNumber(kInteger), bouX{kReal, kReal, kReal}, bouYNumber(kInteger),
      bouY(kReal), chpDim{kReal, kReal, kReal}, soudure{kReal, kReal}, jeux{kReal, kReal},
      penetrNumber(kInteger), penetr(kReal)
{
}

KivBL5Data::BL5GeneralGroup::BL5GeneralGroup()
    : nbrDiag(kInteger), optCalul{kInteger, kInteger}, angleDiag(kInteger), typeAtt(kInteger),
      noeud(kInteger), xy{kReal, kReal, kReal}, neige(kReal), bouCls(kReal)
{
}

KivBL5Data::BL5MainElementGroup::BL5MainElementGroup()
    : angle(kReal), numMemb1{kInteger, kInteger}, numMemb2{kInteger, kInteger}, tourneSec(kInteger),
      effNumber(kInteger), eff{kReal, kReal, kReal}, gousset1(kReal), gousset2(kInteger), gousset3(kReal)
{
}

KivBL5Data::BL5ColumnGroup::BL5ColumnGroup() : numMont{kInteger, kInteger}, angle(kReal), tourneSec(kInteger)
{
}

KivBL5Data::BL5DiagonalElementGroup::BL5DiagonalElementGroup()
    : number(kInteger), angle(kReal), numElt{kInteger, kInteger}, tourneSec(kInteger), effNumber(kInteger),
      eff(kReal)
{
}

KivBL5Data::KivBL5Data() : KivNorvikData(eBL5) {}

// Member-wise: the base copies the kind and the project name, the groups copy
// every field.
KivBL5Data::KivBL5Data(const KivBL5Data& other) = default;
// NOLINTBEGIN(bugprone-reserved-identifier): the name is the compiler's own, for the array members
KivBL5Data& KivBL5Data::operator=(const KivBL5Data& other) = default;
KivBL5Data::KivBL5Data(KivBL5Data&& other) noexcept = default;
KivBL5Data& KivBL5Data::operator=(KivBL5Data&& other) noexcept = default;
// NOLINTEND(bugprone-reserved-identifier)
KivBL5Data::~KivBL5Data() = default;
