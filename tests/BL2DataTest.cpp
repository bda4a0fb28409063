#include "RecordFields.h"
#include "TestSupport.h"

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

using norvik_test::describeDifference;
using norvik_test::flatten;

namespace {

constexpr double kReal = KivNorvikData::kUndefinedReal;
constexpr int kInteger = KivNorvikData::kUndefinedInteger;

NorvikGlobalData::GenLoading loading(int number, int type)
{
    NorvikGlobalData::GenLoading l;
    l.number = number;
    l.text1 = KivString("G");
    l.text2 = KivString("perm");
    l.type = type;
    return l;
}

// Every predicate of the record with its name, in group order.
std::vector<std::pair<std::string, bool>> predicates(const KivBL2Data& d)
{
    const auto& g = d.generalGroup;
    const auto& c = d.columnGroup;
    const auto& s = d.supportGroup;
    return {
        {"REP_PAGE", g.exportREP_PAGE()}, {"NOEUD_XYZ", g.exportNOEUD_XYZ()},
        {"NEIGE", g.exportNEIGE()}, {"NOEUD_NUM", g.exportNOEUD_NUM()},
        {"BETON", g.exportBETON()}, {"GEN LIA", g.exportLIA()}, {"MASSIF", g.exportMASSIF()},
        {"VERIF_TIGE_ADD80", g.exportVERIF_TIGE_ADD80()},
        {"VERIF_TP_T1T2MIN", g.exportVERIF_TP_T1T2MIN()},
        {"EPMAX_ENC_NORAID", g.exportEPMAX_ENC_NORAID()}, {"MAT", c.exportMAT()},
        {"POT LIA", c.exportLIA()}, {"ROTMAX", c.exportROTMAX()},
        {"MAT_PLATS", s.exportMAT_PLATS()}, {"OPTIONS", s.exportOPTIONS()},
        {"COEF_ADAPT", s.exportCOEF_ADAPT()}, {"MAT_BECHE", s.exportMAT_BECHE()},
        {"BECHE", s.exportBECHE()}, {"ADHER", s.exportADHER()}, {"PRESCEL", s.exportPRESCEL()},
        {"CALAGE", s.exportCALAGE()},
    };
}

std::vector<std::string> truePredicates(const KivBL2Data& d)
{
    std::vector<std::string> names;
    for (const auto& p : predicates(d))
        if (p.second)
            names.push_back(p.first);
    return names;
}

} // namespace

TEST(BL2Data, DefaultRecordIsEmptyAndItsUnsetStructsAreZero)
{
    const KivBL2Data d;
    EXPECT_EQ(KivNorvikData::eBL2, d.getDataType());
    EXPECT_EQ(std::wstring(L"Project"), d.projectName.getStringW());
    EXPECT_TRUE(truePredicates(d).empty());
    EXPECT_EQ(0, d.generalGroup.loadings.getLength());
    EXPECT_EQ(8, d.generalGroup.loadings.getGrowBy());
    const auto& s = d.supportGroup;
    EXPECT_NE(0, s.becheProfile.text1.isEmpty());
    EXPECT_NE(0, s.becheProfile.text2.isEmpty());
    EXPECT_NE(0, s.becheProfile.text3.isEmpty());
    EXPECT_EQ(kInteger, d.columnGroup.section.type);

    // The fields without an undefined value start at zero, selectors included.
    for (const auto& field : flatten(d)) {
        const bool noDefault = field.first.find("effort.") != std::string::npos
            || field.first.find("endPlate.") != std::string::npos
            || field.first.find("bolt.") != std::string::npos
            || field.first.find("stem.") != std::string::npos
            || field.first.find("trouEndPlate.") != std::string::npos
            || field.first.find("smallPlateDim.") != std::string::npos
            || field.first.find("columnBase.") != std::string::npos;
        if (noDefault) {
            EXPECT_EQ("0", field.second) << field.first;
        }
    }
}

