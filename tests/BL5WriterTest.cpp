#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

using namespace norvik_test;

namespace {

std::vector<std::string> lines(const std::string& bytes)
{
    std::vector<std::string> out;
    std::istringstream in(bytes);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

int count(const std::vector<std::string>& all, const std::string& line)
{
    int n = 0;
    for (const std::string& l : all)
        n += l == line ? 1 : 0;
    return n;
}

int countPrefix(const std::vector<std::string>& all, const std::string& prefix)
{
    int n = 0;
    for (const std::string& l : all)
        n += l.compare(0, prefix.size(), prefix) == 0 ? 1 : 0;
    return n;
}

void fillGhcp(KivBL5Data::GHCP& h, int k)
{
    for (int i = 0; i < 4; ++i)
        h.gouDim[i] = 100 * k + 10 * i + 0.5;
    h.gouPos1 = k;
    h.gouPos2 = 35.25;
    h.gouPos3 = 2;
    h.bouDia = 20;
    h.bouXNumber = 3;
    h.bouX[0] = 40;
    h.bouX[1] = 70;
    h.bouX[2] = 45;
    h.bouYNumber = 1;
    h.bouY = 50;
    h.chpDim[0] = 300;
    h.chpDim[1] = 200;
    h.chpDim[2] = 12;
    h.soudure[0] = 5;
    h.soudure[1] = 6;
    h.jeux[0] = 15;
    h.jeux[1] = 20;
    h.penetrNumber = 0;
    h.penetr = 1.5;
}

// Main element and column both filled; typeAtt chooses the one written.
KivBL5Data filled(int typeAtt)
{
    KivBL5Data d;
    d.projectName = KivString("Roof truss 4");
    KivBL5Data::BL5GeneralGroup& g = d.generalGroup;
    g.nbrDiag = 2;
    g.optCalul[0] = 1;
    g.optCalul[1] = 1;
    g.angleDiag = 1;
    g.typeAtt = typeAtt;
    g.noeud = 7;
    g.xy[0] = 1500;
    g.xy[1] = 2500.5;
    g.xy[2] = 0;
    g.neige = 1.25;
    g.loading.number = 12;
    g.loading.text1 = KivString("S");
    g.loading.text2 = KivString("snow");
    g.loading.type = -1;
    g.lia = KivString("L-7");
    g.bouCls = 10.9;
    g.qSoud = KivString("B");

    KivBL5Data::BL5MainElementGroup& m = d.mainElementGroup;
    m.angle = 30;
    m.numMemb1[0] = 1;
    m.numMemb1[1] = 2;
    m.numMemb2[0] = 3;
    m.numMemb2[1] = 4;
    m.mat = KivString("S355");
    m.section.type = 1;
    m.section.dimension.shape = 1;
    m.section.dimension.dim1 = 300;
    m.section.dimension.dim2 = 150;
    m.section.dimension.dim3 = 7.1;
    m.section.dimension.dim4 = 10.7;
    m.section.dimension.dim5 = 15;
    m.tourneSec = 0;
    m.effNumber = 2;
    m.eff[0] = 120;
    m.eff[1] = -35.5;
    m.eff[2] = 8;
    m.gousset1 = 12;
    m.gousset2 = 1;
    m.gousset3 = 250;

    KivBL5Data::BL5ColumnGroup& c = d.columnGroup;
    c.numMont[0] = 8;
    c.numMont[1] = 9;
    c.mat = KivString("S275");
    c.angle = 90;
    c.section.type = 0;
    c.section.profile.text1 = KivString("HEB");
    c.section.profile.text2 = KivString("240");
    c.tourneSec = 1;

    for (int i = 0; i < 2; ++i) {
        KivBL5Data::BL5DiagonalElementGroup& e = d.diagonalElementGroups[i];
        e.number = 3 + i;
        e.angle = 45 + 90 * i;
        e.numElt[0] = 40 + i;
        e.numElt[1] = 50 + i;
        e.mat = KivString("S235");
        e.section.type = 0;
        e.section.profile.text1 = KivString("UPN");
        e.section.profile.text2 = KivString("100");
        e.tourneSec = i;
        e.effNumber = 1;
        e.eff = 55.5 + i;
        fillGhcp(e.ghcp, i + 1);
    }
    return d;
}

std::vector<std::string> written(const KivBL5Data& d, const std::string& dir)
{
    return lines(writeToBytes(d, KivNorvikFileWriter::eFormatBL5, dir));
}

} // namespace

TEST(BL5Writer, RecordsMatchGoldenFiles)
{
    const std::string dir = tempDir();
    expectGolden(writeToBytes(filled(2), KivNorvikFileWriter::eFormatBL5, dir, "column"),
                 "bl5_column.bl5");
    expectGolden(writeToBytes(filled(1), KivNorvikFileWriter::eFormatBL5, dir, "main"),
                 "bl5_main.bl5");
    expectGolden(writeToBytes(KivBL5Data(), KivNorvikFileWriter::eFormatBL5, dir, "default"),
                 "bl5_default.bl5");
}

TEST(BL5Writer, TypeAttChoosesColumnOrMainElement)
{
    const std::string dir = tempDir();
    for (int typeAtt : {2, 0, 1, 3, KivNorvikData::kUndefinedInteger}) {
        const auto all = written(filled(typeAtt), dir);
        const bool column = typeAtt == 2;
        EXPECT_EQ(column ? 1 : 0, count(all, "MONTANT")) << typeAtt;
        EXPECT_EQ(column ? 1 : 0, count(all, "  NUM_MONT 8 9")) << typeAtt;
        EXPECT_EQ(column ? 0 : 1, count(all, "PRIM")) << typeAtt;
        EXPECT_EQ(column ? 0 : 1, count(all, "  ANGLE  30.000")) << typeAtt;
        EXPECT_EQ(4, count(all, "FIN")) << typeAtt;
    }
}

TEST(BL5Writer, GlobalOnlyForAngleDiagOne)
{
    const std::string dir = tempDir();
    for (int angleDiag : {1, 0, 2, -1, KivNorvikData::kUndefinedInteger}) {
        KivBL5Data d;
        d.generalGroup.angleDiag = angleDiag;
        const auto all = written(d, dir);
        EXPECT_EQ(angleDiag == 1 ? 1 : 0, count(all, "  ANGLE_DIAG GLOBAL")) << angleDiag;
        EXPECT_EQ(angleDiag == 1 ? 0 : 1, count(all, "  ANGLE_DIAG LOCAL")) << angleDiag;
    }
}

TEST(BL5Writer, SnowLineOnlyForLoadingTypeTwoOrMinusOne)
{
    const std::string dir = tempDir();
    for (int type : {2, -1, 0, 1, KivNorvikData::kUndefinedInteger}) {
        KivBL5Data d = filled(1);
        d.generalGroup.loading.type = type;
        const auto all = written(d, dir);
        const int expected = type == 2 || type == -1 ? 1 : 0;
        EXPECT_EQ(expected, count(all, "  NEIGE 1.250")) << type;
        EXPECT_EQ(expected, countPrefix(all, "  NEIGE")) << type;
    }
}

TEST(BL5Writer, BoltClassWithOneDecimal)
{
    const std::string dir = tempDir();
    const struct { double value; const char* line; } cases[] = {
        {10.9, "  BOU_CLS 10.9"}, {8, "  BOU_CLS 8.0"}, {8.8, "  BOU_CLS 8.8"},
        {KivNorvikData::kUndefinedReal, "  BOU_CLS -123456.8"}};
    for (const auto& c : cases) {
        KivBL5Data d;
        d.generalGroup.bouCls = c.value;
        EXPECT_EQ(1, count(written(d, dir), c.line)) << c.line;
    }
}

TEST(BL5Writer, TwoDiagonalGroupsWithNineGhcpLinesWhateverNbrDiag)
{
    const std::string dir = tempDir();
    for (int nbrDiag : {0, 1, 2, KivNorvikData::kUndefinedInteger}) {
        KivBL5Data d = filled(1);
        d.generalGroup.nbrDiag = nbrDiag;
        const auto all = written(d, dir);
        EXPECT_EQ(1, count(all, "DIAG_3")) << nbrDiag;
        EXPECT_EQ(1, count(all, "DIAG_4")) << nbrDiag;
        EXPECT_EQ(18, countPrefix(all, "  GHCP ")) << nbrDiag;
    }
}

TEST(BL5Writer, SectionOfUndefinedTypeWritesNoLine)
{
    const std::string dir = tempDir();
    KivBL5Data withSection = filled(2);
    withSection.diagonalElementGroups[1].section.profile.text2 = KivString("120");
    KivBL5Data without = withSection;
    without.columnGroup.section.type = KivNorvikData::kUndefinedInteger;
    without.diagonalElementGroups[1].section.type = KivNorvikData::kUndefinedInteger;

    const auto expected = written(withSection, dir);
    ASSERT_EQ(1, count(expected, "  SECTION  PRF HEB 240"));
    ASSERT_EQ(1, count(expected, "  SECTION  PRF UPN 120"));
    std::vector<std::string> reduced;
    for (const std::string& l : expected)
        if (l != "  SECTION  PRF HEB 240" && l != "  SECTION  PRF UPN 120")
            reduced.push_back(l);
    EXPECT_EQ(reduced, written(without, dir));
}

TEST(BL5Writer, WriteWithoutOpenFileWritesNothing)
{
    KivNorvikFileWriter writer;
    EXPECT_EQ(0, writer.write(filled(2)));
}
