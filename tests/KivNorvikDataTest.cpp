#include "TestSupport.h"

#include <cmath>

TEST(KivNorvikData, UndefinedValuesAndTheirTests)
{
    EXPECT_FALSE(KivNorvikData::isDefined(-123456.78));
    EXPECT_FALSE(KivNorvikData::isDefined(-123456.7800005));
    EXPECT_TRUE(KivNorvikData::isDefined(-123456.779));
    EXPECT_FALSE(KivNorvikData::isDefined(std::nan("")));
    EXPECT_FALSE(KivNorvikData::isDefined(-123456.0, -123456.0));
    EXPECT_TRUE(KivNorvikData::isDefined(-123456.78, -123456.0));

    // The exact rule: anything but the undefined value itself, NaN included.
    EXPECT_FALSE(KivNorvikData::isSetExactly(-123456.78));
    EXPECT_TRUE(KivNorvikData::isSetExactly(-123456.7800001));
    EXPECT_TRUE(KivNorvikData::isSetExactly(std::nan("")));

    EXPECT_FALSE(KivNorvikData::isDefined(-123456));
    EXPECT_TRUE(KivNorvikData::isDefined(-123455));

    EXPECT_FALSE(KivNorvikData::isDefined(KivString("stringDummyNorvikExport")));
    EXPECT_TRUE(KivNorvikData::isDefined(KivString("STRINGDUMMYNORVIKEXPORT")));
    EXPECT_TRUE(KivNorvikData::isDefined(KivString("")));
}

TEST(KivNorvikData, BaseCopiesKindAndProjectName)
{
    KivNorvikData a(KivNorvikData::eBL3);
    EXPECT_NE(0, a.getProjectName().isEmpty());
    a.setProjectName(KivString("Hall"));
    KivNorvikData b(a);
    EXPECT_EQ(KivNorvikData::eBL3, b.getDataType());
    EXPECT_TRUE(b.getProjectName() == KivString("Hall"));

    KivNorvikData c(KivNorvikData::eBL5);
    c.setFrom(&a);
    EXPECT_EQ(KivNorvikData::eBL3, c.getDataType());
    EXPECT_TRUE(c.projectName == KivString("Hall"));
    c.setFrom(nullptr);
    EXPECT_EQ(KivNorvikData::eBL3, c.getDataType());
    c.setDataType(KivNorvikData::eBL2);
    EXPECT_EQ(KivNorvikData::eBL2, c.getDataType());
}

TEST(NorvikGlobalData, SectionPredicates)
{
    NorvikGlobalData::Section s;
    EXPECT_FALSE(s.exportPRF());
    EXPECT_FALSE(s.exportDIM());
    s.type = 0;
    s.profile.text1 = KivString("HEA");
    EXPECT_FALSE(s.exportPRF());
    s.profile.text2 = KivString("200");
    EXPECT_TRUE(s.exportPRF());

    s.type = 1;
    s.dimension.dim1 = s.dimension.dim2 = s.dimension.dim3 = s.dimension.dim4 = 1.0;
    EXPECT_FALSE(s.exportDIM());
    s.dimension.dim5 = 2.0;
    EXPECT_TRUE(s.exportDIM()); // shape is not tested
    EXPECT_FALSE(s.exportPRF());

    NorvikGlobalData::BL12Section b;
    b.type = 1;
    b.dimension.dim1 = b.dimension.dim2 = b.dimension.dim3 = b.dimension.dim4 = b.dimension.dim5 = 3.0;
    EXPECT_TRUE(b.exportI());
    b.dimension.dim3 = -123456.78;
    EXPECT_FALSE(b.exportI());
    b.type = 0;
    b.profile.text1 = KivString("IPE");
    b.profile.text2 = KivString("300");
    EXPECT_TRUE(b.exportPRO());

    const NorvikGlobalData::GenLoading l;
    EXPECT_EQ(-123456, l.number);
    EXPECT_EQ(-123456, l.type);
    EXPECT_TRUE(l.text2 == KivNorvikData::undefinedString());
}
