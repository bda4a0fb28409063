#include "RecordFields.h"
#include "TestSupport.h"

#include <random>
#include <string>

using norvik_test::describeDifference;
using norvik_test::flatten;
using norvik_test::readFromBytes;
using norvik_test::tempDir;
using norvik_test::writeToBytes;

namespace {

constexpr double kReal = KivNorvikData::kUndefinedReal;
constexpr int kInteger = KivNorvikData::kUndefinedInteger;

// The record that reading `body` (lines after a tag line) gives.
KivBL2Data read(const std::string& body)
{
    KivBL2Data d;
    EXPECT_EQ(1, readFromBytes<KivNorvikBL2Reader>("\"NV_ATT\",\"Test\"\n\n" + body, d, tempDir()));
    return d;
}

int pick(std::mt19937& rng, int low, int high)
{
    return std::uniform_int_distribution<int>(low, high)(rng);
}

// A random record whose texts are single words and whose reals have at most
// three decimals, with some lines left out by undefined values.
KivBL2Data randomRecord(std::mt19937& rng)
{
    KivBL2Data d;
    d.generalGroup.loadings.setLength(pick(rng, 0, 4));
    norvik_test::randomize(d, rng);
    d.setProjectName(KivString(("Hall_" + std::to_string(pick(rng, 0, 999))).c_str()));

    const int types[] = {0, 1, 2, -1, 5};
    for (int i = 0; i < d.generalGroup.loadings.getLength(); ++i)
        d.generalGroup.loadings[i].type = types[pick(rng, 0, 4)];
    d.columnGroup.section.type = pick(rng, 0, 2) == 2 ? kInteger : pick(rng, 0, 1);
    auto& b = d.supportGroup.columnBase;
    b.baseType = pick(rng, 0, 1) == 0 ? 0 : pick(rng, -5, 5);
    b.rowType = pick(rng, 0, 1) == 0 ? 0 : pick(rng, -5, 5);
    if (pick(rng, 0, 2) == 0)
        b.radiusL.value1 = 0.0;
    if (pick(rng, 0, 2) == 0)
        b.radiusT.value2 = 0.0;
    if (pick(rng, 0, 3) == 0)
        d.supportGroup.becheProfile = KivBL2Data::BL2SpadeProfile();

    // Lines with a condition are left out now and then.
    auto& g = d.generalGroup;
    auto& c = d.columnGroup;
    auto& s = d.supportGroup;
    const auto drop = [&rng] { return pick(rng, 0, 3) == 0; };
    const KivString undefined = KivNorvikData::undefinedString();
    if (drop()) g.repPage = undefined;
    if (drop()) g.noeudXyz[pick(rng, 0, 2)] = kReal;
    if (drop()) g.neige = kReal;
    if (drop()) g.noeudNum = kInteger;
    if (drop()) g.beton2 = kReal;
    if (drop()) g.lia = undefined;
    if (drop()) g.massif1 = kReal;
    if (drop()) g.verifTigeAdd80 = kInteger;
    if (drop()) g.verifTpT1T2Min = kInteger;
    if (drop()) g.epmaxEncNoraid = kReal;
    if (drop()) c.mat = undefined;
    if (drop()) c.lia1 = kInteger;
    if (drop()) c.rotMax = kReal;
    if (drop()) s.matPlats = undefined;
    if (drop()) s.options[pick(rng, 0, 2)] = kInteger;
    if (drop()) s.coefAdapt = kReal;
    if (drop()) s.matBeche = undefined;
    if (drop()) s.beche = kReal;
    if (drop()) s.adher = kReal;
    if (drop()) s.prescel = kReal;
    if (drop()) s.calage = kReal;
    return d;
}

// What reading back the file of `d` gives: the fields that the file's rules
// cannot bring back take the values a fresh record has, or that the reader
// derives.
KivBL2Data expectedAfterRoundTrip(const KivBL2Data& d)
{
    KivBL2Data e(d);
    e.setProjectName(d.projectName);
    const KivBL2Data fresh;
    auto& g = e.generalGroup;
    auto& c = e.columnGroup;
    auto& s = e.supportGroup;
    // Lines not written because one of their values is unset: all their values.
    if (!g.exportNOEUD_XYZ())
        for (double& x : g.noeudXyz) x = kReal;
    if (!g.exportBETON()) g.beton1 = g.beton2 = kReal;
    if (!g.exportMASSIF()) g.massif1 = g.massif2 = kReal;
    if (!c.exportLIA()) c.lia1 = c.lia2 = kInteger;
    if (!s.exportOPTIONS())
        for (int& o : s.options) o = kInteger;
    // Snow: written only with a loading of type 2 or -1.
    bool snow = false;
    for (int i = 0; i < g.loadings.getLength(); ++i)
        snow = snow || g.loadings[i].type == 2 || g.loadings[i].type == -1;
    if (!snow) g.neige = kReal;
    // Section: only the line of its type is written; an unknown type writes none.
    if (c.section.type != 0) c.section.profile = fresh.columnGroup.section.profile;
    if (c.section.type != 1) c.section.dimension = fresh.columnGroup.section.dimension;
    if (c.section.type != 0 && c.section.type != 1) c.section.type = fresh.columnGroup.section.type;
    // Column base: the lines of the other base and row are not written; the
    // selectors come back as 0 or 1; a stiffener with a 0.0 is not written.
    KivBL2Data::BL2ColumnBase& b = s.columnBase;
    const KivBL2Data::BL2ColumnBase none;
    if (b.baseType == 0) {
        b.radiusL = none.radiusL;
        b.radiusT = none.radiusT;
        b.rowType = none.rowType;
        b.extTige = none.extTige;
        b.intTige = none.intTige;
    } else {
        b.baseType = 1;
        b.articulatedRadius = none.articulatedRadius;
        b.fileCen = none.fileCen;
        if (b.radiusL.value1 == 0.0 || b.radiusL.value2 == 0.0) b.radiusL = none.radiusL;
        if (b.radiusT.value1 == 0.0 || b.radiusT.value2 == 0.0) b.radiusT = none.radiusT;
        if (b.rowType == 0) {
            b.intTige = none.intTige;
        } else {
            b.rowType = 1;
            b.extTige = none.extTige;
        }
    }
    return e;
}

} // namespace

