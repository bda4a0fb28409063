// BL4 and BL5 (bracing connections, export only): records and writers.
#include "RecordFields.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace norvik_test;

namespace {

constexpr int kUndefined = KivNorvikData::kUndefinedInteger;

// New records: the groups' own texts start empty, those of the loading and
// the sections undefined.
bool ownText(const std::string& path)
{
    return path.find(".loading.") == std::string::npos && path.find(".profile.") == std::string::npos;
}

// A new record is undefined; copies take every field and the base; setFrom
// takes the base only.
template <class Record>
void expectRecordSemantics(KivNorvikData::eNorvikDataType kind)
{
    const Record fresh;
    EXPECT_EQ(kind, fresh.dataType);
    EXPECT_TRUE(fresh.projectName.isEmpty());
    expectUndefined(fresh, ownText);

    std::mt19937 rng(45);
    Record source;
    Record target;
    randomize(source, rng);
    randomize(target, rng);
    source.projectName = KivString("source");

    const Record copy(source);
    EXPECT_EQ(flatten(source), flatten(copy)) << describeDifference(flatten(source), flatten(copy));
    EXPECT_TRUE(copy.projectName == source.projectName);
    Record assigned = target;
    assigned.dataType = KivNorvikData::eBL1;
    assigned = source;
    EXPECT_EQ(flatten(source), flatten(assigned)) << describeDifference(flatten(source), flatten(assigned));
    EXPECT_TRUE(assigned.projectName == source.projectName);
    EXPECT_EQ(kind, assigned.dataType);

    const FieldList before = flatten(target);
    target.setFrom(&source);
    EXPECT_TRUE(target.projectName == source.projectName);
    EXPECT_EQ(before, flatten(target)) << describeDifference(before, flatten(target));
}

std::string bytesOf(const KivBL4Data& d, const std::string& dir)
{
    return writeToBytes(d, KivNorvikFileWriter::eFormatBL4, dir);
}

std::string bytesOf(const KivBL5Data& d, const std::string& dir)
{
    return writeToBytes(d, KivNorvikFileWriter::eFormatBL5, dir);
}

// The snow line follows the loading type alone: an undefined snow value is
// still written when the loading asks for it.
template <class Record>
void expectSnowRule()
{
    const std::string dir = tempDir();
    for (int type : {2, -1, 0, 1, kUndefined}) {
        Record d;
        d.generalGroup.loading.type = type;
        const int expected = type == 2 || type == -1 ? 1 : 0;
        EXPECT_EQ(expected, countLinesStartingWith(bytesOf(d, dir), "  NEIGE -123456.780")) << type;
    }
}

// The bytes without the lines that start with `prefix`.
std::string withoutLines(const std::string& bytes, const std::string& prefix)
{
    std::string out;
    for (const std::string& line : splitLines(bytes))
        if (line.compare(0, prefix.size(), prefix) != 0)
            out += line + "\n";
    return out;
}

// Every field numbered; the codes chosen so that each bolt keyword and both
// section kinds appear.
KivBL4Data numberedBL4()
{
    KivBL4Data d;
    numberFields(d);
    d.projectName = KivString("Hall B bracing");
    d.generalGroup.loading.type = 2;
    d.mainElementGroup.bolt1.kind = 0;
    d.mainElementGroup.bolt2.kind = 1;
    d.diagonalElementGroups[0].bolt.kind = 2;
    d.diagonalElementGroups[1].bolt.kind = 3;
    d.mainElementGroup.section.type = 0;
    d.diagonalElementGroups[0].section.type = 1;
    d.diagonalElementGroups[1].section.type = 0;
    return d;
}

// Main element and column both numbered; typeAtt chooses the one written.
KivBL5Data numberedBL5(int typeAtt, int angleDiag, int loadingType)
{
    KivBL5Data d;
    numberFields(d);
    d.projectName = KivString("Roof truss 4");
    d.generalGroup.typeAtt = typeAtt;
    d.generalGroup.angleDiag = angleDiag;
    d.generalGroup.loading.type = loadingType;
    d.mainElementGroup.section.type = 1;
    d.columnGroup.section.type = 0;
    d.diagonalElementGroups[0].section.type = 0;
    d.diagonalElementGroups[1].section.type = 1;
    return d;
}

} // namespace

TEST(BL4Data, NewCopiedAndSetFromRecords)
{
    expectRecordSemantics<KivBL4Data>(KivNorvikData::eBL4);
}

TEST(BL5Data, NewCopiedAndSetFromRecords)
{
    expectRecordSemantics<KivBL5Data>(KivNorvikData::eBL5);
}

TEST(BL4Writer, NumberedAndDefaultRecordsMatchGoldenFiles)
{
    const std::string dir = tempDir();
    expectGolden(bytesOf(numberedBL4(), dir), "bl4_filled.bl4");
    expectGolden(bytesOf(KivBL4Data(), dir), "bl4_default.bl4");
}

TEST(BL4Writer, SnowLineOnlyForLoadingTypeTwoOrMinusOne)
{
    expectSnowRule<KivBL4Data>();
}

TEST(BL4Writer, BoltKeywordFollowsKind)
{
    const std::string dir = tempDir();
    const struct { int kind; const char* keyword; } cases[] = {
        {0, "  BOU1 DIST -"}, {1, "  BOU2 DIST -"}, {2, "  BOU DIST -"},
        {3, "  BOUDIST -"}, {-1, "  BOUDIST -"}, {kUndefined, "  BOUDIST -"}};
    for (const auto& c : cases) {
        KivBL4Data d;
        d.mainElementGroup.bolt1.kind = d.mainElementGroup.bolt2.kind = c.kind;
        d.diagonalElementGroups[0].bolt.kind = d.diagonalElementGroups[1].bolt.kind = c.kind;
        EXPECT_EQ(4, countLinesStartingWith(bytesOf(d, dir), c.keyword)) << c.kind;
    }
}

