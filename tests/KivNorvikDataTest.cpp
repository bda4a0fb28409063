#include "TestSupport.h"

#include <cmath>

TEST(KivNorvikData, UndefinedValuesAndTheirTests)
{
    EXPECT_FALSE(KivNorvikData::isDefined(-123456.7800005));
    EXPECT_TRUE(KivNorvikData::isDefined(-123456.779));
    EXPECT_FALSE(KivNorvikData::isDefined(std::nan("")));
    EXPECT_FALSE(KivNorvikData::isDefined(-123456.0, -123456.0));
    // The exact rule: anything but the undefined value itself, NaN included.
    EXPECT_FALSE(KivNorvikData::isSetExactly(-123456.78));
    EXPECT_TRUE(KivNorvikData::isSetExactly(-123456.7800001));
    EXPECT_TRUE(KivNorvikData::isSetExactly(std::nan("")));
    EXPECT_FALSE(KivNorvikData::isDefined(-123456));
    EXPECT_TRUE(KivNorvikData::isDefined(-123455));
    EXPECT_FALSE(KivNorvikData::isDefined(KivString("stringDummyNorvikExport")));
    EXPECT_TRUE(KivNorvikData::isDefined(KivString("STRINGDUMMYNORVIKEXPORT")));
}

TEST(KivNorvikData, BaseSetFromCopiesKindAndProjectNameOfAnyKind)
{
    KivNorvikData a(KivNorvikData::eBL3);
    a.setProjectName(KivString("Hall"));
    KivNorvikData c(KivNorvikData::eBL5);
    c.setFrom(&a);
    EXPECT_EQ(KivNorvikData::eBL3, c.getDataType());
    EXPECT_TRUE(c.getProjectName() == KivString("Hall"));
    c.setFrom(nullptr);
    EXPECT_EQ(KivNorvikData::eBL3, c.getDataType());
    // Moves carry the kind and the name as copies do.
    KivNorvikData moved(std::move(c));
    KivNorvikData assigned(KivNorvikData::eBL5);
    assigned = std::move(moved);
    EXPECT_EQ(KivNorvikData::eBL3, assigned.getDataType());
    EXPECT_TRUE(assigned.getProjectName() == KivString("Hall"));
}

TEST(NorvikGlobalData, SectionsNeedTheirTypeAndEveryValue)
{
    NorvikGlobalData::Section s;
    s.type = 0;
    s.profile.text1 = KivString("HEA");
    EXPECT_FALSE(s.exportPRF());
    s.profile.text2 = KivString("200");
    EXPECT_TRUE(s.exportPRF());
    s.type = 1;
    s.dimension.dim1 = s.dimension.dim2 = s.dimension.dim3 = s.dimension.dim4 = 1.0;
    EXPECT_FALSE(s.exportDIM());
    s.dimension.dim5 = 2.0;
    EXPECT_TRUE(s.exportDIM()); // the shape is not tested
    EXPECT_FALSE(s.exportPRF());

    NorvikGlobalData::BL12Section b;
    b.dimension.dim1 = b.dimension.dim2 = b.dimension.dim3 = b.dimension.dim4 = b.dimension.dim5 = 3.0;
    EXPECT_FALSE(b.exportI());
    b.type = 1;
    EXPECT_TRUE(b.exportI());
}
