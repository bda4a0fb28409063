#include "RecordFields.h"
#include "TestSupport.h"

#include <string>

using namespace norvik_test;

namespace {

using Loading = NorvikGlobalData::GenLoading;

Loading loading(int number, const char* text1, const char* text2, int type)
{
    Loading l;
    l.number = number;
    l.text1 = KivString(text1);
    l.text2 = KivString(text2);
    l.type = type;
    return l;
}

std::string write(const KivBL1Data& record)
{
    return writeToBytes(record, KivNorvikFileWriter::eFormatBL1, tempDir());
}

// The body between the tag line's empty line and the origin line.
std::string generalLines(const KivBL1Data& record)
{
    const std::string bytes = write(record);
    const size_t begin = bytes.find("GEN\n") + 4;
    return bytes.substr(begin, bytes.find("  ORIGINE") - begin);
}

// Every field set, with values that tell the fields apart: integers count
// up from 1, reals from 1.125 in steps of 1, texts are T1, T2, ...
struct Numbering
{
    int next = 1;
    void operator()(const std::string&, int& v) { v = next++; }
    void operator()(const std::string&, double& v) { v = next++ + 0.125; }
    void operator()(const std::string&, KivString& v)
    {
        v = KivString(("T" + std::to_string(next++)).c_str());
    }
};

KivBL1Data everyField(const char* con, int raiAmeType)
{
    KivBL1Data d;
    d.projectName = KivString("Hall 2, north");
    d.generalGroup.loadings.setLength(2);
    d.rightTraverse.efforts.setLength(2);
    d.leftTraverse.efforts.setLength(1);
    Numbering n;
    visitFields(d, n);
    d.generalGroup.loadings[1].type = 2; // enables the snow line
    d.potGroup.con = KivString(con);
    d.potGroup.section.type = 0;
    d.potGroup.raiAmeType = raiAmeType;
    d.rightTraverse.side = 1;
    d.rightTraverse.section.type = 1;
    d.leftTraverse.side = 0;
    d.leftTraverse.section.type = 0;
    for (KivBL1Data::BL1Traverse* t : {&d.rightTraverse, &d.leftTraverse}) {
        t->bouTra.type = 0;
        t->bouRen.type = 1;
        t->raiPotTraSup.position = 0;
        t->raiPotTraInf.position = 1;
        t->extBoltsSup.position = 0;
        t->extBoltsInf.position = 1;
    }
    return d;
}

} // namespace

TEST(BL1Writer, GoldenFiles)
{
    // A column and one right beam side, as in the reference example.
    KivBL1Data example;
    example.projectName = KivString("Hall 2");
    example.generalGroup.acier = 235;
    example.generalGroup.loadings.append(loading(1, "A", "B", 0));
    example.potGroup.section.type = 0;
    example.potGroup.section.profile.text1 = KivString("HEA");
    example.potGroup.section.profile.text2 = KivString("300");
    example.potGroup.con = KivString("NON");
    example.potGroup.lia1 = 1;
    example.potGroup.lia2 = 2;
    KivBL1Data::BL1Traverse& beam = example.rightTraverse;
    beam.side = 1;
    beam.section.type = 1;
    beam.section.dimension.dim1 = 300;
    beam.section.dimension.dim2 = 150;
    beam.section.dimension.dim3 = 7.1;
    beam.section.dimension.dim4 = 10.7;
    beam.section.dimension.dim5 = 15;
    beam.ang = 0;
    KivBL1Data::BL1Effort effort;
    effort.number = 1;
    effort.value1 = 12.5;
    effort.value2 = -3;
    effort.value3 = 40;
    beam.efforts.append(effort);
    expectGolden(write(example), "bl1_example.bl1");

    expectGolden(write(KivBL1Data()), "bl1_default.bl1");
    expectGolden(write(everyField("NON", 0)), "bl1_every_field_obliq.bl1");
    expectGolden(write(everyField("NON", 1)), "bl1_every_field_plaq.bl1");
    expectGolden(write(everyField("ACR", 1)), "bl1_every_field_acr.bl1");
}

