#include "RecordFields.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

using norvik_test::describeDifference;
using norvik_test::flatten;
using norvik_test::readFromBytes;
using norvik_test::tempDir;
using norvik_test::writeToBytes;

namespace {

constexpr auto kBL3 = KivNorvikFileWriter::eFormatBL3;
constexpr double kUnsetReal = KivNorvikData::kUndefinedReal;
constexpr int kUnsetInteger = KivNorvikData::kUndefinedInteger;

// The record that a file of these bytes gives.
KivBL3Data read(const std::string& bytes)
{
    KivBL3Data record;
    EXPECT_EQ(1, readFromBytes<KivNorvikBL3Reader>(bytes, record, tempDir()));
    return record;
}

KivBL3Data readGeneral(const std::string& lines) { return read("GEN\n" + lines + "FIN\n"); }
KivBL3Data readMain(const std::string& lines) { return read("PRIM\n" + lines + "FIN\n"); }
KivBL3Data readSecondary(const std::string& lines) { return read("SEC_1\n" + lines + "FIN\n"); }

void expectSameFields(const KivBL3Data& expected, const KivBL3Data& actual)
{
    EXPECT_EQ(flatten(expected), flatten(actual))
        << describeDifference(flatten(expected), flatten(actual));
}

// A record whose every line comes back as written: codes in their tables,
// kinds matching their members, whole reference heights, one-decimal value5.
// Some lines are left unset at random.
KivBL3Data generated(std::mt19937& rng)
{
    auto chance = [&rng](int percent) {
        return std::uniform_int_distribution<int>(0, 99)(rng) < percent;
    };
    auto pick = [&rng](int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); };

    KivBL3Data d;
    d.generalGroup.loadings.setLength(pick(0, 4));
    norvik_test::randomize(d, rng);
    d.projectName = KivString(chance(50) ? L"Hall 2" : L"2nd,hall");

    auto& g = d.generalGroup;
    g.typeAtt = pick(0, 1);
    if (g.loadings.getLength() > 0 && chance(70))
        g.loadings[pick(0, g.loadings.getLength() - 1)].type = chance(50) ? 2 : -1;
    bool snowLoading = false;
    for (int i = 0; i < g.loadings.getLength(); ++i)
        snowLoading = snowLoading || g.loadings[i].type == 2 || g.loadings[i].type == -1;
    if (!snowLoading || chance(20))
        g.neige = kUnsetReal;
    if (chance(20)) g.lia = KivNorvikData::undefinedString();
    if (chance(20)) g.optCalcul[0] = g.optCalcul[1] = kUnsetInteger;
    auto& a = g.att;
    if (chance(20)) a.grp = kUnsetInteger;
    if (chance(20)) a.barNb = kUnsetInteger;
    if (chance(20)) a.num[0] = a.num[1] = kUnsetInteger;
    if (chance(20)) a.noeNum[0] = a.noeNum[1] = kUnsetInteger;
    if (chance(20)) a.noeNom = KivNorvikData::undefinedString();
    if (chance(20)) a.noeTitre = KivNorvikData::undefinedString();
    if (chance(20)) a.noeXyz[0] = a.noeXyz[1] = a.noeXyz[2] = kUnsetReal;
    if (chance(20)) a.bar[0] = a.bar[1] = a.bar[2] = kUnsetInteger;

    auto section = [&](NorvikGlobalData::Section& s) {
        static const int shapes[] = {1, 3, 4, 7, 8};
        s.type = pick(0, 1);
        s.dimension.shape = shapes[pick(0, 4)];
        // Only the variant named by the type is written.
        NorvikGlobalData::Section fresh;
        if (s.type == 0)
            s.dimension = fresh.dimension;
        else
            s.profile = fresh.profile;
        if (chance(20))
            s = fresh;
    };
    auto& m = d.mainElementGroup;
    section(m.section);
    if (chance(20)) m.mat = KivNorvikData::undefinedString();