TEST(BL4Writer, TwoDiagonalGroupsWhateverNbrDiag)
{
    const std::string dir = tempDir();
    for (int nbrDiag : {0, 1, 3, kUndefined}) {
        KivBL4Data d = numberedBL4();
        d.generalGroup.nbrDiag = nbrDiag;
        const std::string bytes = bytesOf(d, dir);
        EXPECT_EQ(2, countLinesStartingWith(bytes, "DIAG_")) << nbrDiag;
        EXPECT_EQ(4, countLinesStartingWith(bytes, "FIN")) << nbrDiag;
    }
}

// Undefined type, a profile with an undefined text, dimensions with an
// undefined value: no section line, every other line unchanged.
TEST(BL4Writer, IncompleteSectionWritesNoLine)
{
    const std::string dir = tempDir();
    KivBL4Data d = numberedBL4();
    const std::string full = bytesOf(d, dir);
    ASSERT_EQ(3, countLinesStartingWith(full, "  SECTION"));
    d.mainElementGroup.section.type = kUndefined;
    d.diagonalElementGroups[0].section.dimension.dim5 = KivNorvikData::kUndefinedReal;
    d.diagonalElementGroups[1].section.profile.text2 = KivNorvikData::undefinedString();
    EXPECT_EQ(withoutLines(full, "  SECTION"), bytesOf(d, dir));
}

TEST(BL5Writer, RecordsMatchGoldenFiles)
{
    const std::string dir = tempDir();
    expectGolden(bytesOf(numberedBL5(2, 1, 2), dir), "bl5_column.bl5");
    expectGolden(bytesOf(numberedBL5(1, 0, -1), dir), "bl5_main.bl5");
    expectGolden(bytesOf(KivBL5Data(), dir), "bl5_default.bl5");
}

TEST(BL5Writer, TypeAttTwoWritesTheColumnInsteadOfTheMainElement)
{
    const std::string dir = tempDir();
    for (int typeAtt : {2, 0, 1, 3, kUndefined}) {
        const std::string bytes = bytesOf(numberedBL5(typeAtt, 1, 2), dir);
        EXPECT_EQ(typeAtt == 2 ? 1 : 0, countLinesStartingWith(bytes, "MONTANT")) << typeAtt;
        EXPECT_EQ(typeAtt == 2 ? 0 : 1, countLinesStartingWith(bytes, "PRIM")) << typeAtt;
    }
}

TEST(BL5Writer, GlobalOnlyForAngleDiagOne)
{
    const std::string dir = tempDir();
    for (int angleDiag : {1, 0, 2, -1, kUndefined}) {
        KivBL5Data d;
        d.generalGroup.angleDiag = angleDiag;
        const char* expected = angleDiag == 1 ? "  ANGLE_DIAG GLOBAL\n" : "  ANGLE_DIAG LOCAL\n";
        EXPECT_NE(std::string::npos, bytesOf(d, dir).find(expected)) << angleDiag;
    }
}

TEST(BL5Writer, SnowLineOnlyForLoadingTypeTwoOrMinusOne)
{
    expectSnowRule<KivBL5Data>();
}

TEST(BL5Writer, BoltClassWithOneDecimal)
{
    const std::string dir = tempDir();
    const struct { double value; const char* line; } cases[] = {
        {10.9, "  BOU_CLS 10.9\n"}, {8, "  BOU_CLS 8.0\n"}, {8.8, "  BOU_CLS 8.8\n"}};
    for (const auto& c : cases) {
        KivBL5Data d;
        d.generalGroup.bouCls = c.value;
        EXPECT_NE(std::string::npos, bytesOf(d, dir).find(c.line)) << c.line;
    }
}

TEST(BL5Writer, TwoDiagonalGroupsWithNineGhcpLinesWhateverNbrDiag)
{
    const std::string dir = tempDir();
    for (int nbrDiag : {0, 1, 3, kUndefined}) {
        KivBL5Data d = numberedBL5(1, 1, 2);
        d.generalGroup.nbrDiag = nbrDiag;
        const std::string bytes = bytesOf(d, dir);
        EXPECT_EQ(2, countLinesStartingWith(bytes, "DIAG_")) << nbrDiag;
        EXPECT_EQ(18, countLinesStartingWith(bytes, "  GHCP ")) << nbrDiag;
        EXPECT_EQ(4, countLinesStartingWith(bytes, "FIN")) << nbrDiag;
    }
}

TEST(BL5Writer, IncompleteSectionWritesNoLine)
{
    const std::string dir = tempDir();
    KivBL5Data d = numberedBL5(2, 1, 2);
    const std::string full = bytesOf(d, dir);
    ASSERT_EQ(3, countLinesStartingWith(full, "  SECTION"));
    d.columnGroup.section.type = kUndefined;
    d.diagonalElementGroups[0].section.profile.text1 = KivNorvikData::undefinedString();
    d.diagonalElementGroups[1].section.dimension.dim1 = KivNorvikData::kUndefinedReal;
    EXPECT_EQ(withoutLines(full, "  SECTION"), bytesOf(d, dir));
}

TEST(BL5Writer, WriteWithoutOpenFileFails)
{
    KivNorvikFileWriter writer;
    EXPECT_EQ(0, writer.write(numberedBL5(2, 1, 2)));
}