TEST(BL1Writer, SnowLineFollowsTheLoadings)
{
    KivBL1Data d;
    d.generalGroup.neige = 0.5;
    EXPECT_EQ("", generalLines(d)) << "no loadings, no snow";

    d.generalGroup.loadings.append(loading(5, "G", "perm", 0));
    d.generalGroup.loadings.append(loading(12, "Q", "var", 1));
    EXPECT_EQ("  CHA   5 G perm 0\n  CHA  12 Q var 1\n", generalLines(d));

    d.generalGroup.loadings.append(loading(1234, "S", "snow", -1));
    d.generalGroup.loadings.append(loading(7, "S", "snow", 2));
    EXPECT_EQ("  NEIGE 0.500\n  CHA   5 G perm 0\n  CHA  12 Q var 1\n"
              "  CHA 1234 S snow -1\n  CHA   7 S snow 2\n",
              generalLines(d));

    d.generalGroup.neige = KivNorvikData::kUndefinedReal;
    EXPECT_EQ(std::string::npos, generalLines(d).find("NEIGE"));
}

TEST(BL1Writer, GroupsFollowConAndSide)
{
    KivBL1Data d;
    d.acr.y = 4;
    d.potGroup.lia1 = 1;
    d.potGroup.lia2 = 2;
    const std::string tail = "  ORIGINE Olmarin 6.1\nFIN\n";
    auto groups = [&](const char* con) {
        d.potGroup.con = KivString(con);
        const std::string bytes = write(d);
        return bytes.substr(bytes.find(tail) + tail.size());
    };
    EXPECT_EQ("POT\n  CON NON\n  LIA 1 2\nFIN\n", groups("NON"));
    EXPECT_EQ("ACR\n  Y 4.000\nFIN\n", groups("ACR"));
    EXPECT_EQ("", groups("non"));
    EXPECT_EQ("", groups(" NON"));

    // A side's header comes from its own side; 2 leaves an empty line.
    d.potGroup.con = KivNorvikData::undefinedString();
    d.rightTraverse.side = 0;
    d.rightTraverse.dy = 1;
    d.leftTraverse.side = 2;
    d.leftTraverse.efforts.append(KivBL1Data::BL1Effort());
    EXPECT_EQ("TRA G\n  DY 1.000\nFIN\n"
              "\n  EFF -123456 -123456.780 -123456.780 -123456.780\nFIN\n",
              groups(""));
}

TEST(BL1Writer, ItemWordsComeFromTheirOwnCodes)
{
    KivBL1Data d;
    KivBL1Data::BL1Traverse& t = d.rightTraverse;
    t.side = 1;
    // bouRen with type 0 is written as TRA; raiPotTraSup with position 1 as INF.
    t.bouRen.type = 0;
    t.bouRen.value1 = 90;
    t.bouRen.value2 = 120;
    t.bouRen.number = 4;
    t.raiPotTraSup.position = 1;
    t.raiPotTraSup.value1 = 12;
    t.raiPotTraSup.number = 2;
    t.raiPotTraSup.value2 = 8;
    // An undefined position writes INF and no BOU EXT line.
    t.extBoltsInf.bouExt = 35;
    t.extBoltsInf.raiPla[0] = 1;
    t.extBoltsInf.raiPla[1] = 2;
    t.extBoltsInf.raiPla[2] = 3;
    t.extBoltsSup.position = 5;
    t.extBoltsSup.bouExt = 36;
    const std::string bytes = write(d);
    EXPECT_NE(std::string::npos,
              bytes.find("TRA D\n"
                         "  BOU TRA 90.000 120.000 4\n"
                         "  RAI POT TRA INF  12.000 2 8.000\n"
                         "  BOU EXT INF 36.000\n"
                         "  RAI PLA INF 1.000 2.000 3.000\n"
                         "FIN\n"))
        << bytes;
}

TEST(BL1Writer, TextsStayOnTheirLine)
{
    KivBL1Data d;
    d.projectName = KivString("two\r\nlines");
    d.generalGroup.repPage = KivString("page 1\nX");
    EXPECT_EQ("\"NV_ATT\",\"two  lines\"\n\nGEN\n  REP_PAGE page 1 X\n  ORIGINE Olmarin 6.1\nFIN\n",
              write(d));
}

TEST(BL1Writer, NeedsAnOpenFile)
{
    KivNorvikFileWriter writer;
    EXPECT_EQ(0, writer.write(KivBL1Data()));
}
