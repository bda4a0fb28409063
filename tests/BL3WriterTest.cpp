#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

using norvik_test::expectGolden;
using norvik_test::tempDir;
using norvik_test::writeToBytes;

namespace {

constexpr auto kBL3 = KivNorvikFileWriter::eFormatBL3;

std::vector<std::string> splitLines(const std::string& bytes)
{
    std::vector<std::string> lines;
    std::istringstream in(bytes);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The lines whose first word is `keyword`, as written.
std::vector<std::string> linesOf(const std::string& bytes, const std::string& keyword)
{
    std::vector<std::string> found;
    for (const std::string& line : splitLines(bytes)) {
        const size_t begin = line.find_first_not_of(' ');
        if (begin != std::string::npos && line.compare(begin, keyword.size(), keyword) == 0
            && (line.size() == begin + keyword.size() || line[begin + keyword.size()] == ' '))
            found.push_back(line);
    }
    return found;
}

using Lines = std::vector<std::string>;

KivBL3Data::Notch notch(int kind, int code)
{
    KivBL3Data::Notch n;
    n.kind = kind;
    n.code = code;
    n.value1 = 50;
    n.value2 = 100;
    n.number1 = 0;
    n.number2 = 1;
    return n;
}

KivBL3Data::Bolt bolt(int kind, double v1, int number, double v2, double v3, double v4, double v5)
{
    KivBL3Data::Bolt b;
    b.kind = kind;
    b.value1 = v1;
    b.number = number;
    b.value2 = v2;
    b.value3 = v3;
    b.value4 = v4;
    b.value5 = v5;
    return b;
}

NorvikGlobalData::GenLoading loading(int number, const wchar_t* t1, const wchar_t* t2, int type)
{
    NorvikGlobalData::GenLoading l;
    l.number = number;
    l.text1 = KivString(t1);
    l.text2 = KivString(t2);
    l.type = type;
    return l;
}

// Every field set, with values whose lines can be read off by eye.
KivBL3Data everyFieldSet()
{
    KivBL3Data d;
    d.projectName = KivString(L"Hall 3");
    auto& g = d.generalGroup;
    g.typeAtt = 1;
    g.neige = 0.45;
    g.loadings.append(loading(5, L"G", L"perm", 0));
    g.loadings.append(loading(12, L"S", L"snow", 2));
    g.loadings.append(loading(1234, L"W", L"wind", -1));
    g.lia = KivString(L"hall3.lia");
    g.optCalcul[0] = 0;
    g.optCalcul[1] = 1;
    auto& a = g.att;
    a.grp = 2;
    a.barNb = 4;
    a.num[0] = 10;
    a.num[1] = 11;
    a.noeNum[0] = 12;
    a.noeNum[1] = 13;
    a.noeNom = KivString(L"N12");
    a.noeTitre = KivString(L"Node12");
    a.noeXyz[0] = 1000;
    a.noeXyz[1] = 2000.5;
    a.noeXyz[2] = -3000.25;
    a.bar[0] = 5;
    a.bar[1] = 6;
    a.bar[2] = 7;
    auto& m = d.mainElementGroup;
    m.mat = KivString(L"S355");
    m.section.type = 0;
    m.section.profile.text1 = KivString(L"HEA");
    m.section.profile.text2 = KivString(L"300");
    auto& s = d.secondaryElementGroup;
    s.mat = KivString(L"S235");
    s.section.type = 1;
    s.section.dimension.shape = 1;
    s.section.dimension.dim1 = 1;
    s.section.dimension.dim2 = 2;
    s.section.dimension.dim3 = 3;
    s.section.dimension.dim4 = 4;
    s.section.dimension.dim5 = 5;
    s.angle = 90;
    s.posZ = 150.5;
    s.jeu = 10;
    s.connecType = 4;
    s.connecPos = 2;
    s.connecPosZRef = 2.7;
    s.connecPosZ = 150;
    s.connecLng = 220;
    s.connecMat = KivString(L"S275");
    s.connecSection.type = 0;
    s.connecSection.profile.text1 = KivString(L"L");
    s.connecSection.profile.text2 = KivString(L"80x80x8");
    s.doubleSolive = 1;
    s.boltPrim = bolt(0, 16, 2, 30, 60, 40, 8.8);
    s.boltSec = bolt(1, 20, 3, 35, 70, 45, 10.9);
    s.notchSup = notch(0, 1);
    s.notchInf = notch(1, 2);
    s.notchLat = notch(2, 3);
    s.notchSupIni = notch(3, 4);
    s.notchInfIni = notch(4, 5);
    s.notchLatIni = notch(5, 6);
    s.effort.number = 5;
    s.effort.value1 = 12.5;
    s.effort.value2 = -3.25;
    s.effort.value3 = 0.0004;
    return d;
}

} // namespace

TEST(BL3Writer, GoldenFiles)
{
    const std::string dir = tempDir();

    KivBL3Data hall;
    hall.projectName = KivString(L"Hall 2");
    hall.generalGroup.typeAtt = 0;
    hall.generalGroup.optCalcul[0] = 1;
    hall.generalGroup.optCalcul[1] = 0;
    hall.generalGroup.att.grp = 1;
    hall.mainElementGroup.mat = KivString(L"S235");
    hall.secondaryElementGroup.mat = KivString(L"S235");
    hall.secondaryElementGroup.connecType = 3;
    hall.secondaryElementGroup.connecPos = 0;
    hall.secondaryElementGroup.notchSup = notch(0, 1);
    expectGolden(writeToBytes(hall, kBL3, dir), "bl3_example.bl3");

    expectGolden(writeToBytes(KivBL3Data(), kBL3, dir), "bl3_default.bl3");
    expectGolden(writeToBytes(everyFieldSet(), kBL3, dir), "bl3_full.bl3");
}

TEST(BL3Writer, WriteWithoutAnOpenFileWritesNothing)
{
    KivNorvikFileWriter writer;
    EXPECT_EQ(0, writer.write(KivBL3Data()));
}

// Where the writer's own tests differ from the record's predicates.
TEST(BL3Writer, GapUsesTheToleranceWhereItsPredicateIsExact)
{
    const std::string dir = tempDir();
    KivBL3Data d;
    d.secondaryElementGroup.jeu = -123456.7800001;
    ASSERT_TRUE(d.secondaryElementGroup.exportJEU());
    EXPECT_EQ(Lines{}, linesOf(writeToBytes(d, kBL3, dir), "JEU"));
    d.secondaryElementGroup.jeu = std::nan("");
    ASSERT_TRUE(d.secondaryElementGroup.exportJEU());
    EXPECT_EQ(Lines{}, linesOf(writeToBytes(d, kBL3, dir), "JEU"));
    d.secondaryElementGroup.jeu = -123456.779;
    EXPECT_EQ(Lines{"  JEU -123456.779"}, linesOf(writeToBytes(d, kBL3, dir), "JEU"));
}

TEST(BL3Writer, ConnectionHeightTestsTheHeightWhereItsPredicateTestsTheReference)
{
    const std::string dir = tempDir();
    KivBL3Data d;
    auto& s = d.secondaryElementGroup;
    s.connecPosZ = 150;
    ASSERT_FALSE(s.exportCONNEC_POSZ());
    EXPECT_EQ(Lines{"  CONNEC_POSZ -123456 150.000"}, linesOf(writeToBytes(d, kBL3, dir), "CONNEC_POSZ"));

    s.connecPosZ = KivNorvikData::kUndefinedReal;
    s.connecPosZRef = 2;
    ASSERT_TRUE(s.exportCONNEC_POSZ());
    EXPECT_EQ(Lines{}, linesOf(writeToBytes(d, kBL3, dir), "CONNEC_POSZ"));
}

TEST(BL3Writer, ReferenceHeightIsTruncatedAndSaturated)
{
    const std::string dir = tempDir();
    const double inf = std::numeric_limits<double>::infinity();
    const struct { double ref; const char* line; } cases[] = {
        {2.7, "  CONNEC_POSZ 2 150.000"},
        {-2.7, "  CONNEC_POSZ -2 150.000"},
        {2147483647.9, "  CONNEC_POSZ 2147483647 150.000"},
        {1e12, "  CONNEC_POSZ 2147483647 150.000"},
        {inf, "  CONNEC_POSZ 2147483647 150.000"},
        {-2147483648.9, "  CONNEC_POSZ -2147483648 150.000"},
        {-1e300, "  CONNEC_POSZ -2147483648 150.000"},
        {-inf, "  CONNEC_POSZ -2147483648 150.000"},
        {std::nan(""), "  CONNEC_POSZ -123456 150.000"},
    };
    for (const auto& c : cases) {
        KivBL3Data d;
        d.secondaryElementGroup.connecPosZRef = c.ref;
        d.secondaryElementGroup.connecPosZ = 150;
        EXPECT_EQ(Lines{c.line}, linesOf(writeToBytes(d, kBL3, dir), "CONNEC_POSZ")) << c.ref;
    }
}

TEST(BL3Writer, NotchLinesTestTheCodeAgainstTheUnsetIntegerAndTakeTheirOwnKind)
{
    const std::string dir = tempDir();
    KivBL3Data d;
    auto& s = d.secondaryElementGroup;

    // Code still -1: the predicate says no, the writer writes it.
    s.notchSup = notch(0, -1);
    ASSERT_FALSE(s.notchSup.exportGRUG_SUP_or_INF());
    EXPECT_EQ(Lines{"  GRUG_SUP -1 50.000 100.000 0 1"}, linesOf(writeToBytes(d, kBL3, dir), "GRUG_SUP"));
    s.notchSup.code = KivNorvikData::kUndefinedInteger;
    EXPECT_EQ(Lines{}, linesOf(writeToBytes(d, kBL3, dir), "GRUG_SUP"));

    // Each line is named by its notch's kind, in the order of the members.
    s.notchSup = notch(4, 7);
    s.notchInf = notch(0, 8);
    s.notchLat = notch(-1, 9);
    s.notchLatIni = notch(6, 10);
    const std::string bytes = writeToBytes(d, kBL3, dir);
    Lines grug;
    for (const std::string& line : splitLines(bytes))
        if (line.find("GRUG") != std::string::npos)
            grug.push_back(line);
    EXPECT_EQ((Lines{"  GRUG_INF_INI 7 50.000 100.000 0 1", "  GRUG_SUP 8 50.000 100.000 0 1"}), grug);
}

TEST(BL3Writer, BoltLinesPutValue5BeforeValue4)
{
    const std::string dir = tempDir();
    KivBL3Data d;
    auto& s = d.secondaryElementGroup;
    s.boltPrim = bolt(1, 16, 2, 30, 60, 40, 8.8);
    s.boltSec = bolt(0, 20, 3, 35, 70, 45, 10.94);
    std::string bytes = writeToBytes(d, kBL3, dir);
    EXPECT_EQ(Lines{"  BOU_SEC 16.000 2 30.000 60.000 8.8 40.000"}, linesOf(bytes, "BOU_SEC"));
    EXPECT_EQ(Lines{"  BOU_PRIM 20.000 3 35.000 70.000 10.9 45.000"}, linesOf(bytes, "BOU_PRIM"));
    EXPECT_LT(bytes.find("BOU_SEC"), bytes.find("BOU_PRIM"));

    s.boltPrim.kind = 2;
    s.boltSec.value5 = KivNorvikData::kUndefinedReal;
    bytes = writeToBytes(d, kBL3, dir);
    EXPECT_EQ(std::string::npos, bytes.find("BOU_"));
}

TEST(BL3Writer, GeneralLines)
{
    const std::string dir = tempDir();
    KivBL3Data d;
    auto& g = d.generalGroup;

    // One snow line before the loadings, only with a loading of type 2 or -1.
    g.neige = 0.45;
    g.loadings.append(loading(1, L"G", L"perm", 0));
    g.loadings.append(loading(2, L"S", L"snow", 2));
    g.loadings.append(loading(3, L"S", L"drift", -1));
    std::string bytes = writeToBytes(d, kBL3, dir);
    EXPECT_EQ(Lines{"  NEIGE 0.450"}, linesOf(bytes, "NEIGE"));
    EXPECT_LT(bytes.find("NEIGE"), bytes.find("CHA"));
    g.loadings[1].type = 1;
    g.loadings[2].type = 1;
    EXPECT_EQ(Lines{}, linesOf(writeToBytes(d, kBL3, dir), "NEIGE"));

    g.typeAtt = 5;
    g.att.noeNum[0] = 12;
    bytes = writeToBytes(d, kBL3, dir);
    EXPECT_EQ(Lines{"  TYPE_ATT POU/POT"}, linesOf(bytes, "TYPE_ATT"));
    EXPECT_EQ(Lines{"     ATT.NOE_NUM 12"}, linesOf(bytes, "ATT.NOE_NUM"));
    g.att.noeNum[1] = 0;
    EXPECT_EQ(Lines{"     ATT.NOE_NUM 12 0"}, linesOf(writeToBytes(d, kBL3, dir), "ATT.NOE_NUM"));
}

TEST(BL3Writer, CodesWithoutAWordGiveAnEmptyWord)
{
    const std::string dir = tempDir();
    KivBL3Data d;
    d.secondaryElementGroup.connecType = 5;
    d.secondaryElementGroup.connecPos = -1;
    const std::string bytes = writeToBytes(d, kBL3, dir);
    EXPECT_EQ(Lines{"  CONNEC_TYPE "}, linesOf(bytes, "CONNEC_TYPE"));
    EXPECT_EQ(Lines{"  CONNEC_POS "}, linesOf(bytes, "CONNEC_POS"));
}
