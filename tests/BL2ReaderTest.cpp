#include "RecordFields.h"
#include "TestSupport.h"

#include <algorithm>
#include <initializer_list>

using norvik_test::describeDifference;
using norvik_test::flatten;

namespace {

constexpr double kReal = KivNorvikData::kUndefinedReal;
constexpr int kInteger = KivNorvikData::kUndefinedInteger;

int pick(std::mt19937& rng, int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }

void unset(int& v) { v = kInteger; }
void unset(double& v) { v = kReal; }
void unset(KivString& v) { v = KivNorvikData::undefinedString(); }

// Within the limits of the format: texts of one word, reals of at most three
// decimals. About one field in five is unset, so conditional lines come and go.
KivBL2Data randomRecord(std::mt19937& rng)
{
    KivBL2Data d;
    d.setProjectName(KivString(("Hall_" + std::to_string(pick(rng, 0, 999))).c_str()));
    d.generalGroup.loadings.setLength(pick(rng, 0, 4));
    norvik_test::randomize(d, rng);
    auto sometimesUnset = [&rng](const std::string&, auto& v) {
        if (pick(rng, 0, 4) == 0)
            unset(v);
    };
    visitFields(d, sometimesUnset);
    for (int i = 0; i < d.generalGroup.loadings.getLength(); ++i)
        d.generalGroup.loadings[i].type = pick(rng, -2, 3);
    d.columnGroup.section.type = pick(rng, -1, 1);
    auto& b = d.supportGroup.columnBase;
    b.baseType = pick(rng, -1, 2);
    b.rowType = pick(rng, -1, 2);
    b.radiusL.value1 = pick(rng, 0, 2) == 0 ? 0.0 : b.radiusL.value1;
    b.radiusT.value2 = pick(rng, 0, 2) == 0 ? -0.0 : b.radiusT.value2;
    if (pick(rng, 0, 3) == 0)
        d.supportGroup.becheProfile = KivBL2Data::BL2SpadeProfile();
    return d;
}

// A line of several values is written only when all of them are set.
template <class T>
void allOrNone(std::initializer_list<T*> fields, T undefined)
{
    const bool all =
        std::none_of(fields.begin(), fields.end(), [undefined](T* f) { return *f == undefined; });
    for (T* f : fields)
        *f = all ? *f : undefined;
}

// What reading back the file of `d` gives: the fields of the lines not written
// as a fresh record has them, and the column-base selectors as 0 or 1.
KivBL2Data expectedAfterRoundTrip(const KivBL2Data& d)
{
    KivBL2Data e(d);
    auto& g = e.generalGroup;
    auto& c = e.columnGroup;
    allOrNone({&g.noeudXyz[0], &g.noeudXyz[1], &g.noeudXyz[2]}, kReal);
    allOrNone({&g.beton1, &g.beton2}, kReal);
    allOrNone({&g.massif1, &g.massif2}, kReal);
    allOrNone({&c.lia1, &c.lia2}, kInteger);
    allOrNone({&e.supportGroup.options[0], &e.supportGroup.options[1], &e.supportGroup.options[2]}, kInteger);
    g.neige = NorvikGlobalData::hasSnowLoading(g.loadings) ? g.neige : kReal;
    const KivBL2Data fresh;
    const auto& section = fresh.columnGroup.section;
    const bool pro = c.section.exportPRO(), i = c.section.exportI();
    c.section.type = pro || i ? c.section.type : section.type;
    c.section.profile = pro ? c.section.profile : section.profile;
    c.section.dimension = i ? c.section.dimension : section.dimension;
    auto& b = e.supportGroup.columnBase;
    const auto& none = fresh.supportGroup.columnBase;
    const bool stiff = b.baseType != 0, inner = stiff && b.rowType != 0;
    const bool l = stiff && b.radiusL.value1 != 0.0 && b.radiusL.value2 != 0.0;
    const bool t = stiff && b.radiusT.value1 != 0.0 && b.radiusT.value2 != 0.0;
    b = {stiff ? 1 : 0,
         stiff ? none.articulatedRadius : b.articulatedRadius,
         stiff ? none.fileCen : b.fileCen,
         l ? b.radiusL : none.radiusL,
         t ? b.radiusT : none.radiusT,
         inner ? 1 : 0,
         stiff && !inner ? b.extTige : none.extTige,
         inner ? b.intTige : none.intTige};
    return e;
}

using Changes = std::vector<std::string>;

// The fields that reading `bytes` into a host record sets apart from a fresh
// record's values, as "path=value" without the group: the host's earlier
// values never stay.
Changes changes(const std::string& bytes)
{
    KivBL2Data d;
    d.setProjectName(KivString("Mine"));
    d.columnGroup.rotMax = 1;
    EXPECT_EQ(1, norvik_test::readFromBytes<KivNorvikBL2Reader>(bytes, d, norvik_test::tempDir()));
    Changes set;
    if (!(d.projectName == KivBL2Data().projectName))
        set.push_back("name=" + norvik_test::narrow(d.projectName));
    const norvik_test::FieldList fresh = flatten(KivBL2Data());
    for (const auto& field : flatten(d))
        if (std::find(fresh.begin(), fresh.end(), field) == fresh.end())
            set.push_back(field.first.substr(field.first.find('.') + 1) + "=" + field.second);
    return set;
}

} // namespace

