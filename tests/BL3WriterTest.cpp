#include "RecordFields.h"
#include "TestSupport.h"

#include <tuple>

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
    std::tie(n.kind, n.code, n.value1, n.value2, n.number1, n.number2) =
        std::make_tuple(kind, code, 50.0, 100.0, 0, 1);
    return n;
}

// Every field set, codes from their tables; one snow line for two snow loadings. `flipped` swaps
// the forms of the sections (the connection's by dimensions) and the kinds of the bolts and notches.
KivBL3Data everyField(bool flipped)
{
    KivBL3Data full;
    full.projectName = KivString(L"Hall 3");
    full.generalGroup.loadings.setLength(3);
    numberFields(full);
    full.generalGroup.loadings[1].type = 2;
    full.generalGroup.loadings[2].type = -1;
    auto& s = full.secondaryElementGroup;
    full.mainElementGroup.section.type = s.connecSection.type = s.boltPrim.kind = flipped ? 1 : 0;
    s.section.type = s.boltSec.kind = flipped ? 0 : 1;
    s.connecPos = 1;
    s.connecType = 4;
    int kind = 0;
    for (auto* n : {&s.notchSup, &s.notchInf, &s.notchLat, &s.notchSupIni, &s.notchInfIni, &s.notchLatIni})
        n->kind = flipped ? 5 - kind++ : kind++;
    if (flipped)
        full.mainElementGroup.section.dimension.shape = s.connecSection.dimension.shape = 7;
    return full;
}

} // namespace

TEST(BL3Writer, GoldenFiles)
{
    KivBL3Data hall;
    hall.projectName = KivString(L"Hall 2");
    hall.generalGroup.typeAtt = hall.generalGroup.optCalcul[1] = hall.secondaryElementGroup.connecPos = 0;
    hall.generalGroup.optCalcul[0] = hall.generalGroup.att.grp = 1;
    hall.mainElementGroup.mat = hall.secondaryElementGroup.mat = KivString(L"S235");
    hall.secondaryElementGroup.connecType = 3;
    hall.secondaryElementGroup.notchSup = notch(0, 1);
    expectGolden(writeToBytes(hall, kBL3, tempDir()), "bl3_example.bl3");

    expectGolden(writeToBytes(KivBL3Data(), kBL3, tempDir()), "bl3_default.bl3");

    const KivBL3Data full = everyField(false);
    expectGolden(writeToBytes(full, kBL3, tempDir()), "bl3_full.bl3");
    expectGolden(writeToBytes(everyField(true), kBL3, tempDir()), "bl3_full_flipped.bl3");

    EXPECT_EQ(0, KivNorvikFileWriter().write(full));
}

// A line is written only when all its values are set: clearing any one field of an every-field
// record writes no undefined value but in the untested CHA and EFF lines, the reference
// height (see below) and the shape of a section by dimensions.
TEST(BL3Writer, LinesNeedAllTheirValues)
{
    const std::string dir = tempDir();
    const std::string undefinedText = narrow(KivNorvikData::undefinedString());
    for (bool flipped : {false, true}) {
        for (int which = 0;; ++which) {
            KivBL3Data d = everyField(flipped);
            const std::string cleared = clearField(d, which);
            if (cleared.empty())
                break;
            for (const std::string& line : splitLines(writeToBytes(d, kBL3, dir))) {
                if (line.find("-123456") == std::string::npos &&
                    line.find(undefinedText) == std::string::npos)
                    continue;
                const bool untested = line.compare(0, 6, "  CHA ") == 0 ||
                                      line.compare(0, 6, "  EFF ") == 0 ||
                                      line.compare(0, 22, "  CONNEC_POSZ -123456 ") == 0 ||
                                      cleared.find("dimension.shape") != std::string::npos;
                EXPECT_TRUE(untested) << cleared << ": " << line;
            }
        }
    }
}

// JEU and CONNEC_POSZ: where the writer's test is not the predicate.
TEST(BL3Writer, TestsThatDifferFromThePredicates)
{
    // The gap: the tolerance, where exportJEU compares exactly.
    for (double jeu : {-123456.7800001, double(NAN), -123456.779}) {
        Secondary s;
        s.jeu = jeu;
        EXPECT_TRUE(s.exportJEU());
        EXPECT_EQ(jeu == -123456.779 ? Lines{"  JEU -123456.779"} : Lines{}, linesOf(s, "  JEU")) << jeu;
    }
    // The height line tests the height and writes the reference's whole part, saturated;
    // exportCONNEC_POSZ tests the reference against -123456.0.
    constexpr double unset = KivNorvikData::kUndefinedReal;
    const struct
    {
        double ref, height;
        bool predicate;
        const char* line;
    } heights[] = {
        {-123456.0, 150, false, "-123456 150.000"},
        {2, unset, true, nullptr},
        {-123456.0000005, unset, false, nullptr},
        {unset, unset, true, nullptr},
        {-2.7, 150, true, "-2 150.000"},
        {1e12, 150, true, "2147483647 150.000"},
        {-HUGE_VAL, 150, true, "-2147483648 150.000"},
        {NAN, 150, false, "-123456 150.000"},
    };
    for (const auto& c : heights) {
        Secondary s;
        s.connecPosZRef = c.ref;
        s.connecPosZ = c.height;
        EXPECT_EQ(c.predicate, s.exportCONNEC_POSZ()) << c.ref;
        const Lines expected = c.line ? Lines{"  CONNEC_POSZ " + std::string(c.line)} : Lines{};
        EXPECT_EQ(expected, linesOf(s, "  CONNEC_POSZ")) << c.ref;
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
