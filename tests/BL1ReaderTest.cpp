#include "RecordFields.h"
#include "TestSupport.h"

#include <random>
#include <string>

using namespace norvik_test;

namespace {

using Data = KivBL1Data;

Data read(const std::string& text)
{
    Data d;
    EXPECT_EQ(1, readFromBytes<KivNorvikBL1Reader>(text, d, tempDir()));
    return d;
}

std::string write(const Data& d, const std::string& dir, const char* name)
{
    return writeToBytes(d, KivNorvikFileWriter::eFormatBL1, dir, name);
}

bool defined(double v) { return KivNorvikData::isDefined(v); }
bool defined(int v) { return KivNorvikData::isDefined(v); }

int pick(std::mt19937& rng, int low, int high)
{
    return std::uniform_int_distribution<int>(low, high)(rng);
}

// A side with every field set and valid codes, or absent.
void finishSide(Data::BL1Traverse& t, int side, std::mt19937& rng)
{
    if (pick(rng, 0, 4) == 0) {
        t = Data::BL1Traverse(); // absent: nothing written, nothing read
        return;
    }
    t.side = side;
    t.bouTra.type = 0;
    t.bouRen.type = 1;
    t.raiPotTraSup.position = 0;
    t.raiPotTraInf.position = 1;
    t.extBoltsSup.position = 0;
    t.extBoltsInf.position = 1;
    t.section.type = pick(rng, 0, 1);
    // Only the chosen form of a section is written.
    if (t.section.type == 0)
        t.section.dimension = NorvikGlobalData::BL12SectionByDimension();
    else
        t.section.profile = NorvikGlobalData::SectionByProfileAttributes();
}

// A record with every field set, single-word texts and reals of at most three
// decimals. Fields that the file cannot carry back are set to what reading
// gives, each named below.
Data generate(std::mt19937& rng)
{
    Data d;
    d.generalGroup.loadings.setLength(pick(rng, 0, 4));
    d.rightTraverse.efforts.setLength(pick(rng, 0, 3));
    d.leftTraverse.efforts.setLength(pick(rng, 0, 3));
    randomize(d, rng);

    // The project name may hold blanks, commas and quotes, or be empty.
    static const char nameChars[] = "ab Z,\"-1.";
    std::string name;
    for (int i = pick(rng, 0, 10); i > 0; --i)
        name.push_back(nameChars[pick(rng, 0, sizeof nameChars - 2)]);
    d.projectName = KivString(name.c_str());

    Data::BL1GeneralGroup& g = d.generalGroup;
    bool snow = false;
    for (int i = 0; i < g.loadings.getLength(); ++i) {
        g.loadings[i].type = pick(rng, -1, 3);
        snow = snow || g.loadings[i].type == 2 || g.loadings[i].type == -1;
    }
    if (!snow)
        g.neige = KivNorvikData::kUndefinedReal; // the snow line needs a loading of type 2 or -1

    Data::BL1PotGroup& p = d.potGroup;
    if (pick(rng, 0, 1) == 0) {
        p.con = KivString("NON");
        d.acr = Data::BL1ACR(); // the ACR group is not written
        p.raiAmeType = pick(rng, 0, 1);
        // Only the chosen stiffener form is written.
        if (p.raiAmeType == 0) {
            p.raiAmePlaqValue = KivNorvikData::kUndefinedReal;
            p.raiAmePlaqNumber = KivNorvikData::kUndefinedInteger;
        } else {
            p.raiAmeObliq[0] = p.raiAmeObliq[1] = KivNorvikData::kUndefinedReal;
        }
        p.section.type = pick(rng, 0, 1);
        if (p.section.type == 0)
            p.section.dimension = NorvikGlobalData::BL12SectionByDimension();
        else
            p.section.profile = NorvikGlobalData::SectionByProfileAttributes();
    } else {
        // With an ACR group the column group is not written; only con comes back.
        p = Data::BL1PotGroup();
        p.con = KivString("ACR");
    }
    finishSide(d.rightTraverse, 1, rng);
    finishSide(d.leftTraverse, 0, rng);
    return d;
}

} // namespace

TEST(BL1Reader, RoundTripOfGeneratedRecords)
{
    std::mt19937 rng(20240611);
    const std::string dir = tempDir();
    for (int n = 0; n < 300; ++n) {
        const Data original = generate(rng);
        const std::string first = write(original, dir, "first");
        Data back;
        ASSERT_EQ(1, readFromBytes<KivNorvikBL1Reader>(first, back, dir));
        ASSERT_EQ(narrow(original.projectName), narrow(back.projectName)) << "record " << n;
        ASSERT_EQ(flatten(original), flatten(back))
            << "record " << n << "\n" << describeDifference(flatten(original), flatten(back));
        ASSERT_EQ(first, write(back, dir, "second")) << "record " << n;
    }
}