TEST(BL2Reader, RoundTripOfGeneratedRecords)
{
    std::mt19937 rng(20240611);
    for (int round = 0; round < 150; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const KivBL2Data original = randomRecord(rng);
        const std::string dir = norvik_test::tempDir();
        const std::string first =
            norvik_test::writeToBytes(original, KivNorvikFileWriter::eFormatBL2, dir, "a");
        KivBL2Data back;
        ASSERT_EQ(1, norvik_test::readFromBytes<KivNorvikBL2Reader>(first, back, dir));
        EXPECT_TRUE(original.projectName == back.projectName);
        const KivBL2Data expected = expectedAfterRoundTrip(original);
        ASSERT_EQ(flatten(expected), flatten(back))
            << describeDifference(flatten(expected), flatten(back)) << first;
        EXPECT_EQ(first, norvik_test::writeToBytes(back, KivNorvikFileWriter::eFormatBL2, dir, "b"));
    }
}

TEST(BL2Reader, TokenCountsAndGroupsOfTheKeywords)
{
    // Short lines fill their first values, extra tokens are ignored, a keyword
    // counts in its own group only; "CHA", "PRO" and "I" act without values.
    EXPECT_EQ(
        (Changes{"noeudXyz[0]=1", "noeudXyz[1]=2", "neige=0.5", "lia=\"A1\""}),
        changes("GEN\n  NOEUD_XYZ 1 2\n  NEIGE 0.5 9 9\n  VERIF.TIGE.ADD80\n  LIA A1\n  MAT S235\nFIN\n"));
    const std::string undefined = "=\"stringDummyNorvikExport\"";
    EXPECT_EQ(
        (Changes{"loadings[0].number=-123456", "loadings[0].text1" + undefined,
                 "loadings[0].text2" + undefined, "loadings[0].type=-123456", "loadings[1].number=4",
                 "loadings[1].text1=\"G\"", "loadings[1].text2" + undefined, "loadings[1].type=-123456"}),
        changes("GEN\n  CHA\n  CHA 4 G\nFIN\n"));
    // Texts repeated from the loading before, changed, and cut short.
    EXPECT_EQ((Changes{"loadings[0].number=1", "loadings[0].text1=\"G\"", "loadings[0].text2=\"PERM\"",
                       "loadings[0].type=0", "loadings[1].number=2", "loadings[1].text1=\"G\"",
                       "loadings[1].text2=\"PERM\"", "loadings[1].type=1", "loadings[2].number=3",
                       "loadings[2].text1=\"G\"", "loadings[2].text2=\"PER\"", "loadings[2].type=2",
                       "loadings[3].number=4", "loadings[3].text1=\"G\"", "loadings[3].text2" + undefined,
                       "loadings[3].type=-123456"}),
              changes("GEN\n  CHA 1 G PERM 0\n  CHA 2 G PERM 1\n  CHA 3 G PER 2\n  CHA 4 G\nFIN\n"));
    EXPECT_EQ((Changes{"section.type=0", "section.dimension.dim1=1", "lia1=7", "effort.number=3",
                       "effort.value1=1.5"}),
              changes("POT\n  LIA 7\n  EFF 3 1.5\n  I 1\n  PRO\n  BECHE 5\nFIN\n"));
    EXPECT_EQ(
        (Changes{"section.type=1", "options[0]=1", "options[1]=2", "beche=7.5", "smallPlateDim.value1=1.5",
                 "smallPlateDim.number=3"}),
        changes(
            "POT\n  I\nFIN\nAPP\n  PLAQUETTE_DIM 1.5 3\n  OPTIONS 1 2\n  BECHE 7.5\n  REP_PAGE P\nFIN\n"));
    // The shared rules: "\r\n", the tag line's name, a group ending at the next header.
    EXPECT_EQ((Changes{"name=Hall 7", "repPage=\"A1\"", "lia1=3", "lia2=4"}),
              changes("\"NV_ATT\",\"Hall 7\"\r\n\r\nGEN\r\n  REP_PAGE A1 B2\r\nPOT\r\n  LIA 3 4\r\nFIN\r\n"));
}

TEST(BL2Reader, ColumnBaseLinesWithAValueRecordTheBaseAndTheRow)
{
    // The last line decides; a bare keyword selects nothing.
    EXPECT_EQ((Changes{"columnBase.baseType=1", "columnBase.radiusL.value1=1", "columnBase.extTige.number=4",
                       "columnBase.intTige.value1=8"}),
              changes("APP\n  RAIDL 1\n  FILE.INT 8\n  FILE.EXT 4\n  RAID_ART\n  FILE.CEN\nFIN\n"));
    EXPECT_EQ((Changes{"columnBase.fileCen=4", "columnBase.radiusT.value1=2", "columnBase.rowType=1",
                       "columnBase.intTige.value1=8"}),
              changes("APP\n  RAIDT 2\n  FILE.INT 8\n  FILE.CEN 4\n  FILE.EXT\nFIN\n"));
    EXPECT_EQ((Changes{"columnBase.articulatedRadius.value1=9"}),
              changes("APP\n  RAID_ART 9\n  RAIDL\n  RAIDT\n  FILE.INT\nFIN\n"));
}
