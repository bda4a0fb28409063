#include "RecordFields.h"
#include "TestSupport.h"

#include <initializer_list>

using norvik_test::flatten;

TEST(BL2Data, FieldsWithoutAnUndefinedValueStartAtZero)
{
    // The other fields start undefined: the default golden file and the round trip show them.
    int zeros = 0;
    for (const auto& field : flatten(KivBL2Data()))
        for (const char* part : {".effort.", ".endPlate.", ".bolt.", ".stem.", ".trouEndPlate.",
                                 ".smallPlateDim.", ".columnBase."})
            if (field.first.find(part) != std::string::npos) {
                EXPECT_EQ("0", field.second) << field.first;
                ++zeros;
            }
    EXPECT_EQ(38, zeros); // the column-base selectors included
}

TEST(BL2Data, CopiesTakeTheGroupsAndSetFromOnlyABL2Record)
{
    KivBL2Data source;
    source.setProjectName(KivString("Hall"));
    source.generalGroup.loadings.setLength(3);
    norvik_test::numberFields(source);
    KivBL2Data assigned, taken;
    assigned.generalGroup.loadings.setLength(5);
    assigned = source;                       // the groups only
    taken.setFrom(&source);                  // the name too
    source.setDataType(KivNorvikData::eBL3); // a copy is BL2 whatever the source's base part says
    KivBL2Data copy(source);                 // no name
    // Each group copied on its own.
    const KivBL2Data::BL2GeneralGroup general(source.generalGroup);
    const KivBL2Data::BL2ColumnGroup column(source.columnGroup);
    const KivBL2Data::BL2SupportGroup support(source.supportGroup);
    KivBL2Data grouped;
    grouped.generalGroup = general;
    grouped.columnGroup = column;
    grouped.supportGroup = support;
    const norvik_test::FieldList expected = flatten(source);
    source.generalGroup.loadings[0].number = -1; // the copies own their loadings
    for (KivBL2Data* d : {&assigned, &taken, &copy, &grouped}) {
        EXPECT_EQ(expected, flatten(*d)) << norvik_test::describeDifference(expected, flatten(*d));
        EXPECT_EQ(KivNorvikData::eBL2, d->getDataType());
    }
    EXPECT_EQ(std::wstring(L"Project"), assigned.projectName.getStringW());
    EXPECT_EQ(std::wstring(L"Hall"), taken.projectName.getStringW());
    EXPECT_NE(0, copy.projectName.isEmpty());
    // Refused, by kind and by class: nothing, another kind, a base part that
    // only claims BL2, a BL2 record whose base part says BL3.
    KivNorvikData bl1(KivNorvikData::eBL1), impostor(KivNorvikData::eBL2);
    for (const KivNorvikData* from :
         std::initializer_list<const KivNorvikData*>{nullptr, &bl1, &impostor, &source}) {
        KivBL2Data d;
        d.setFrom(from);
        EXPECT_EQ(flatten(KivBL2Data()), flatten(d));
        EXPECT_EQ(std::wstring(L"Project"), d.projectName.getStringW());
    }
}