TEST(BL2Reader, RoundTripOfGeneratedRecords)
{
    std::mt19937 rng(20240611);
    for (int round = 0; round < 150; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const KivBL2Data original = randomRecord(rng);
        const std::string dir = tempDir();
        const std::string first = writeToBytes(original, KivNorvikFileWriter::eFormatBL2, dir, "a");
        KivBL2Data back;
        ASSERT_EQ(1, readFromBytes<KivNorvikBL2Reader>(first, back, dir));
        const KivBL2Data expected = expectedAfterRoundTrip(original);
        EXPECT_EQ(std::wstring(original.projectName.getStringW()), back.projectName.getStringW());
        ASSERT_EQ(flatten(expected), flatten(back))
            << describeDifference(flatten(expected), flatten(back)) << first;
        EXPECT_EQ(first, writeToBytes(back, KivNorvikFileWriter::eFormatBL2, dir, "b"));
    }
}

TEST(BL2Reader, ShortLinesFillTheirFirstValuesOnly)
{
    const KivBL2Data d = read("GEN\n  NOEUD_XYZ 1 2\n  VERIF.TIGE.ADD80\n  CHA\n  CHA 4 G\n"
                              "  NEIGE 0.5 9 9\nFIN\n"
                              "POT\n  EFF 3 1.5\n  I\n  LIA 7\nFIN\n"
                              "APP\n  PLAQUETTE_DIM 1.5 3\n  BOULON 1 2 3\n  TIGE\n  OPTIONS 1 2\nFIN\n");
    const auto& g = d.generalGroup;
    EXPECT_EQ(1.0, g.noeudXyz[0]);
    EXPECT_EQ(2.0, g.noeudXyz[1]);
    EXPECT_EQ(kReal, g.noeudXyz[2]);
    EXPECT_EQ(kInteger, g.verifTigeAdd80);
    EXPECT_EQ(0.5, g.neige);
    ASSERT_EQ(2, g.loadings.getLength());
    EXPECT_EQ(kInteger, g.loadings[0].number);
    EXPECT_EQ(KivNorvikData::undefinedString(), g.loadings[0].text1);
    EXPECT_EQ(kInteger, g.loadings[0].type);
    EXPECT_EQ(4, g.loadings[1].number);
    EXPECT_EQ(std::wstring(L"G"), g.loadings[1].text1.getStringW());
    EXPECT_EQ(KivNorvikData::undefinedString(), g.loadings[1].text2);

    const auto& c = d.columnGroup;
    EXPECT_EQ(3, c.effort.number);
    EXPECT_EQ(1.5, c.effort.value1);
    EXPECT_EQ(0.0, c.effort.value2);
    EXPECT_EQ(1, c.section.type);
    EXPECT_EQ(kReal, c.section.dimension.dim1);
    EXPECT_EQ(7, c.lia1);
    EXPECT_EQ(kInteger, c.lia2);

    const auto& s = d.supportGroup;
    EXPECT_EQ(1.5, s.smallPlateDim.value1);
    EXPECT_EQ(3, s.smallPlateDim.number);
    EXPECT_EQ(0.0, s.smallPlateDim.value2);
    EXPECT_EQ(1.0, s.bolt.value1);
    EXPECT_EQ(2.0, s.bolt.value2);
    EXPECT_EQ(0, s.stem.number);
    EXPECT_EQ(1, s.options[0]);
    EXPECT_EQ(2, s.options[1]);
    EXPECT_EQ(kInteger, s.options[2]);
}

