#include "RecordFields.h"
#include "TestSupport.h"

using namespace norvik_test;

// The writer tests the stiffener type itself, so its every-field checks would hide a stiffener predicate ignoring it.
TEST(BL1Data, DefaultsAndStiffenerType)
{
    KivBL1Data d;
    expectUndefined(d, [](const std::string&) { return false; });
    KivBL1Data::BL1PotGroup& p = d.potGroup;
    p.raiAmeObliq[0] = p.raiAmeObliq[1] = p.raiAmePlaqValue = p.raiAmePlaqNumber = 1;
    for (int type : {KivNorvikData::kUndefinedInteger, 0, 1, 2}) {
        p.raiAmeType = type;
        EXPECT_EQ(type == 0, p.exportRAI_AME_OBLIQ()) << type;
        EXPECT_EQ(type == 1, p.exportRAI_AME_PLAQ()) << type;
    }
}

TEST(BL1Data, CopyAssignAndSetFrom)
{
    KivBL1Data source;
    source.generalGroup.loadings.setLength(3);
    numberFields(source);
    source.projectName = KivString("Source");
    source.setDataType(KivNorvikData::eBL3);

    // A copy holds every group, an empty name and the kind BL1; assignment keeps the target's name and kind.
    const KivBL1Data copy(source);
    KivBL1Data assigned;
    assigned = source;
    EXPECT_EQ(flatten(source), flatten(copy));
    EXPECT_EQ(KivNorvikData::eBL1, copy.dataType);
    EXPECT_EQ(KivNorvikData::eBL1, assigned.dataType);
    EXPECT_EQ("", narrow(copy.projectName));
    EXPECT_EQ("Project", narrow(assigned.projectName));

    // setFrom takes a BL1 record whole, name included; nothing from another kind, another class claiming BL1, or null.
    KivBL1Data target, otherKind;
    KivBL2Data otherClass;
    otherKind.setDataType(KivNorvikData::eBL2);
    otherClass.setDataType(KivNorvikData::eBL1);
    source.setDataType(KivNorvikData::eBL1);
    const KivNorvikData* const sources[] = {&source, &otherKind, &otherClass, nullptr};
    for (const KivNorvikData* from : sources)
        target.setFrom(from);
    EXPECT_EQ(flatten(source), flatten(target));
    EXPECT_EQ("Source", narrow(target.projectName));

    // takeFrom does what setFrom does, the kind of the target included; moves
    // carry the groups as copies do.
    KivBL1Data taker, moved{KivBL1Data(source)}, moveAssigned;
    moveAssigned = KivBL1Data(source);
    EXPECT_EQ(flatten(source), flatten(moved));
    EXPECT_EQ(flatten(source), flatten(moveAssigned));
    EXPECT_EQ("Project", narrow(moveAssigned.projectName));
    taker.setDataType(KivNorvikData::eBL3);
    KivBL1Data given(source);
    given.projectName = KivString("Source");
    taker.takeFrom(std::move(given));
    EXPECT_EQ(flatten(target), flatten(taker));
    EXPECT_EQ(KivNorvikData::eBL1, taker.dataType);
    EXPECT_EQ("Source", narrow(taker.projectName));
}