    auto& s = d.secondaryElementGroup;
    const KivBL3Data::BL3SecondaryElementGroup unset;
    section(s.section);
    section(s.connecSection);
    s.connecType = pick(0, 4);
    s.connecPos = pick(0, 2);
    s.connecPosZRef = std::trunc(s.connecPosZRef) + 0.0; // no negative zero
    if (chance(20)) s.mat = unset.mat;
    if (chance(20)) s.angle = unset.angle;
    if (chance(20)) s.posZ = unset.posZ;
    if (chance(20)) s.jeu = unset.jeu;
    if (chance(20)) s.connecType = unset.connecType;
    if (chance(20)) s.connecPos = unset.connecPos;
    if (chance(20)) { s.connecPosZRef = unset.connecPosZRef; s.connecPosZ = unset.connecPosZ; }
    if (chance(20)) s.connecLng = unset.connecLng;
    if (chance(20)) s.connecMat = unset.connecMat;
    if (chance(20)) s.doubleSolive = unset.doubleSolive;
    KivBL3Data::Bolt* bolts[] = {&s.boltPrim, &s.boltSec};
    for (int k = 0; k < 2; ++k) {
        bolts[k]->kind = k;
        bolts[k]->value5 = std::round(bolts[k]->value5 * 10) / 10 + 0.0;
        if (chance(20))
            *bolts[k] = KivBL3Data::Bolt();
    }
    KivBL3Data::Notch* notches[] = {&s.notchSup, &s.notchInf, &s.notchLat,
                                    &s.notchSupIni, &s.notchInfIni, &s.notchLatIni};
    for (int k = 0; k < 6; ++k) {
        notches[k]->kind = k;
        if (chance(20))
            *notches[k] = KivBL3Data::Notch();
    }
    if (chance(20)) s.effort = KivBL3Data::Effort();
    return d;
}

} // namespace

TEST(BL3Reader, WrittenRecordsComeBackFieldForField)
{
    const std::string dir = tempDir();
    std::mt19937 rng(20240503u);
    for (int round = 0; round < 200; ++round) {
        const KivBL3Data written = generated(rng);
        const std::string bytes = writeToBytes(written, kBL3, dir);
        KivBL3Data back;
        ASSERT_EQ(1, readFromBytes<KivNorvikBL3Reader>(bytes, back, dir));
        EXPECT_EQ(norvik_test::narrow(written.projectName), norvik_test::narrow(back.projectName));
        expectSameFields(written, back);
        EXPECT_EQ(bytes, writeToBytes(back, kBL3, dir)) << "round " << round;
        if (::testing::Test::HasFailure())
            FAIL() << "round " << round << ":\n" << bytes;
    }
}

// What the file cannot carry, one limit at a time.
TEST(BL3Reader, LimitsOfTheFormat)
{
    const std::string dir = tempDir();
    auto roundTrip = [&dir](const KivBL3Data& d) {
        KivBL3Data back;
        EXPECT_EQ(1, readFromBytes<KivNorvikBL3Reader>(writeToBytes(d, kBL3, dir), back, dir));
        return back;
    };

    KivBL3Data d;
    EXPECT_EQ(1, roundTrip(d).generalGroup.typeAtt); // unset type: beam to column
    d.generalGroup.typeAtt = 7;
    EXPECT_EQ(1, roundTrip(d).generalGroup.typeAtt);

    d.generalGroup.att.noeNum[0] = 12;
    EXPECT_EQ(12, roundTrip(d).generalGroup.att.noeNum[0]);
    EXPECT_EQ(0, roundTrip(d).generalGroup.att.noeNum[1]);

    d.secondaryElementGroup.connecPosZ = 150;
    d.secondaryElementGroup.connecPosZRef = 2.7;
    EXPECT_EQ(2.0, roundTrip(d).secondaryElementGroup.connecPosZRef);
    d.secondaryElementGroup.connecPosZRef = -2.7;
    EXPECT_EQ(-2.0, roundTrip(d).secondaryElementGroup.connecPosZRef);

    d.generalGroup.neige = 0.45;
    NorvikGlobalData::GenLoading loading;
    loading.type = 1;
    d.generalGroup.loadings.append(loading);
    EXPECT_EQ(kUnsetReal, roundTrip(d).generalGroup.neige); // no loading of type 2 or -1
    d.generalGroup.loadings[0].type = -1;
    EXPECT_EQ(0.45, roundTrip(d).generalGroup.neige);

    KivBL3Data::Bolt& b = d.secondaryElementGroup.boltSec;
    b.kind = 1;
    b.value1 = b.value2 = b.value3 = b.value4 = 1;
    b.number = 2;
    b.value5 = 8.84; // one decimal only
    EXPECT_EQ(8.8, roundTrip(d).secondaryElementGroup.boltSec.value5);
}

