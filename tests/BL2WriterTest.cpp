#include "TestSupport.h"

#include <cmath>
#include <limits>
#include <string>

using norvik_test::expectGolden;
using norvik_test::tempDir;
using norvik_test::writeToBytes;

namespace {

constexpr double kReal = KivNorvikData::kUndefinedReal;

std::string write(const KivBL2Data& d)
{
    return writeToBytes(d, KivNorvikFileWriter::eFormatBL2, tempDir());
}

NorvikGlobalData::GenLoading loading(int number, const char* text1, const char* text2, int type)
{
    NorvikGlobalData::GenLoading l;
    l.number = number;
    l.text1 = KivString(text1);
    l.text2 = KivString(text2);
    l.type = type;
    return l;
}

int count(const std::string& text, const std::string& part)
{
    int n = 0;
    for (size_t p = text.find(part); p != std::string::npos; p = text.find(part, p + 1))
        ++n;
    return n;
}

bool has(const std::string& text, const std::string& line)
{
    return text.find("\n" + line + "\n") != std::string::npos;
}

// Every field set, filled out of table order; an articulated base.
KivBL2Data fullRecord()
{
    KivBL2Data d;
    d.setProjectName(KivString("Hall 7"));
    auto& s = d.supportGroup;
    s.columnBase.articulatedRadius = {10, 20, 30, 40, 50, 60, 2};
    s.columnBase.fileCen = 150;
    s.smallPlateDim = {80, 2, 12.5, 6};
    s.trouEndPlate = {4, 26, 30};
    s.calage = 30;
    s.stem = {4, 24};
    s.prescel = 0.25;
    s.adher = 0.45;
    s.beche = 100;
    s.bolt = {24, 500};
    s.endPlate = {400, 500, 25};
    s.matBeche = KivString("S275");
    s.becheProfile = {KivString("HEA"), KivString("100"), KivString("S235")};
    s.coefAdapt = 1.5;
    s.options[0] = 1;
    s.options[1] = 0;
    s.options[2] = 1;
    s.matPlats = KivString("S355");
    auto& c = d.columnGroup;
    c.rotMax = 0.002;
    c.effort = {1, 250.5, -12, 30};
    c.lia1 = 1;
    c.lia2 = 2;
    c.section.type = 0;
    c.section.profile.text1 = KivString("HEB");
    c.section.profile.text2 = KivString("300");
    c.mat = KivString("S235");
    auto& g = d.generalGroup;
    g.epmaxEncNoraid = 40;
    g.verifTpT1T2Min = 0;
    g.verifTigeAdd80 = 1;
    g.massif1 = 1200;
    g.massif2 = 800;
    g.lia = KivString("A1");
    g.beton1 = 25;
    g.beton2 = 1.5;
    g.noeudNum = 12;
    g.loadings.append(loading(1, "G", "Permanent", 0));
    g.loadings.append(loading(2, "S", "Snow", 2));
    g.loadings.append(loading(1234, "W", "Wind", -1));
    g.neige = 0.5;
    g.noeudXyz[0] = 1;
    g.noeudXyz[1] = 2.5;
    g.noeudXyz[2] = -3;
    g.repPage = KivString("P12");
    return d;
}

KivBL2Data stiffened(int rowType, KivBL2Data::BL2Radius l, KivBL2Data::BL2Radius t)
{
    KivBL2Data d;
    auto& b = d.supportGroup.columnBase;
    b.baseType = 1;
    b.articulatedRadius = {1, 1, 1, 1, 1, 1, 1}; // not written for a stiffened base
    b.fileCen = 1;
    b.radiusL = l;
    b.radiusT = t;
    b.rowType = rowType;
    b.extTige = {3, 100, 200, 300};
    b.intTige = {110, 220};
    return d;
}

} // namespace

TEST(BL2Writer, GoldenFiles)
{
    expectGolden(write(KivBL2Data()), "bl2_default.bl2");
    expectGolden(write(fullRecord()), "bl2_full.bl2");
    KivBL2Data outer = stiffened(0, {5, 7}, {4, 6});
    outer.columnGroup.section.type = 1;
    outer.columnGroup.section.dimension.dim1 = 300;
    outer.columnGroup.section.dimension.dim2 = 300;
    outer.columnGroup.section.dimension.dim3 = 11;
    outer.columnGroup.section.dimension.dim4 = 19;
    outer.columnGroup.section.dimension.dim5 = 27;
    expectGolden(write(outer), "bl2_stiffened_outer.bl2");
    expectGolden(write(stiffened(1, {0.0, 5}, {4, 6})), "bl2_stiffened_inner.bl2");
    // -0.0 counts as 0.0: neither stiffener is written.
    expectGolden(write(stiffened(0, {5, -0.0}, {0.0, 0.0})), "bl2_no_stiffeners.bl2");
}