TEST(BL2Data, EachPredicateTurnsOnWithItsOwnFieldsOnly)
{
    using Setter = std::function<void(KivBL2Data&)>;
    const std::vector<std::pair<std::string, Setter>> cases = {
        {"REP_PAGE", [](KivBL2Data& d) { d.generalGroup.repPage = KivString("p1"); }},
        {"NOEUD_XYZ", [](KivBL2Data& d) { for (double& x : d.generalGroup.noeudXyz) x = 1; }},
        {"NEIGE", [](KivBL2Data& d) { d.generalGroup.neige = 0.5; }},
        {"NOEUD_NUM", [](KivBL2Data& d) { d.generalGroup.noeudNum = 3; }},
        {"BETON", [](KivBL2Data& d) { d.generalGroup.beton1 = d.generalGroup.beton2 = 1; }},
        {"GEN LIA", [](KivBL2Data& d) { d.generalGroup.lia = KivString("A1"); }},
        {"MASSIF", [](KivBL2Data& d) { d.generalGroup.massif1 = d.generalGroup.massif2 = 1; }},
        {"VERIF_TIGE_ADD80", [](KivBL2Data& d) { d.generalGroup.verifTigeAdd80 = 0; }},
        {"VERIF_TP_T1T2MIN", [](KivBL2Data& d) { d.generalGroup.verifTpT1T2Min = 1; }},
        {"EPMAX_ENC_NORAID", [](KivBL2Data& d) { d.generalGroup.epmaxEncNoraid = 0; }},
        {"MAT", [](KivBL2Data& d) { d.columnGroup.mat = KivString("S235"); }},
        {"POT LIA", [](KivBL2Data& d) { d.columnGroup.lia1 = d.columnGroup.lia2 = 2; }},
        {"ROTMAX", [](KivBL2Data& d) { d.columnGroup.rotMax = 0.01; }},
        {"MAT_PLATS", [](KivBL2Data& d) { d.supportGroup.matPlats = KivString("S355"); }},
        {"OPTIONS", [](KivBL2Data& d) { for (int& o : d.supportGroup.options) o = 1; }},
        {"COEF_ADAPT", [](KivBL2Data& d) { d.supportGroup.coefAdapt = 1; }},
        {"MAT_BECHE", [](KivBL2Data& d) { d.supportGroup.matBeche = KivString("S275"); }},
        {"BECHE", [](KivBL2Data& d) { d.supportGroup.beche = 1; }},
        {"ADHER", [](KivBL2Data& d) { d.supportGroup.adher = 1; }},
        {"PRESCEL", [](KivBL2Data& d) { d.supportGroup.prescel = 1; }},
        {"CALAGE", [](KivBL2Data& d) { d.supportGroup.calage = 1; }},
    };
    ASSERT_EQ(predicates(KivBL2Data()).size(), cases.size());
    for (const auto& c : cases) {
        KivBL2Data d;
        c.second(d);
        EXPECT_EQ(std::vector<std::string>{c.first}, truePredicates(d)) << c.first;
    }
}

TEST(BL2Data, RealsAreComparedExactlyWithTheUndefinedValue)
{
    KivBL2Data d;
    auto& g = d.generalGroup;
    // Within the tolerance of the other kinds, yet set for BL2.
    ASSERT_FALSE(KivNorvikData::isDefined(-123456.7800001));
    g.epmaxEncNoraid = -123456.7800001;
    EXPECT_TRUE(g.exportEPMAX_ENC_NORAID());
    g.epmaxEncNoraid = kReal;
    EXPECT_FALSE(g.exportEPMAX_ENC_NORAID());
    g.epmaxEncNoraid = std::numeric_limits<double>::quiet_NaN();
    EXPECT_TRUE(g.exportEPMAX_ENC_NORAID());
    d.supportGroup.beche = -123456.7800005;
    EXPECT_TRUE(d.supportGroup.exportBECHE());
    g.noeudXyz[0] = g.noeudXyz[1] = -123456.78000001;
    g.noeudXyz[2] = std::nan("");
    EXPECT_TRUE(g.exportNOEUD_XYZ());

    // Lines of several values need all of them.
    g.noeudXyz[2] = kReal;
    EXPECT_FALSE(g.exportNOEUD_XYZ());
    g.beton1 = 1;
    EXPECT_FALSE(g.exportBETON());
    d.supportGroup.options[0] = 1;
    d.supportGroup.options[2] = 3;
    EXPECT_FALSE(d.supportGroup.exportOPTIONS());
    d.columnGroup.lia1 = 1;
    EXPECT_FALSE(d.columnGroup.exportLIA());
    d.generalGroup.lia = KivString("STRINGDUMMYNORVIKEXPORT");
    EXPECT_TRUE(d.generalGroup.exportLIA());
}

