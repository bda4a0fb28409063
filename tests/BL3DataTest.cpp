#include "RecordFields.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

using norvik_test::describeDifference;
using norvik_test::flatten;

namespace {

constexpr double kUnsetReal = KivNorvikData::kUndefinedReal;
constexpr int kUnsetInteger = KivNorvikData::kUndefinedInteger;

// A record with every field set, bolts and notches of their own kinds.
KivBL3Data filledRecord(unsigned seed)
{
    std::mt19937 rng(seed);
    KivBL3Data d;
    d.generalGroup.loadings.setLength(3);
    norvik_test::randomize(d, rng);
    d.projectName = KivString(L"Filled");
    return d;
}

} // namespace

TEST(BL3Data, DefaultsAreUnsetAndNoPredicateHolds)
{
    const KivBL3Data d;
    EXPECT_EQ(KivNorvikData::eBL3, d.getDataType());
    EXPECT_TRUE(d.getProjectName() == KivString(L"Project"));
    EXPECT_EQ(0, d.generalGroup.loadings.getLength());

    // Every field is unset, except the two with defaults of their own.
    struct Check
    {
        void operator()(const std::string& path, const int& v)
        {
            const int expected = path.size() > 5 && path.compare(path.size() - 5, 5, ".code") == 0
                ? -1 : kUnsetInteger;
            EXPECT_EQ(expected, v) << path;
        }
        void operator()(const std::string& path, const double& v)
        {
            const double expected =
                path == "secondaryElementGroup.connecPosZRef" ? -123456.0 : kUnsetReal;
            EXPECT_EQ(expected, v) << path;
        }
        void operator()(const std::string& path, const KivString& v)
        {
            EXPECT_TRUE(v == KivNorvikData::undefinedString()) << path;
        }
    } check;
    visitFields(d, check);

    const auto& g = d.generalGroup;
    const auto& a = g.att;
    const auto& m = d.mainElementGroup;
    const auto& s = d.secondaryElementGroup;
    const bool any = g.exportTYPE_ATT() || g.exportNIEGE() || g.exportOPT_CALCUL()
        || a.exportATT_GRP() || a.exportATT_BAR_NB() || a.exportATT_NUM() || a.exportATT_NOE_NUM()
        || a.exportATT_NOE_NOM() || a.exportATT_NOE_TITRE() || a.exportATT_NOE_XYZ()
        || a.exportATT_BAR1() || m.exportMAT_MAIN() || m.exportPRF() || m.exportDIM()
        || s.exportMAT_SEC() || s.exportPRF_SECB() || s.exportDIM_SECB() || s.exportPRF_ANGLE()
        || s.exportDIM_ANGLE() || s.exportANGLE() || s.exportPOS_Z() || s.exportJEU()
        || s.exportCONNEC_TYPE() || s.exportCONNEC_POS() || s.exportCONNEC_POSZ()
        || s.exportCONNEC_LNG() || s.exportCONNEC_MAT() || s.exportDOUBLE_SOLIVE()
        || s.boltPrim.exportBOU_PRIM_or_SEC() || s.boltSec.exportBOU_PRIM_or_SEC()
        || s.notchSup.exportGRUG_SUP_or_INF() || s.notchLatIni.exportGRUG_SUP_or_INF()
        || s.effort.exportEFF();
    EXPECT_FALSE(any);
}