TEST(BL3Reader, LinesTheWriterWritesAreRead)
{
    KivBL3Data d = readGeneral("  LIA hall.lia\n     ATT.NOE_NOM N12\n");
    EXPECT_EQ("hall.lia", norvik_test::narrow(d.generalGroup.lia));
    EXPECT_EQ("N12", norvik_test::narrow(d.generalGroup.att.noeNom));
    EXPECT_EQ("old.lia", norvik_test::narrow(readGeneral("  PROJECT_FILE old.lia\n").generalGroup.lia));

    d = readSecondary("  EFF 5 12.5 -3.25 0.5\n");
    EXPECT_EQ(5, d.secondaryElementGroup.effort.number);
    EXPECT_EQ(12.5, d.secondaryElementGroup.effort.value1);
    EXPECT_EQ(-3.25, d.secondaryElementGroup.effort.value2);
    EXPECT_EQ(0.5, d.secondaryElementGroup.effort.value3);
    d = readSecondary("  EFF 5 12.5\n");
    EXPECT_EQ(12.5, d.secondaryElementGroup.effort.value1);
    EXPECT_EQ(kUnsetReal, d.secondaryElementGroup.effort.value2);

    // Tokens 5 and 6 of a bolt line are value5 and value4.
    d = readSecondary("  BOU_SEC 16 2 30 60 8.8 40\n");
    const KivBL3Data::Bolt& b = d.secondaryElementGroup.boltSec;
    EXPECT_EQ(1, b.kind);
    EXPECT_EQ(16.0, b.value1);
    EXPECT_EQ(2, b.number);
    EXPECT_EQ(30.0, b.value2);
    EXPECT_EQ(60.0, b.value3);
    EXPECT_EQ(8.8, b.value5);
    EXPECT_EQ(40.0, b.value4);

    // Dimension sections read back in the order written.
    d = readMain("  SECTION  DIM  1 2.000 4.000 1.000 3.000 5.000\n");
    const auto& dim = d.mainElementGroup.section.dimension;
    EXPECT_EQ(1, d.mainElementGroup.section.type);
    EXPECT_EQ(1, dim.shape);
    EXPECT_EQ((std::vector<double>{1, 2, 3, 4, 5}),
              (std::vector<double>{dim.dim1, dim.dim2, dim.dim3, dim.dim4, dim.dim5}));
    d = readSecondary("  CONNEC_SEC  DIM  2 2 4 1 3 5\n");
    EXPECT_EQ(1, d.secondaryElementGroup.connecSection.type);
    EXPECT_EQ(kUnsetInteger, d.secondaryElementGroup.connecSection.dimension.shape);
    EXPECT_EQ(kUnsetReal, d.secondaryElementGroup.connecSection.dimension.dim1);
}

TEST(BL3Reader, ExactTokenCounts)
{
    const KivBL3Data fresh;
    // Lines of a wrong count, or that only pass the case-blind "ATT" test, change nothing.
    const char* const ignored[] = {
        "  ATT.GRP 7 8\n", "  att.grp 7\n", "  ATTX 7\n", "  ATT.BAR_NB\n", "  ATT.BAR_NB 1 2\n",
        "  ATT.NUM 1\n", "  ATT.NUM 1 2 3\n", "  ATT.NOE_NUM\n", "  ATT.NOE_NOM a b\n",
        "  ATT.NOE_TITRE\n", "  ATT.NOE_TITRE a b\n", "  ATT.NOE_XYZ 1 2\n",
        "  ATT.NOE_XYZ 1 2 3 4\n", "  ATT.BAR1 1 2\n", "  ATT.BAR4 1 2 3 4\n", "  TYPE_ATT\n",
        "  NEIGE\n", "  OPT_CALCUL 1\n", "  LIA\n", "  MAT S235\n", "  EFF 1 2 3 4\n",
    };
    for (const char* line : ignored)
        expectSameFields(fresh, readGeneral(line));

    KivBL3Data d = readGeneral("  ATT.GRP 7\n  ATT.NUM 1 2\n     ATT.NOE_NUM 4 5 6\n"
                               "     ATT.BAR3 1 2 3\n     ATT.NOE_XYZ 1 2 3\n  OPT_CALCUL 1 0 9\n");
    const KivBL3Data::ATT& a = d.generalGroup.att;
    EXPECT_EQ(7, a.grp);
    EXPECT_EQ(2, a.num[1]);
    EXPECT_EQ(5, a.noeNum[1]);
    EXPECT_EQ(3, a.bar[2]);
    EXPECT_EQ(3.0, a.noeXyz[2]);
    EXPECT_EQ(0, d.generalGroup.optCalcul[1]);

    const char* const ignoredSecondary[] = {
        "  BOU_SEC 16 2 30 60 40\n", "  BOU_PRIM 16 2 30 60 40\n", "  GRUG_INF 1 50 100 0\n",
        "  GRUG_LAT_INI 1 50 100 0\n", "  CONNEC_POSZ 2\n", "  SECTION PRF HEA\n",
        "  SECTION DIM 1 1 2 3 4\n", "  EFF\n", "  TYPE_ATT POU/POU\n", "  CONNEC_TYPE X\n",
        "  CONNEC_TYPE raid\n", "  CONNEC_POS\n",
    };
    for (const char* line : ignoredSecondary)
        expectSameFields(fresh, readSecondary(line));

    d = readSecondary("  GRUG_INF 1 50 100 0 1\n  GRUG_LAT_INI 2 5 6 7 8\n  CONNEC_POSZ 2 150\n");
    const auto& s = d.secondaryElementGroup;
    EXPECT_EQ(1, s.notchInf.kind);
    EXPECT_EQ(1, s.notchInf.code);
    EXPECT_EQ(1, s.notchInf.number2);
    EXPECT_EQ(5, s.notchLatIni.kind);
    EXPECT_EQ(8, s.notchLatIni.number2);
    EXPECT_EQ(2.0, s.connecPosZRef);
    EXPECT_EQ(150.0, s.connecPosZ);
}