TEST(BL2Data, AssignmentCopiesGroupsButNotTheNameAndCopiesAreBL2)
{
    KivBL2Data source;
    source.setProjectName(KivString("Hall"));
    for (int i = 0; i < 3; ++i)
        source.generalGroup.loadings.append(loading(i + 1, i));
    source.generalGroup.noeudXyz[1] = 2.5;
    source.columnGroup.section.type = 1;
    source.columnGroup.section.dimension.dim3 = 7;
    source.columnGroup.effort.value2 = 4;
    source.supportGroup.becheProfile.text2 = KivString("100");
    source.supportGroup.columnBase.baseType = 1;
    source.supportGroup.columnBase.radiusT.value2 = 6;
    source.supportGroup.smallPlateDim.number = 9;

    KivBL2Data target;
    target.setProjectName(KivString("Mine"));
    for (int i = 0; i < 5; ++i)
        target.generalGroup.loadings.append(loading(10 + i, 0));
    target = source;
    EXPECT_EQ(flatten(source), flatten(target)) << describeDifference(flatten(source), flatten(target));
    ASSERT_EQ(3, target.generalGroup.loadings.getLength());
    EXPECT_EQ(3, target.generalGroup.loadings[2].number);
    EXPECT_EQ(std::wstring(L"Mine"), target.projectName.getStringW());

    KivBL2Data::BL2GeneralGroup group(source.generalGroup);
    source.generalGroup.loadings[0].number = 99;
    EXPECT_EQ(1, group.loadings[0].number); // the copy owns its loadings

    const KivBL2Data copy(source);
    EXPECT_EQ(KivNorvikData::eBL2, copy.getDataType());
    EXPECT_NE(0, copy.projectName.isEmpty());
    EXPECT_EQ(flatten(source), flatten(copy));
}

TEST(BL2Data, SetFromTakesOnlyBL2Records)
{
    KivBL2Data source;
    source.setProjectName(KivString("Hall"));
    source.columnGroup.mat = KivString("S235");

    KivBL2Data target;
    target.setFrom(&source);
    EXPECT_EQ(std::wstring(L"Hall"), target.projectName.getStringW());
    EXPECT_EQ(std::wstring(L"S235"), target.columnGroup.mat.getStringW());

    const auto untouched = [](const KivNorvikData* from) {
        KivBL2Data d;
        d.generalGroup.noeudNum = 4;
        d.setFrom(from);
        EXPECT_EQ(std::wstring(L"Project"), d.projectName.getStringW());
        EXPECT_EQ(KivNorvikData::eBL2, d.getDataType());
        EXPECT_EQ(4, d.generalGroup.noeudNum);
    };
    untouched(nullptr);
    KivNorvikData other(KivNorvikData::eBL1);
    other.setProjectName(KivString("Other"));
    untouched(&other);
    // Claims to be BL2 but has no groups: the class is checked too.
    KivNorvikData impostor(KivNorvikData::eBL2);
    impostor.setProjectName(KivString("Impostor"));
    untouched(&impostor);
    // A BL2 record whose kind was changed is not taken either.
    source.setDataType(KivNorvikData::eBL3);
    untouched(&source);
}