TEST(BL2Writer, OnlyTheExactUndefinedRealIsLeftOut)
{
    KivBL2Data d;
    d.supportGroup.beche = kReal;
    d.supportGroup.adher = -123456.779;
    d.supportGroup.prescel = -123456.7800001; // undefined within the tolerance of other kinds
    d.generalGroup.epmaxEncNoraid = std::numeric_limits<double>::quiet_NaN();
    const std::string bytes = write(d);
    EXPECT_EQ(0, count(bytes, "BECHE "));
    EXPECT_TRUE(has(bytes, "  ADHER -123456.779"));
    EXPECT_TRUE(has(bytes, "  PRESCEL -123456.780"));
    EXPECT_EQ(1, count(bytes, "  EPMAX_ENC_NORAID "));

    d.generalGroup.noeudXyz[0] = 1;
    d.generalGroup.noeudXyz[1] = 2.5;
    EXPECT_EQ(0, count(write(d), "NOEUD_XYZ"));
    d.generalGroup.noeudXyz[2] = -3;
    EXPECT_TRUE(has(write(d), "  NOEUD_XYZ 1.000 2.500 -3.000"));
}

TEST(BL2Writer, SnowNeedsALoadingOfType2OrMinus1AndIsWrittenOnce)
{
    KivBL2Data d;
    d.generalGroup.neige = 0.5;
    d.generalGroup.loadings.append(loading(1, "G", "perm", 0));
    d.generalGroup.loadings.append(loading(2, "Q", "expl", 1));
    d.generalGroup.loadings.append(loading(3, "X", "other", -2));
    EXPECT_EQ(0, count(write(d), "NEIGE"));

    d.generalGroup.loadings.append(loading(4, "S", "snow", 2));
    d.generalGroup.loadings.append(loading(5, "S", "snow", 2));
    d.generalGroup.loadings.append(loading(6, "A", "acc", -1));
    const std::string bytes = write(d);
    EXPECT_EQ(1, count(bytes, "NEIGE"));
    EXPECT_NE(std::string::npos, bytes.find("GEN\n  NEIGE 0.500\n  CHA   1 G perm 0\n"));

    KivBL2Data minusOne;
    minusOne.generalGroup.neige = 0.5;
    minusOne.generalGroup.loadings.append(loading(1, "A", "acc", -1));
    EXPECT_EQ(1, count(write(minusOne), "NEIGE"));

    d.generalGroup.neige = kReal; // a loading alone writes no snow
    EXPECT_EQ(0, count(write(d), "NEIGE"));
}

TEST(BL2Writer, LoadingLinesAlignTheNumberAndWriteEveryElement)
{
    KivBL2Data d;
    d.generalGroup.loadings.append(loading(7, "G", "Permanent", 0));
    d.generalGroup.loadings.append(loading(1234, "Q", "Live", 1));
    d.generalGroup.loadings.append(NorvikGlobalData::GenLoading());
    const std::string bytes = write(d);
    EXPECT_NE(std::string::npos,
              bytes.find("\n  CHA   7 G Permanent 0\n  CHA 1234 Q Live 1\n"
                         "  CHA -123456 stringDummyNorvikExport stringDummyNorvikExport -123456\n"));
}

TEST(BL2Writer, ShearKeyProfileIsAlwaysWritten)
{
    KivBL2Data d;
    EXPECT_TRUE(has(write(d), "  BECHE_PROF   "));
    d.supportGroup.becheProfile.text1 = KivString("UPN");
    EXPECT_TRUE(has(write(d), "  BECHE_PROF UPN  "));
    d.supportGroup.becheProfile.text2 = KivNorvikData::undefinedString();
    EXPECT_TRUE(has(write(d), "  BECHE_PROF UPN stringDummyNorvikExport "));
}

TEST(BL2Writer, StiffenersOfZeroAreLeftOutAndNaNIsAValue)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::string bytes = write(stiffened(1, {nan, 2}, {kReal, 3}));
    EXPECT_EQ(1, count(bytes, "  RAIDL "));
    // The column base never tests the undefined value.
    EXPECT_TRUE(has(bytes, "  RAIDT -123456.780 3.000"));
    EXPECT_TRUE(has(bytes, "  FILE.INT 110.000 220.000"));
    EXPECT_EQ(0, count(bytes, "RAID_ART"));

    KivBL2Data base = stiffened(0, {0.0, 2}, {3, -0.0});
    base.supportGroup.columnBase.baseType = -4; // any value but 0 is a stiffened base
    const std::string other = write(base);
    EXPECT_EQ(0, count(other, "RAIDL"));
    EXPECT_EQ(0, count(other, "RAIDT"));
    EXPECT_TRUE(has(other, "  PLAQUETTE_DIM 0.000 0 0.000 0.000\n  FILE.EXT 3 100.000 200.000 300.000"));
}

TEST(BL2Writer, WritesNothingWithoutAnOpenFile)
{
    KivNorvikFileWriter writer;
    EXPECT_EQ(0, writer.write(KivBL2Data()));
}