TEST(BL3Data, PredicatesWithRulesOfTheirOwn)
{
    KivBL3Data::BL3SecondaryElementGroup s;

    // The reference height has its own unset value.
    s.connecPosZRef = -123456.0;
    EXPECT_FALSE(s.exportCONNEC_POSZ());
    s.connecPosZRef = -123456.0000005;
    EXPECT_FALSE(s.exportCONNEC_POSZ());
    s.connecPosZRef = kUnsetReal;
    EXPECT_TRUE(s.exportCONNEC_POSZ());
    s.connecPosZRef = std::nan("");
    EXPECT_FALSE(s.exportCONNEC_POSZ());
    s.connecPosZRef = -123456.0;
    s.connecPosZ = 150.0; // not looked at
    EXPECT_FALSE(s.exportCONNEC_POSZ());

    // The gap compares exactly, the height with the tolerance.
    s.jeu = -123456.7800001;
    s.posZ = -123456.7800001;
    EXPECT_TRUE(s.exportJEU());
    EXPECT_FALSE(s.exportPOS_Z());
    s.jeu = std::nan("");
    EXPECT_TRUE(s.exportJEU());
    s.jeu = kUnsetReal;
    EXPECT_FALSE(s.exportJEU());

    // A notch is set once its code leaves -1 and its kind is set.
    KivBL3Data::Notch n;
    n.kind = 0;
    n.value1 = 50;
    n.value2 = 100;
    n.number1 = 0;
    n.number2 = 1;
    EXPECT_FALSE(n.exportGRUG_SUP_or_INF());
    n.code = 0;
    EXPECT_TRUE(n.exportGRUG_SUP_or_INF());
    n.kind = kUnsetInteger;
    EXPECT_FALSE(n.exportGRUG_SUP_or_INF());

    KivBL3Data::ATT a;
    a.noeNum[0] = 12;
    EXPECT_FALSE(a.exportATT_NOE_NUM());
    a.noeNum[1] = 0;
    EXPECT_TRUE(a.exportATT_NOE_NUM());
    a.noeXyz[0] = a.noeXyz[1] = 1.0;
    a.noeXyz[2] = -123456.7800005;
    EXPECT_FALSE(a.exportATT_NOE_XYZ());
    a.noeXyz[2] = -123456.779;
    EXPECT_TRUE(a.exportATT_NOE_XYZ());
}

TEST(BL3Data, CopiesCarryEveryGroupButNotTheName)
{
    const KivBL3Data source = filledRecord(3);

    const KivBL3Data copy(source);
    EXPECT_EQ(KivNorvikData::eBL3, copy.dataType);
    EXPECT_TRUE(copy.projectName.isEmpty());
    EXPECT_EQ(flatten(source), flatten(copy)) << describeDifference(flatten(source), flatten(copy));

    KivBL3Data assigned;
    assigned.projectName = KivString(L"Mine");
    assigned.dataType = KivNorvikData::eBL5;
    assigned = source;
    EXPECT_TRUE(assigned.projectName == KivString(L"Mine"));
    EXPECT_EQ(KivNorvikData::eBL5, assigned.dataType);
    EXPECT_EQ(flatten(source), flatten(assigned));

    // The copies own their loadings.
    assigned.generalGroup.loadings[0].number = 77777;
    EXPECT_NE(77777, source.generalGroup.loadings[0].number);
}

TEST(BL3Data, SetFromTakesOnlyBL3Records)
{
    const KivBL3Data source = filledRecord(4);
    const KivBL3Data untouched;

    KivBL3Data target;
    target.setFrom(&source);
    EXPECT_TRUE(target.projectName == KivString(L"Filled"));
    EXPECT_EQ(flatten(source), flatten(target));

    // Another kind, a record that only claims to be BL3, and no record at all change nothing.
    const KivNorvikData other(KivNorvikData::eBL2);
    const KivNorvikData impostor(KivNorvikData::eBL3);
    KivBL3Data fresh;
    fresh.setFrom(&other);
    fresh.setFrom(&impostor);
    fresh.setFrom(nullptr);
    EXPECT_TRUE(fresh.projectName == KivString(L"Project"));
    EXPECT_EQ(KivNorvikData::eBL3, fresh.dataType);
    EXPECT_EQ(flatten(untouched), flatten(fresh));

    // A BL3 record whose kind field says otherwise is not taken either.
    KivBL3Data relabelled = source;
    relabelled.dataType = KivNorvikData::eBL1;
    fresh.setFrom(&relabelled);
    EXPECT_EQ(flatten(untouched), flatten(fresh));

    target.setFrom(&target);
    EXPECT_EQ(flatten(source), flatten(target));
}
