// The shared reading machinery, run through the BL1 reader.
#include "RecordFields.h"
#include "TestSupport.h"

#include <chrono>
#include <string>
#include <vector>

using namespace norvik_test;

namespace {

std::vector<std::string> tokens(const char* line)
{
    KivNorvikTokens list;
    KivNorvikFileReader::tokenize(KivString(line), list);
    std::vector<std::string> out;
    for (int i = 0; i < list.getLength(); ++i)
        out.push_back(narrow(list[i]));
    return out;
}

std::string nameOf(const std::string& text)
{
    KivBL1Data d;
    EXPECT_EQ(1, readFromBytes<KivNorvikBL1Reader>(text, d, tempDir()));
    return narrow(d.projectName);
}

KivBL1Data read(const std::string& text)
{
    KivBL1Data d;
    EXPECT_EQ(1, readFromBytes<KivNorvikBL1Reader>(text, d, tempDir()));
    return d;
}

using V = std::vector<std::string>;

} // namespace

TEST(BL1SharedReader, Tokenizer)
{
    EXPECT_EQ(V({"BOU", "20", "8"}), tokens("  BOU 20   8"));
    EXPECT_EQ(V(), tokens("     "));
    EXPECT_EQ(V(), tokens(""));
    EXPECT_EQ(V({"A\tB", "C"}), tokens("\t A\tB C \t"));
    EXPECT_EQ(V({"RAI", "POT", "TRA", "SUP", "12.000", "2", "8.000"}),
              tokens("  RAI POT TRA SUP  12.000 2 8.000"));
}

TEST(BL1SharedReader, TagLines)
{
    // The tag first: the rest of the line, trimmed, less its quotes.
    EXPECT_EQ("Hall 2, north", nameOf("\"NV_ATT\",\"Hall 2, north\"\n\nGEN\nFIN\n"));
    EXPECT_EQ(" padded ", nameOf("  \"NV_ATT\" ,  \" padded \"  \n"));
    EXPECT_EQ("say \"hi\"", nameOf("\"NV_ATT\",\"say \"hi\"\"\n"));
    EXPECT_EQ("", nameOf("\"NV_ATT\",\"\"\n"));
    EXPECT_EQ("bare", nameOf("NV_ATT,bare\n"));
    // A first field that is not the tag is the name.
    EXPECT_EQ("Hall 3", nameOf("\"Hall 3\",\"NV_ATT\"\n"));
    // No comma after the tag, no tag line: the fresh record's name.
    EXPECT_EQ("Project", nameOf("\"NV_ATT\"\n"));
    EXPECT_EQ("Project", nameOf("GEN\n  ACIER 1\nFIN\n"));
    // BL1 keeps the first tag line.
    EXPECT_EQ("first", nameOf("\"NV_ATT\",\"first\"\n\"NV_ATT\",\"second\"\n"));
    // A value holding the tag inside a group is data, not a tag line.
    const KivBL1Data d = read("GEN\n  REP_PAGE \"NV_ATT\",\"evil\"\nFIN\n");
    EXPECT_EQ("Project", narrow(d.projectName));
    EXPECT_EQ("\"NV_ATT\",\"evil\"", narrow(d.generalGroup.repPage));
}

TEST(BL1SharedReader, WindowsLineEndsAndLongLines)
{
    const std::string unix = "\"NV_ATT\",\"Hall\"\n\nGEN\n  ACIER 235.000\n  CHA   1 A B 2\nFIN\n"
                             "POT\n  PRO HEA 300\n  CON NON\nFIN\nTRA G\n  EFF 1 2.000 3.000 4.000\nFIN\n";
    std::string windows;
    for (char c : unix)
        windows += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const KivBL1Data a = read(unix);
    const KivBL1Data b = read(windows);
    EXPECT_EQ("Hall", narrow(b.projectName));
    EXPECT_EQ(flatten(a), flatten(b)) << describeDifference(flatten(a), flatten(b));
    EXPECT_EQ("300", narrow(b.potGroup.section.profile.text2));
    EXPECT_EQ(0, b.leftTraverse.side);

    // A line far beyond any buffer is read whole, and reading goes on after it.
    const std::string page(5000, 'p');
    const KivBL1Data c = read("GEN\n  REP_PAGE " + page + "\n  ACIER 1.000\nFIN\n");
    EXPECT_EQ(page, narrow(c.generalGroup.repPage));
    EXPECT_EQ(1.0, c.generalGroup.acier);
}

TEST(BL1SharedReader, GroupEndsAtFinOrNextHeader)
{
    // Without FIN, the general group must not take the column's LIA line.
    const KivBL1Data d = read("GEN\n  ACIER 1.000\nPOT\n  LIA 1 2\n"
                              "TRA D\n  ANG 5.000\nTRA G\n  ANG 6.000\n");
    EXPECT_FALSE(KivNorvikData::isDefined(d.generalGroup.lia));
    EXPECT_EQ(2, d.potGroup.lia2);
    EXPECT_EQ(5, d.rightTraverse.ang);
    EXPECT_EQ(6, d.leftTraverse.ang);

    // An indented FIN does not end a group.
    const KivBL1Data e = read("GEN\n  FIN\n  ACIER 2.000\nFIN\n");
    EXPECT_EQ(2, e.generalGroup.acier);
}

TEST(BL1SharedReader, ManyGroupsWithoutFinReadInLinearTime)
{
    std::string text;
    for (int i = 0; i < 100000; ++i)
        text += "GEN\n";
    const auto start = std::chrono::steady_clock::now();
    const KivBL1Data d = read(text);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 5.0);
    EXPECT_EQ("Project", narrow(d.projectName));
}

TEST(BL1SharedReader, FailuresLeaveTheRecordUntouched)
{
    KivBL1Data mine;
    mine.projectName = KivString("Mine");
    mine.generalGroup.acier = 7;
    const FieldList before = flatten(mine);
    const std::string dir = tempDir();

    KivNorvikBL1Reader missing(KivString((dir + "/missing.bl1").c_str()));
    EXPECT_EQ(0, missing.readFile(mine));
    // A directory opens but cannot be read.
    KivNorvikBL1Reader directory(KivString(dir.c_str()));
    EXPECT_EQ(0, directory.readFile(mine));
    EXPECT_EQ(before, flatten(mine));
    EXPECT_EQ("Mine", narrow(mine.projectName));

    // An existing empty file gives the fresh record.
    EXPECT_EQ(1, readFromBytes<KivNorvikBL1Reader>("", mine, dir));
    EXPECT_EQ(flatten(KivBL1Data()), flatten(mine));
    EXPECT_EQ("Project", narrow(mine.projectName));
}

TEST(BL1SharedReader, BaseFillStructureIsAContractViolation)
{
    const std::string path = tempDir() + "/any.bl1";
    writeBytes(path, "GEN\nFIN\n");
    AssertCounter asserts;
    KivNorvikFileReader reader(KivString(path.c_str()));
    KivBL1Data d;
    EXPECT_EQ(1, reader.readFile(d));
    EXPECT_EQ(1, asserts.reports());
    EXPECT_EQ(L"false", asserts.last());
    EXPECT_EQ(2, reader.getLines().getLength());
}