TEST(BL2Reader, KeywordsBelongToTheirGroup)
{
    const KivBL2Data d = read("GEN\n  LIA A1\n  MAT S235\n  PRO HEB 300\nFIN\n"
                              "POT\n  LIA 3 4\n  PRO HEB 300\n  BECHE 5\nFIN\n"
                              "APP\n  BECHE_PROF HEA 100 S235\n  BECHE 7.5\n  MAT_BECHE S275\n"
                              "  REP_PAGE P1\nFIN\n");
    EXPECT_EQ(std::wstring(L"A1"), d.generalGroup.lia.getStringW());
    EXPECT_EQ(3, d.columnGroup.lia1);
    EXPECT_EQ(4, d.columnGroup.lia2);
    EXPECT_EQ(std::wstring(L"S235"), d.supportGroup.becheProfile.text3.getStringW());
    EXPECT_EQ(7.5, d.supportGroup.beche);
    EXPECT_EQ(std::wstring(L"S275"), d.supportGroup.matBeche.getStringW());
    EXPECT_TRUE(d.columnGroup.section.exportPRO());
    EXPECT_FALSE(d.columnGroup.exportMAT()); // MAT in GEN is not a column line
    EXPECT_FALSE(d.generalGroup.exportREP_PAGE());

    // The keyword alone switches the section and keeps its texts.
    const KivBL2Data pro = read("POT\n  I 1 2 3 4 5\n  PRO\nFIN\n");
    EXPECT_EQ(0, pro.columnGroup.section.type);
    EXPECT_EQ(KivNorvikData::undefinedString(), pro.columnGroup.section.profile.text1);
    EXPECT_EQ(5.0, pro.columnGroup.section.dimension.dim5);
}

TEST(BL2Reader, ColumnBaseLinesWithAValueSelectTheBaseAndTheRow)
{
    const KivBL2Data stiff = read("APP\n  RAIDL 1 2\n  RAIDT 3 4\n  FILE.EXT 2 5 6 7\nFIN\n");
    const auto& b = stiff.supportGroup.columnBase;
    EXPECT_EQ(1, b.baseType);
    EXPECT_EQ(0, b.rowType);
    EXPECT_EQ(2.0, b.radiusL.value2);
    EXPECT_EQ(3.0, b.radiusT.value1);
    EXPECT_EQ(2, b.extTige.number);
    EXPECT_EQ(7.0, b.extTige.value3);

    const KivBL2Data inner = read("APP\n  FILE.INT 8\nFIN\n");
    EXPECT_EQ(1, inner.supportGroup.columnBase.baseType);
    EXPECT_EQ(1, inner.supportGroup.columnBase.rowType);
    EXPECT_EQ(8.0, inner.supportGroup.columnBase.intTige.value1);

    // A bare keyword selects nothing.
    const KivBL2Data bare = read("APP\n  RAIDL\n  FILE.INT\nFIN\n");
    EXPECT_EQ(0, bare.supportGroup.columnBase.baseType);
    EXPECT_EQ(0, bare.supportGroup.columnBase.rowType);
    const KivBL2Data kept = read("APP\n  FILE.INT 1 2\n  RAID_ART\n  FILE.CEN\n  FILE.EXT\nFIN\n");
    EXPECT_EQ(1, kept.supportGroup.columnBase.baseType);
    EXPECT_EQ(1, kept.supportGroup.columnBase.rowType);

    // The last line met decides.
    const KivBL2Data back = read("APP\n  RAIDT 1 2\n  FILE.INT 1 2\n  RAID_ART 1 2 3 4 5 6 9\n"
                                 "  FILE.EXT 3\nFIN\n");
    EXPECT_EQ(1, back.supportGroup.columnBase.baseType);
    EXPECT_EQ(0, back.supportGroup.columnBase.rowType);
    EXPECT_EQ(9, back.supportGroup.columnBase.articulatedRadius.number);
    EXPECT_EQ(0, read("APP\n  RAIDL 1 2\n  FILE.CEN 4\nFIN\n").supportGroup.columnBase.baseType);
}

TEST(BL2Reader, GroupsEndAtTheNextHeaderAndTheNameComesFromTheTagLine)
{
    KivBL2Data d;
    EXPECT_EQ(1, readFromBytes<KivNorvikBL2Reader>("\"NV_ATT\",\"Hall 7\"\r\n\r\nGEN\r\n  LIA A1\r\n"
                                                   "POT\r\n  LIA 3 4\r\nFIN\r\n",
                                                   d, tempDir()));
    EXPECT_EQ(std::wstring(L"Hall 7"), d.projectName.getStringW());
    EXPECT_EQ(std::wstring(L"A1"), d.generalGroup.lia.getStringW());
    EXPECT_EQ(3, d.columnGroup.lia1);

    KivBL2Data untagged;
    untagged.setProjectName(KivString("Mine"));
    untagged.columnGroup.rotMax = 1;
    readFromBytes<KivNorvikBL2Reader>("POT\n  MAT S235\nFIN\n", untagged, tempDir());
    EXPECT_EQ(std::wstring(L"Project"), untagged.projectName.getStringW());
    EXPECT_EQ(kReal, untagged.columnGroup.rotMax); // a fresh record's value, not the host's

    KivBL2Data missing;
    missing.columnGroup.rotMax = 1;
    KivNorvikBL2Reader reader(KivString((tempDir() + "/none.bl2").c_str()));
    EXPECT_EQ(0, reader.readFile(missing));
    EXPECT_EQ(1.0, missing.columnGroup.rotMax);
}
