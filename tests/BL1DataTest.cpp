#include "RecordFields.h"
#include "TestSupport.h"

using namespace norvik_test;

// The writer's every-field checks (BL1WriterTest) cover the predicates that
// decide a line. The writer tests the stiffener type itself, so it would hide a
// stiffener predicate that ignores the type: that one is checked here.
TEST(BL1Data, DefaultsAndStiffenerType)
{
    KivBL1Data d;
    EXPECT_EQ(KivNorvikData::eBL1, d.dataType);
    EXPECT_EQ("Project", narrow(d.projectName));
    expectUndefined(d, [](const std::string&) { return false; });

    KivBL1Data::BL1PotGroup& p = d.potGroup;
    p.raiAmeObliq[0] = p.raiAmeObliq[1] = p.raiAmePlaqValue = 1;
    p.raiAmePlaqNumber = 1;
    for (int type : {KivNorvikData::kUndefinedInteger, 0, 1, 2}) {
        p.raiAmeType = type;
        EXPECT_EQ(type == 0, p.exportRAI_AME_OBLIQ()) << type;
        EXPECT_EQ(type == 1, p.exportRAI_AME_PLAQ()) << type;
    }
}

TEST(BL1Data, CopyAssignAndSetFrom)
{
    std::mt19937 rng(7);
    KivBL1Data source;
    source.generalGroup.loadings.setLength(3);
    randomize(source, rng);
    source.projectName = KivString("Source");
    source.setDataType(KivNorvikData::eBL3);

    // A copy holds every group, an empty name and the kind BL1; assignment keeps
    // the target's name and kind.
    const KivBL1Data copy(source);
    KivBL1Data assigned;
    assigned = source;
    EXPECT_EQ(flatten(source), flatten(copy));
    EXPECT_EQ(flatten(source), flatten(assigned));
    EXPECT_EQ(KivNorvikData::eBL1, copy.dataType);
    EXPECT_EQ(KivNorvikData::eBL1, assigned.dataType);
    EXPECT_EQ("", narrow(copy.projectName));
    EXPECT_EQ("Project", narrow(assigned.projectName));

    // setFrom takes a BL1 record whole, its name included, and nothing from
    // another kind, nor from another class that claims BL1.
    KivBL1Data target;
    source.setDataType(KivNorvikData::eBL1);
    target.setFrom(&source);
    KivBL1Data otherKind;
    otherKind.setDataType(KivNorvikData::eBL2);
    KivBL2Data otherClass;
    otherClass.setDataType(KivNorvikData::eBL1);
    target.setFrom(&otherKind);
    target.setFrom(&otherClass);
    EXPECT_EQ(flatten(source), flatten(target));
    EXPECT_EQ("Source", narrow(target.projectName));
}
