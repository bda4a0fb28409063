#include "RecordFields.h"
#include "TestSupport.h"

#include <tuple>

using namespace norvik_test;

TEST(BL3Data, DefaultsAreUnset)
{
    // The reference height and the notch codes have unset values of their own; the other fields the usual ones.
    KivBL3Data d;
    auto& s = d.secondaryElementGroup;
    EXPECT_EQ(-123456.0, std::exchange(s.connecPosZRef, KivNorvikData::kUndefinedReal));
    for (auto* n : {&s.notchSupIni, &s.notchInfIni, &s.notchLatIni, &s.notchSup, &s.notchInf, &s.notchLat})
        EXPECT_EQ(-1, std::exchange(n->code, KivNorvikData::kUndefinedInteger));
    expectUndefined(d, [](const std::string&) { return false; });

    // An effort is complete with all four values set, whichever one is missing.
    KivBL3Data::Effort full;
    std::tie(full.number, full.value1, full.value2, full.value3) = std::make_tuple(1, 2.0, 3.0, 4.0);
    EXPECT_TRUE(full.exportEFF());
    for (int missing = 0; missing < 4; ++missing) {
        KivBL3Data::Effort e(full);
        if (missing == 0)
            e.number = KivNorvikData::kUndefinedInteger;
        else
            (missing == 1 ? e.value1 : missing == 2 ? e.value2 : e.value3) = KivNorvikData::kUndefinedReal;
        EXPECT_FALSE(e.exportEFF()) << missing;
    }
}

TEST(BL3Data, CopiesAndSetFrom)
{
    KivBL3Data source;
    source.generalGroup.loadings.setLength(2);
    numberFields(source);
    source.projectName = KivString(L"Filled");

    const KivBL3Data copy(source);
    EXPECT_EQ(KivNorvikData::eBL3, copy.dataType);
    EXPECT_TRUE(copy.projectName.isEmpty());
    EXPECT_EQ(flatten(source), flatten(copy)) << describeDifference(flatten(source), flatten(copy));

    // setFrom takes the name as well; nothing from another kind, a record merely claiming BL3, a BL3 record
    // labelled otherwise, or no record.
    KivBL3Data target, relabelled;
    relabelled.dataType = KivNorvikData::eBL1;
    const KivNorvikData other(KivNorvikData::eBL2), impostor(KivNorvikData::eBL3);
    const KivNorvikData* const sources[] = {&source, &other, &impostor, &relabelled, nullptr};
    for (const KivNorvikData* from : sources)
        target.setFrom(from);
    EXPECT_EQ("Filled", narrow(target.projectName));
    EXPECT_EQ(flatten(source), flatten(target));
}
