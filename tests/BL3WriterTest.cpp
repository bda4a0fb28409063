#include "RecordFields.h"
#include "TestSupport.h"

#include <cmath>

using namespace norvik_test;

namespace {

constexpr auto kBL3 = KivNorvikFileWriter::eFormatBL3;
using Lines = std::vector<std::string>;
using Secondary = KivBL3Data::BL3SecondaryElementGroup;

// The lines that start with `start` in the file of a record with this secondary group.
Lines linesOf(const Secondary& s, const std::string& start)
{
    KivBL3Data d;
    d.secondaryElementGroup = s;
    Lines found;
    for (const std::string& line : splitLines(writeToBytes(d, kBL3, tempDir())))
        if (line.compare(0, start.size(), start) == 0)
            found.push_back(line);
    return found;
}

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

} // namespace

TEST(BL3Writer, GoldenFiles)
{
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
    expectGolden(writeToBytes(hall, kBL3, tempDir()), "bl3_example.bl3");

    expectGolden(writeToBytes(KivBL3Data(), kBL3, tempDir()), "bl3_default.bl3");

    // Every field set, codes from their tables; one snow line for two snow loadings.
    KivBL3Data full;
    full.projectName = KivString(L"Hall 3");
    full.generalGroup.loadings.setLength(3);
    numberFields(full);
    full.generalGroup.loadings[1].type = 2;
    full.generalGroup.loadings[2].type = -1;
    full.mainElementGroup.section.type = 0;
    auto& s = full.secondaryElementGroup;
    s.section.type = 1;
    s.connecSection.type = 0;
    s.connecType = 4;
    s.connecPos = 1;
    s.boltPrim.kind = 0;
    s.boltSec.kind = 1;
    KivBL3Data::Notch* notches[] = {&s.notchSup, &s.notchInf, &s.notchLat,
                                    &s.notchSupIni, &s.notchInfIni, &s.notchLatIni};
    for (int kind = 0; kind < 6; ++kind)
        notches[kind]->kind = kind;
    expectGolden(writeToBytes(full, kBL3, tempDir()), "bl3_full.bl3");

    // Without an open file nothing is written.
    EXPECT_EQ(0, KivNorvikFileWriter().write(full));
}

// JEU and CONNEC_POSZ: where the writer's test is not the predicate.
TEST(BL3Writer, TestsThatDifferFromThePredicates)
{
    const struct { double Secondary::*field; double value; bool predicate; Lines lines; } cases[] = {
        // The gap: the tolerance, where exportJEU compares exactly.
        {&Secondary::jeu, -123456.7800001, true, {}},
        {&Secondary::jeu, NAN, true, {}},
        {&Secondary::jeu, -123456.779, true, {"  JEU -123456.779"}},
        // The height line tests the height; exportCONNEC_POSZ tests the reference against -123456.0.
        {&Secondary::connecPosZ, 150, false, {"  CONNEC_POSZ -123456 150.000"}},
        {&Secondary::connecPosZRef, 2, true, {}},
        {&Secondary::connecPosZRef, -123456.0000005, false, {}},
        {&Secondary::connecPosZRef, KivNorvikData::kUndefinedReal, true, {}},
    };
    for (const auto& c : cases) {
        Secondary s;
        s.*c.field = c.value;
        EXPECT_EQ(c.predicate, c.field == &Secondary::jeu ? s.exportJEU() : s.exportCONNEC_POSZ()) << c.value;
        EXPECT_EQ(c.lines, linesOf(s, c.field == &Secondary::jeu ? "  JEU" : "  CONNEC_POSZ")) << c.value;
    }
}

TEST(BL3Writer, NotchAndBoltLinesTakeTheirKeywordFromTheirOwnKind)
{
    Secondary s;
    s.notchSup = notch(4, 7);
    s.notchInf = notch(0, -1);
    s.notchLat = notch(1, KivNorvikData::kUndefinedInteger);
    s.notchSupIni = notch(-1, 9);
    s.notchLatIni = notch(6, 10);
    // A notch's code is tested against -123456, where the predicate tests it against -1.
    EXPECT_FALSE(s.notchInf.exportGRUG_SUP_or_INF());
    EXPECT_TRUE(s.notchLat.exportGRUG_SUP_or_INF());
    // In the order of the members, named by their kinds; kinds without a keyword write nothing.
    EXPECT_EQ((Lines{"  GRUG_INF_INI 7 50.000 100.000 0 1", "  GRUG_SUP -1 50.000 100.000 0 1"}),
              linesOf(s, "  GRUG"));

    // A bolt likewise, and only with every value set.
    KivBL3Data::Bolt& b = s.boltPrim;
    b.value1 = b.value2 = b.value3 = b.value4 = b.value5 = b.number = b.kind = 1;
    s.boltSec = b;
    s.boltSec.value4 = KivNorvikData::kUndefinedReal;
    EXPECT_EQ(Lines{"  BOU_SEC 1.000 1 1.000 1.000 1.0 1.000"}, linesOf(s, "  BOU"));
    b.kind = 2;
    EXPECT_EQ(Lines{}, linesOf(s, "  BOU"));

    // Connection codes without a word give an empty word.
    s.connecType = 5;
    s.connecPos = 3;
    EXPECT_EQ((Lines{"  CONNEC_TYPE ", "  CONNEC_POS "}), linesOf(s, "  CONNEC_"));
}

TEST(BL3Writer, ReferenceHeightIsTruncatedAndSaturated)
{
    const struct { double ref; const char* value; } cases[] = {
        {-2.7, "-2"}, {1e12, "2147483647"}, {-HUGE_VAL, "-2147483648"}, {NAN, "-123456"},
    };
    for (const auto& c : cases) {
        Secondary s;
        s.connecPosZRef = c.ref;
        s.connecPosZ = 150;
        EXPECT_EQ(Lines{"  CONNEC_POSZ " + std::string(c.value) + " 150.000"}, linesOf(s, "  CONNEC_POSZ"));
    }
}
