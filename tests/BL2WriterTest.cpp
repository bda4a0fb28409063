#include "RecordFields.h"
#include "TestSupport.h"

#include <cmath>
#include <type_traits>

namespace {

std::string write(const KivBL2Data& d)
{
    return norvik_test::writeToBytes(d, KivNorvikFileWriter::eFormatBL2, norvik_test::tempDir());
}

// Every field set to a value of its own, the codes as given.
KivBL2Data numbered(int baseType, int rowType, int sectionType)
{
    KivBL2Data d;
    d.setProjectName(KivString("Hall 7"));
    d.generalGroup.loadings.setLength(2);
    norvik_test::numberFields(d);
    d.generalGroup.loadings[0].type = 0;
    d.generalGroup.loadings[1].type = 2;                            // brings the snow line
    d.generalGroup.loadings.append(NorvikGlobalData::GenLoading()); // written as it stands
    d.columnGroup.section.type = sectionType;
    d.supportGroup.columnBase.baseType = baseType;
    d.supportGroup.columnBase.rowType = rowType;
    return d;
}

} // namespace

TEST(BL2Writer, GoldenFiles)
{
    norvik_test::expectGolden(write(KivBL2Data()), "bl2_default.bl2");
    norvik_test::expectGolden(write(numbered(0, 0, 0)), "bl2_full.bl2");
    norvik_test::expectGolden(write(numbered(1, 0, 1)), "bl2_stiffened_outer.bl2");
    // A stiffener with a 0.0 is left out; the undefined real is a value here.
    KivBL2Data inner = numbered(1, 1, 0);
    inner.supportGroup.columnBase.radiusL.value1 = 0.0;
    inner.supportGroup.columnBase.radiusT.value1 = KivNorvikData::kUndefinedReal;
    inner.generalGroup.neige = KivNorvikData::kUndefinedReal; // no snow line, though a loading allows it
    norvik_test::expectGolden(write(inner), "bl2_stiffened_inner.bl2");
    // -0.0 counts as 0.0; any base but 0 is stiffened, any row but 0 inner.
    KivBL2Data none = numbered(-1, 2, 0);
    none.supportGroup.columnBase.radiusL.value2 = -0.0;
    none.supportGroup.columnBase.radiusT = {0.0, 0.0};
    norvik_test::expectGolden(write(none), "bl2_no_stiffeners.bl2");
}

TEST(BL2Writer, OnlyTheExactUndefinedRealLeavesALineOut)
{
    // Every real near the undefined one (unset for other kinds), or NaN: no line is lost, stiffeners included.
    const KivBL2Data all = numbered(1, 0, 0);
    for (double value : {-123456.7800001, std::nan("")}) {
        KivBL2Data d(all);
        auto setReals = [value](const std::string&, auto& v) {
            if constexpr (std::is_same_v<decltype(v), double&>)
                v = value;
        };
        visitFields(d, setReals);
        EXPECT_EQ(norvik_test::splitLines(write(all)).size(), norvik_test::splitLines(write(d)).size())
            << write(d);
    }
}

TEST(BL2Writer, SnowNeedsALoadingOfType2OrMinus1AndIsWrittenOnce)
{
    const std::pair<std::vector<int>, int> cases[] = {
        {{0, 1, -2, 3}, 0}, {{2}, 1}, {{-1}, 1}, {{0, 2, 2, -1}, 1}};
    for (const auto& c : cases) {
        KivBL2Data d;
        d.generalGroup.neige = 0.5;
        d.generalGroup.loadings.setLength(static_cast<int>(c.first.size()));
        for (int i = 0; i < d.generalGroup.loadings.getLength(); ++i)
            d.generalGroup.loadings[i].type = c.first[i];
        EXPECT_EQ(c.second, norvik_test::countLinesStartingWith(write(d), "  NEIGE 0.500")) << c.first.size();
    }
}

TEST(BL2Writer, WritesNothingWithoutAnOpenFile)
{
    KivNorvikFileWriter writer;
    EXPECT_EQ(0, writer.write(KivBL2Data()));
}