TEST(BL3Reader, WordsAndGroups)
{
    EXPECT_EQ(0, readGeneral("  TYPE_ATT POU/POU\n").generalGroup.typeAtt);
    EXPECT_EQ(1, readGeneral("  TYPE_ATT POU/POT\n").generalGroup.typeAtt);
    EXPECT_EQ(1, readGeneral("  TYPE_ATT pou/pou\n").generalGroup.typeAtt);
    EXPECT_EQ(2, readSecondary("  CONNEC_TYPE PLAT_PLIE\n  CONNEC_TYPE X\n").secondaryElementGroup.connecType);
    EXPECT_EQ(1, readSecondary("  CONNEC_POS GAUCHE\n").secondaryElementGroup.connecPos);

    // "CHA" alone still adds a loading.
    const KivBL3Data d = readGeneral("  CHA\n  CHA 5 G perm 0\n");
    ASSERT_EQ(2, d.generalGroup.loadings.getLength());
    EXPECT_EQ(kUnsetInteger, d.generalGroup.loadings[0].number);
    EXPECT_EQ(0, d.generalGroup.loadings[1].type);

    // Each group fills its own material.
    const KivBL3Data both = read("GEN\n  MAT X\nFIN\nPRIM\n  MAT S355\nFIN\nSEC_1\n  MAT S235\nFIN\n");
    EXPECT_EQ("S355", norvik_test::narrow(both.mainElementGroup.mat));
    EXPECT_EQ("S235", norvik_test::narrow(both.secondaryElementGroup.mat));
}

TEST(BL3Reader, TagLines)
{
    auto name = [](const std::string& bytes) { return norvik_test::narrow(read(bytes).projectName); };
    EXPECT_EQ("Project", name("GEN\nFIN\n"));
    EXPECT_EQ("Hall 2", name("\"NV_ATT\",\"2006.15c2:Hall 2\"\n"));
    EXPECT_EQ("2nd hall", name("\"NV_ATT\",\"2nd hall\"\n"));
    EXPECT_EQ("2nd hall", name("\"2nd hall\",\"NV_ATT\"\n"));
    EXPECT_EQ("Hall 2", name("\"2006.15c2:Hall 2\",\"NV_ATT\"\n"));
    EXPECT_EQ("2006.15c2Hall", name("\"NV_ATT\",\"2006.15c2Hall\"\n"));
    EXPECT_EQ("Second", name("\"NV_ATT\",\"2006.15c2:First\"\n\n\"NV_ATT\",\"2006.15c2:Second\"\nGEN\nFIN\n"));
}

TEST(BL3Reader, RecordsLeftAlone)
{
    const std::string dir = tempDir();
    KivBL3Data host;
    host.projectName = KivString(L"Mine");
    host.generalGroup.neige = 1.5;

    // An empty file, or one of empty lines only, changes nothing.
    EXPECT_EQ(1, readFromBytes<KivNorvikBL3Reader>("", host, dir));
    EXPECT_EQ(1, readFromBytes<KivNorvikBL3Reader>("\n\r\n\n", host, dir));
    EXPECT_EQ("Mine", norvik_test::narrow(host.projectName));
    EXPECT_EQ(1.5, host.generalGroup.neige);

    // A file that cannot be opened is reported and changes nothing.
    KivNorvikBL3Reader missing(KivString((dir + "/missing.bl3").c_str()));
    EXPECT_EQ(0, missing.readFile(host));
    EXPECT_EQ(nullptr, missing.getRecord());
    EXPECT_EQ("Mine", norvik_test::narrow(host.projectName));

    // A file without a tag line gives the fresh record's name and values.
    EXPECT_EQ(1, readFromBytes<KivNorvikBL3Reader>("GEN\n  NEIGE 2\nFIN\n", host, dir));
    EXPECT_EQ("Project", norvik_test::narrow(host.projectName));
    EXPECT_EQ(2.0, host.generalGroup.neige);
}