TEST(BL1Reader, TokenRulesOfTheRows)
{
    const Data d = read("GEN\n"
                        "  XY 1.5 2.5\n"        // stops early: xy[2] stays undefined
                        "  LIA a b\n"           // a text ends at its blank
                        "  NEIGE 0.500\n"
                        "  CHA\n"               // appended, all undefined
                        "  ACIER\n"             // no value: nothing
                        "  UNKNOWN 1\n"
                        "FIN\n"
                        "POT\n"
                        "  PRO\n"               // one token: not compared in the column
                        "  I\n"
                        "  RAI XXX OBLIQ 10.000 45.000\n" // token 1 is not tested
                        "  LIA 1 2 3\n"         // extra tokens ignored
                        "FIN\n"
                        "TRA D\n"
                        "  I\n"                 // one token is enough in a beam side
                        "  EFF\n"
                        "  BOU EXT INF 35.000\n"
                        "  RAI PLA INF 1.000 2.000 3.000\n"
                        "  RAI POT TRA SUP  12.000 2 8.000\n"
                        "  RAI POT TRA\n"       // too short for either POT row
                        "  REN SEM X 4.000\n"   // token 2 is not tested
                        "  BOU DIA 16.000\n"
                        "FIN\n");
    const Data::BL1GeneralGroup& g = d.generalGroup;
    EXPECT_EQ(1.5, g.xy[0]);
    EXPECT_EQ(2.5, g.xy[1]);
    EXPECT_FALSE(defined(g.xy[2]));
    EXPECT_EQ("a", narrow(g.lia));
    EXPECT_EQ(0.5, g.neige);
    ASSERT_EQ(1, g.loadings.getLength());
    EXPECT_FALSE(defined(g.loadings[0].number));
    EXPECT_FALSE(KivNorvikData::isDefined(g.loadings[0].text1));
    EXPECT_FALSE(defined(g.acier));

    EXPECT_FALSE(defined(d.potGroup.section.type));
    EXPECT_EQ(0, d.potGroup.raiAmeType);
    EXPECT_EQ(10, d.potGroup.raiAmeObliq[0]);
    EXPECT_EQ(45, d.potGroup.raiAmeObliq[1]);
    EXPECT_EQ(2, d.potGroup.lia2);

    const Data::BL1Traverse& t = d.rightTraverse;
    EXPECT_EQ(1, t.side);
    EXPECT_EQ(1, t.section.type);
    EXPECT_FALSE(defined(t.section.dimension.dim1));
    ASSERT_EQ(1, t.efforts.getLength());
    EXPECT_FALSE(defined(t.efforts[0].value3));
    EXPECT_EQ(1, t.extBoltsInf.position);
    EXPECT_EQ(35, t.extBoltsInf.bouExt);
    EXPECT_EQ(3, t.extBoltsInf.raiPla[2]);
    EXPECT_EQ(0, t.raiPotTraSup.position);
    EXPECT_EQ(12, t.raiPotTraSup.value1);
    EXPECT_EQ(2, t.raiPotTraSup.number);
    EXPECT_EQ(8, t.raiPotTraSup.value2);
    EXPECT_FALSE(defined(t.raiPotTraInf.position));
    EXPECT_EQ(4, t.renSemInf);
    EXPECT_EQ(16, t.bouDia.value1);
    EXPECT_FALSE(KivNorvikData::isDefined(t.bouDia.text));
    EXPECT_FALSE(defined(d.leftTraverse.side));

    const Data plaq = read("POT\n  RAI AME PLAQ 12.000 3\nFIN\n");
    EXPECT_EQ(1, plaq.potGroup.raiAmeType);
    EXPECT_EQ(12, plaq.potGroup.raiAmePlaqValue);
    EXPECT_EQ(3, plaq.potGroup.raiAmePlaqNumber);
}

TEST(BL1Reader, BeamSidesAreReplacedWhole)
{
    const Data d = read("TRA D\n  ANG 1.000\n  EFF 1 2 3 4\nFIN\n"
                        "TRA D\n  DY 2.000\nFIN\n"
                        "TRA G\nFIN\n"
                        "TRA G \n  ANG 9\nFIN\n"); // not a header: trailing blank
    EXPECT_EQ(1, d.rightTraverse.side);
    EXPECT_FALSE(defined(d.rightTraverse.ang));
    EXPECT_EQ(0, d.rightTraverse.efforts.getLength());
    EXPECT_EQ(2, d.rightTraverse.dy);
    EXPECT_EQ(0, d.leftTraverse.side);
    EXPECT_FALSE(defined(d.leftTraverse.ang));

    // An empty side is written again.
    const std::string dir = tempDir();
    EXPECT_NE(std::string::npos, write(d, dir, "again").find("TRA G\nFIN\n"));
}

// An ACR group stands for con "ACR", so the column stays replaced when written again.
TEST(BL1Reader, ACRGroupKeepsItsChoice)
{
    Data original;
    original.potGroup.con = KivString("ACR");
    original.acr.y = 2;
    original.potGroup.lia1 = 5; // not written with an ACR group
    const std::string dir = tempDir();
    const std::string bytes = write(original, dir, "acr");
    Data back;
    ASSERT_EQ(1, readFromBytes<KivNorvikBL1Reader>(bytes, back, dir));
    EXPECT_EQ("ACR", narrow(back.potGroup.con));
    EXPECT_EQ(2, back.acr.y);
    EXPECT_EQ(bytes, write(back, dir, "again"));
}
